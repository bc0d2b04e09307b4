#pragma once
// Helpers of the application-server tests: a scratch folder, sample jobs and scheme arrays.
#include "core/Variant.h"

#include <filesystem>
#include <random>
#include <string>

namespace appsrv_test {

// A fresh folder under the temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        FPath = std::filesystem::temp_directory_path() /
                ("kvx-appserver-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(FPath);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    std::string File(const std::string& name) const { return (FPath / name).string(); }

private:
    std::filesystem::path FPath;
};

// A job parameter array as the report form sends it: 14 environment entries, three conditions of
// assorted kinds, and for a periodic job the period array (monthly, second Monday, twelve runs) and
// the dynamic-field list.
inline rt::Variant SampleJob(bool periodic, const std::string& user = "796") {
    using namespace rt;
    Variant env = VarArrayCreate({1, 14});
    env[1] = Variant(u"KTVR08");
    env[2] = Variant(14);
    env[3] = Variant(3);
    env[4] = Variant(u"C0000001");
    env[5] = Variant(Utf8ToUtf16(user));
    env[6] = Variant(u"ERPDB01");
    env[7] = Variant(TDateTime(46367.4375));
    env[8] = Variant(u"KTVR08S.Class1");
    env[9] = Variant(periodic ? u"r" : u"R");
    env[10] = Variant(periodic ? 2 : 0);
    env[11] = Variant(TDateTime(periodic ? 46388.3368055556 : 46367.4375));
    env[12] = Variant(u"");
    env[13] = Variant(1);
    env[14] = Variant(u"KTVR08");
    Variant texts = VarArrayCreate({1, 3});
    texts[1] = VarArrayOf({Variant(u"入库单号"), Variant(u"sp01")});
    texts[2] = VarArrayOf({Variant(u"入库日期"), Variant(u"sp02")});
    texts[3] = VarArrayOf({Variant(u"制表日期"), Variant(u"edPrintDate")});
    Variant values = VarArrayCreate({1, 3});
    values[1] = VarArrayOf({Variant(u"\x04"), Variant(u"A0001"), Variant(u"A0099")});
    Variant grid = VarArrayCreate({-1, 0, 2, 3});
    grid(-1, 2) = Variant::Currency(123456789);
    grid(-1, 3) = Variant(0.1);
    grid(0, 2) = Variant(true);
    grid(0, 3) = Variant::Null();
    values[2] = VarArrayOf({Variant(u"\x04"), Variant(u"20261201"), Variant(u"20261231"), grid});
    values[3] = Variant(u"20261211");
    if (!periodic) return VarArrayOf({env, texts, values});
    Variant cycle = VarArrayOf({Variant(2), VarArrayOf({Variant(1), Variant(u"1"), Variant(1), Variant(1)})});
    Variant range = VarArrayOf({Variant(u"20261214"), Variant(1), Variant(u"12")});
    Variant period = VarArrayOf({Variant(u"Y"), Variant(u"08:05"), cycle, range});
    Variant dynamic = VarArrayOf({Variant(1), Variant(u"Y\x03sp02\x03Y\x03"
                                                      u"0\x03"
                                                      u"1\x03"
                                                      u"0\x03"
                                                      u"0\x03"
                                                      u"2")});
    return VarArrayOf({env, texts, values, period, dynamic});
}

// The InsertConTable array.
inline rt::Variant SchemeArray(const std::string& name, const std::string& user, bool replace,
                               const std::string& values = "sp01\x03"
                                                           "A0001") {
    using namespace rt;
    return VarArrayOf({Variant(Utf8ToUtf16(name)), Variant(Utf8ToUtf16(user)), Variant(u"20261211"),
                       Variant(u"KTVR08"), Variant(u"sp01.style;sp01.text;"), Variant(Utf8ToUtf16(values)),
                       Variant(replace)});
}

inline rt::Variant SchemeKey(const std::string& name, const std::string& user = "796") {
    using namespace rt;
    return VarArrayOf({Variant(Utf8ToUtf16(name)), Variant(Utf8ToUtf16(user)), Variant(u"KTVR08")});
}

} // namespace appsrv_test
