#include "ReportCounter.h"

#include "JobCheck.h"
#include "core/Clock.h"
#include "core/SysUtils.h"
#include "data/WireCodec.h"

#include <cmath>
#include <cstdio>

namespace appsrv {
namespace {

using rt::Variant;

Variant Wide(const std::string& s) {
    return Variant(rt::Utf8ToUtf16(s));
}

void Need(const std::vector<Variant>& args, size_t count, const char* name) {
    if (args.size() != count)
        throw EBadArguments(std::string(name) + " expects " + std::to_string(count) + " argument(s), got " +
                            std::to_string(args.size()));
}

// "YYYYMMDD" of a date-time number (days since 1899-12-30).
std::string YmdOf(rt::TDateTime dt) {
    // Civil date from a day count (proleptic Gregorian), days counted from 1970-01-01.
    int64_t z = static_cast<int64_t>(std::floor(dt.Val)) - 25569 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04lld%02lld%02lld", static_cast<long long>(y), static_cast<long long>(m),
                  static_cast<long long>(d));
    return buf;
}

// A scheme key [name, user id, program id] as the client sends it.
SchemeKey KeyOf(const Variant& a, const std::string& what) {
    if (!a.IsArray() || a.DimCount() != 1 || a.ElementCount() != 3)
        throw EJobRejected(what + " 应为 [方案名称, 用户代号, 程序代号]");
    const int lo = a.LowBound();
    SchemeKey k;
    for (int i = 0; i < 3; ++i)
        if (!a[lo + i].IsText()) throw EJobRejected(what + " 的元素应为文字");
    k.Name = a[lo].AsString();
    k.Creator = a[lo + 1].AsString();
    k.Programme = a[lo + 2].AsString();
    if (k.Name.find_first_not_of(' ') == std::string::npos) throw EJobRejected("方案名称不可空白");
    if (k.Creator.empty() || k.Programme.empty()) throw EJobRejected(what + " 缺少用户代号或程序代号");
    return k;
}

// What Request and Request1 answer when they refuse a job; the reason is left for ErrorDescript.
Variant RequestFailed(const std::string&) {
    return Wide("ERROR");
}

const char* const kRightsAllowed = "YYYYYYYY,YYYYYYYY,YYYYYYYY,YYYYYYYY,YYYYYYYY,YYYYYYYY";

} // namespace

TReportCounter::TReportCounter(std::shared_ptr<TStore> store, ModuleOptions options)
    : FStore(std::move(store)), FOptions(std::move(options)) {
    if (!FOptions.Clock) FOptions.Clock = rt::ClockNow;
    Publish("LoadTable", [this](Args& a) { return LoadTable(a); });
    Publish("InsertConTable", [this](Args& a) { return InsertConTable(a); });
    Publish("DeleteConTable", [this](Args& a) { return DeleteConTable(a); });
    Publish("ChangeConName", [this](Args& a) { return ChangeConName(a); });
    Publish("GetPower", [this](Args& a) { return GetPower(a); });
    Publish("Request", [this](Args& a) { return Request(a); });
    Publish("Request1", [this](Args& a) { return Request1(a); });
    Publish("UpdateStatus1", [this](Args& a) { return UpdateStatus1(a); });
    Publish("AS_GetRecords", [this](Args& a) { return GetRecords(a); });
    Publish("SQLType", [this](Args& a) {
        Need(a, 0, "SQLType");
        return Variant(FOptions.SqlType);
    });
    Publish("ErrorDescript", [this](Args& a) {
        Need(a, 0, "ErrorDescript");
        std::lock_guard lock(FMutex);
        return Wide(FLastError);
    });
}

void TReportCounter::Publish(const std::string& name, Method m) {
    FNames.insert(rt::UpperCase(name));
    AddMethod(name, std::move(m));
}

Variant TReportCounter::Invoke(const std::string& name, rt::DispatchKind kind, std::vector<Variant>& args) {
    if (!FNames.count(rt::UpperCase(name)))
        throw EMemberNotFound("Unknown name \"" + name + "\" on " + kProgId);
    if (kind == rt::DispatchKind::PropertyPut) throw EBadArguments("\"" + name + "\" cannot be assigned");
    return TAutoObject::Invoke(name, kind, args);
}

std::string TReportCounter::Failed(const std::string& text) {
    std::lock_guard lock(FMutex);
    FLastError = text;
    return text;
}

