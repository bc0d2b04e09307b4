#pragma once
// Checking a job parameter array before it is stored: the environment entries, the condition texts and
// values, and for a periodic job the period array and the dynamic-field list. What passes is summarised
// in the columns the queue is searched by; what does not is refused with a reason the client shows.
#include "Store.h"

#include "core/Exceptions.h"
#include "core/Variant.h"

#include <string>

namespace appsrv {

KVRT_EXCEPTION(EJobRejected, Exception)

// Raises EJobRejected with the reason when the array is not a complete job.
JobSummary CheckJob(const rt::Variant& job);

// "YYYYMMDD" of a real calendar day between 17530101 and 99991231.
bool IsYmd(const std::string& text);

} // namespace appsrv
