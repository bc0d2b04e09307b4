#pragma once
// Failures of a call that the wire answers with their own error codes: a member name the object does
// not have, and arguments of the wrong number or shape. Both are automation errors to an in-process
// caller.
#include "core/Exceptions.h"

namespace appsrv {

using rt::EOleError;
KVRT_EXCEPTION(EMemberNotFound, EOleError)
KVRT_EXCEPTION(EBadArguments, EOleError)

} // namespace appsrv