Variant TReportCounter::Answer(const std::function<Variant()>& call,
                               const std::function<Variant(const std::string&)>& failed) {
    try {
        return call();
    } catch (const EJobRejected& e) {
        return failed(Failed(e.Message()));
    } catch (const EStoreError& e) {
        return failed(Failed(e.Message()));
    }
}

rt::TDateTime TReportCounter::Now() const {
    return FOptions.Clock();
}

// ---- condition schemes ----

Variant TReportCounter::LoadTable(Args& args) {
    Need(args, 1, "LoadTable");
    const Variant& a = args[0];
    if (!a.IsArray() || a.DimCount() != 1 || a.ElementCount() != 2 || !a[a.LowBound()].IsText() ||
        !a[a.LowBound() + 1].IsText())
        throw EBadArguments("LoadTable expects the array [user id, program id]");
    std::lock_guard lock(FMutex);
    FSelUser = a[a.LowBound()].AsString();
    FSelProgram = a[a.LowBound() + 1].AsString();
    FSelected = true;
    return Variant();
}

Variant TReportCounter::GetRecords(Args& args) {
    Need(args, 1, "AS_GetRecords");
    if (!args[0].IsText() || !rt::SameText(args[0].AsString(), kSchemeProvider))
        throw rt::EOleException("Provider \"" + rt::VarToStr(args[0]) + "\" not found");
    std::string user, program;
    bool selected;
    {
        std::lock_guard lock(FMutex);
        selected = FSelected;
        user = FSelUser;
        program = FSelProgram;
    }
    std::vector<SchemeRow> rows;
    if (selected) {
        try {
            rows = FStore->ListSchemes(user, program);
        } catch (const EStoreError& e) {
            throw rt::EOleException(Failed(e.Message()));
        }
    }
    static const char* const names[] = {"NCONDITION", "CREATOR",    "PROGRAMME",
                                        "SCONDITION", "VCONDITION", "CREATE_DATE"};
    Variant fieldNames = rt::VarArrayCreate({0, 5});
    for (int f = 0; f < 6; ++f) fieldNames[f] = Wide(names[f]);
    Variant data = rt::VarArrayCreate({0, static_cast<int>(rows.size()) - 1, 0, 5});
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const SchemeRow& row = rows[static_cast<size_t>(r)];
        data(r, 0) = Wide(row.Key.Name);
        data(r, 1) = Wide(row.Key.Creator);
        data(r, 2) = Wide(row.Key.Programme);
        data(r, 3) = Wide(row.SCondition);
        data(r, 4) = Wide(row.VCondition);
        data(r, 5) = Wide(row.CreateDate);
    }
    return rt::VarArrayOf({fieldNames, data});
}

Variant TReportCounter::InsertConTable(Args& args) {
    Need(args, 1, "InsertConTable");
    return Answer(
        [&] {
            const Variant& a = args[0];
            if (!a.IsArray() || a.DimCount() != 1 || a.ElementCount() != 7)
                throw EJobRejected("条件方案数组应有 7 个元素");
            const int lo = a.LowBound();
            for (int i = 0; i < 6; ++i)
                if (!a[lo + i].IsText())
                    throw EJobRejected("条件方案数组的第 " + std::to_string(i) + " 个元素应为文字");
            SchemeRow row;
            row.Key = KeyOf(rt::VarArrayOf({a[lo], a[lo + 1], a[lo + 3]}), "条件方案");
            row.CreateDate = a[lo + 2].AsString();
            if (!IsYmd(row.CreateDate)) throw EJobRejected("创建日期应为 YYYYMMDD");
            row.SCondition = a[lo + 4].AsString();
            row.VCondition = a[lo + 5].AsString();
            bool replace;
            try {
                replace = a[lo + 6].AsBoolean();
            } catch (const rt::Exception&) {
                throw EJobRejected("覆盖标记应为布尔值");
            }
            switch (FStore->InsertScheme(row, replace, Now())) {
            case StoreResult::Exists:
                return Wide(Failed("条件方案 \"" + row.Key.Name + "\" 已经存在"));
            default:
                return Wide("");
            }
        },
        Wide);
}

Variant TReportCounter::DeleteConTable(Args& args) {
    Need(args, 1, "DeleteConTable");
    return Answer(
        [&] {
            const SchemeKey key = KeyOf(args[0], "条件方案");
            if (FStore->DeleteScheme(key) == StoreResult::NotFound)
                return Wide(Failed("条件方案 \"" + key.Name + "\" 不存在"));
            return Wide("");
        },
        Wide);
}

