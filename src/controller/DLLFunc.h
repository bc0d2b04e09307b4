#pragma once
// The library's export and the class reference it creates controllers from.
#include "DLLBaseCtrller.h"

namespace kvx {

// A controller class reference: the class's constructor, called without arguments and without owner.
using TDLLControllerClass = TDLLBaseController* (*)();

template <class T> TDLLBaseController* ControllerClassOf() {
    return rt::New<T>();
}

// Set when the library loads (by the unit of the concrete controller); null until then.
extern TDLLControllerClass DLLControllerClass;

// A new controller of the registered class. Raises the platform's general exception when no class is
// registered.
TDLLBaseController* NewController();

} // namespace kvx

// The one export of the library. Exceptions propagate to the host.
extern "C" __attribute__((visibility("default"))) kvx::TDLLBaseController* GetController();
