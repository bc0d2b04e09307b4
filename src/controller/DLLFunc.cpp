#include "DLLFunc.h"

namespace kvx {

TDLLControllerClass DLLControllerClass = nullptr;

TDLLBaseController* NewController() {
    if (!DLLControllerClass)
        throw rt::Exception("KVX DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
    return DLLControllerClass();
}

} // namespace kvx

extern "C" kvx::TDLLBaseController* GetController() {
    return kvx::NewController();
}
