// The library's main block: the report form is the option form the controller creates.
//
// Class information is built on first use, so this may run before or after the initializations of
// the other units of the library.
#include "Ktvr08CF.h"
#include "controller/DLLRPCtrller.h"

namespace kvx {
namespace {

[[maybe_unused]] const bool ReportFormRegistered = (frmBaseGeneClass = TfrmKtvr08::ClassInfo(), true);

} // namespace
} // namespace kvx
