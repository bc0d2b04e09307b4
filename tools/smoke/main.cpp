// A small end-to-end check of the runtime layer: builds a job-shaped Variant, converts its texts to the
// system code page and back, and prints what it found. The host shell's demo session replaces it as the
// main job once the module exists.
#include "core/DateTime.h"
#include "core/SysUtils.h"
#include "core/Variant.h"
#include "os/CodePage.h"
#include "os/SysInfo.h"

#include <cstdio>

using namespace rt;

int main() {
    Variant job = VarArrayOf({VarArrayOf({"USERID", "admin"}), VarArrayOf({"收料单号", "A001", "A099"}),
                              VarArrayOf({"收料日期", "20240101", "20241231"})});
    int texts = 0;
    bool roundTrip = true;
    for (int i = job.LowBound(); i <= job.HighBound(); ++i) {
        for (int j = job[i].LowBound(); j <= job[i].HighBound(); ++j) {
            const std::u16string w = job[i][j].AsWideString();
            roundTrip = roundTrip && CodePageToWide(WideToCodePage(w, 936), 936) == w;
            ++texts;
        }
    }
    std::printf("%s\n", Format("runtime: %d texts in a %d-element job, code page 936 round trip %s",
                               {texts, job.ElementCount(), roundTrip ? "ok" : "FAILED"})
                            .c_str());
    std::printf("%s\n", Format("system code page %d, computer %s, today %s",
                               {GetACP(), GetComputerName(), FormatDateTime("yyyy/mm/dd", Date())})
                            .c_str());
    return roundTrip ? 0 : 1;
}
