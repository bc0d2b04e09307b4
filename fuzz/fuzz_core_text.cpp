// The text parsers of the runtime core: format patterns, number and date texts, comma texts. Any input
// must give a result or an rt::Exception, and a comma text must read back as the list that wrote it.
#include "core/Classes.h"
#include "core/DateTime.h"
#include "core/Exceptions.h"
#include "core/SysUtils.h"
#include "core/Variant.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace rt;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t selector = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const Variant wide(u"wide");
    try {
        switch (selector % 6) {
        case 0:
            (void)Format(text, {-5, int64_t{-1}, 2.5, "text", 'c', wide, 3u});
            break;
        case 1:
            (void)FormatDateTime(text, -1.25 + (selector >> 3) * 1000.5);
            break;
        case 2:
            (void)FormatFloat(text, -1234.5678 * (selector >> 3));
            break;
        case 3: {
            int32_t i;
            int64_t l;
            double d;
            TDateTime dt;
            (void)TryStrToInt(text, i);
            (void)TryStrToInt64(text, l);
            (void)TryStrToFloat(text, d);
            (void)TryStrToDate(text, dt);
            break;
        }
        case 4: {
            TStringList list, copy;
            list.SetCommaText(text);
            copy.SetCommaText(list.CommaText());
            if (!copy.Equals(list)) std::abort();
            list.SetText(text);
            (void)list.Values(text.substr(0, 3));
            break;
        }
        case 5:
            (void)AnsiUpperCase(text);
            (void)StringReplace(text, text.substr(0, 2), "x", rfReplaceAll | rfIgnoreCase);
            (void)AnsiDequotedStr(text, '\'');
            break;
        }
    } catch (const Exception&) {
    }
    return 0;
}
