#pragma once
// Brings a window to the foreground with the operating system's call.
//
// In its own unit: the system-facts header and the window-message header of the runtime each declare
// a window-handle type of their own, so no unit can include both.
#include <cstdint>

namespace kvx {

void BringWindowToForeground(uintptr_t handle);

} // namespace kvx