Variant TReportCounter::ChangeConName(Args& args) {
    Need(args, 2, "ChangeConName");
    return Answer(
        [&] {
            const SchemeKey from = KeyOf(args[0], "原方案");
            const SchemeKey to = KeyOf(args[1], "新方案");
            switch (FStore->RenameScheme(from, to, Now())) {
            case StoreResult::NotFound:
                return Wide(Failed("条件方案 \"" + from.Name + "\" 不存在"));
            case StoreResult::Exists:
                return Wide(Failed("条件方案 \"" + to.Name + "\" 已经存在"));
            default:
                return Wide("");
            }
        },
        Wide);
}

// ---- rights ----

Variant TReportCounter::GetPower(Args& args) {
    Need(args, 1, "GetPower");
    const Variant& a = args[0];
    if (!a.IsArray() || a.DimCount() != 1 || a.ElementCount() < 3)
        throw EBadArguments("GetPower expects the array [database name, user id, program id, \"\"]");
    const int lo = a.LowBound();
    const std::string db = rt::VarToStr(a[lo]), user = rt::VarToStr(a[lo + 1]),
                      program = rt::VarToStr(a[lo + 2]);
    std::optional<RightsRecord> found;
    try {
        found = FStore->FindRights(db, user, program);
    } catch (const EStoreError& e) {
        throw rt::EOleException(Failed(e.Message()));
    }
    const RightsRecord r = found ? *found : RightsRecord{kRightsAllowed, "", "", "", {}};
    Variant items = rt::VarArrayCreate({0, static_cast<int>(r.BaseLimitItems.size())});
    items[0] = Variant(static_cast<int>(r.BaseLimitItems.size()));
    for (size_t i = 0; i < r.BaseLimitItems.size(); ++i)
        items[static_cast<int>(i) + 1] = Wide(r.BaseLimitItems[i]);
    Variant record = rt::VarArrayCreate({0, 5});
    record[0] = Wide(user);
    record[1] = Wide(r.Rights);
    record[2] = Wide(r.Text2);
    record[3] = Wide(r.Text3);
    record[4] = Wide(r.BaseLimitPrefix);
    record[5] = items;
    return record;
}

// ---- jobs and requests ----

std::string TReportCounter::StoreJob(const Variant& job, const char* origin, const std::string& computer) {
    JobRecord record;
    record.Summary = CheckJob(job);
    try {
        record.ParamsText = rt::wire::EncodeVariant(job);
    } catch (const rt::wire::EWireError& e) {
        throw EJobRejected("作业参数无法保存: " + e.Message());
    }
    record.Origin = origin;
    if (std::string(origin) == "Request1")
        record.Status = "registered";
    else
        record.Status = record.Summary.GenMode == 2 ? "scheduled" : "queued";
    record.Computer = computer;
    const rt::TDateTime now = Now();
    record.ReceivedAt = record.StatusAt = now;
    return FStore->AddJob(std::move(record), YmdOf(now));
}

Variant TReportCounter::Request(Args& args) {
    Need(args, 1, "Request");
    return Answer([&] { return Wide(StoreJob(args[0], "Request", "")); }, RequestFailed);
}

Variant TReportCounter::Request1(Args& args) {
    Need(args, 2, "Request1");
    return Answer(
        [&] {
            if (!args[1].IsText()) throw EJobRejected("计算机名称应为文字");
            return Wide(StoreJob(args[0], "Request1", args[1].AsString()));
        },
        RequestFailed);
}

Variant TReportCounter::UpdateStatus1(Args& args) {
    Need(args, 3, "UpdateStatus1");
    const std::string number = rt::VarToStr(args[0]);
    const std::string error = rt::VarToStr(args[1]);
    double at = Now();
    if (args[2].VarType() == rt::varDate || args[2].VarType() == rt::varDouble) at = args[2].AsDouble();
    try {
        // Only registrations take status reports: a queued job is not to be marked done from outside.
        if (FStore->UpdateJobStatus(number, "Request1", error.empty() ? "done" : "failed", error, at))
            return Variant(true);
        Failed("请求 \"" + number + "\" 不存在");
    } catch (const EStoreError& e) {
        Failed(e.Message());
    }
    return Variant(false);
}

} // namespace appsrv
