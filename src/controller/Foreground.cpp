#include "Foreground.h"

#include "os/SysInfo.h"

namespace kvx {

void BringWindowToForeground(uintptr_t handle) {
    rt::SetForegroundWindow(static_cast<rt::HWND>(handle));
}

} // namespace kvx
