#include "HostServices.h"

#include "ValueText.h"

#include <algorithm>
#include <cctype>

namespace kvx::host {
namespace {

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

std::string Trimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

// Element i of a request array counted from its low bound; Empty when the array is shorter.
rt::Variant Element(const rt::Variant& request, int i) {
    if (!request.IsArray() || request.DimCount() != 1) return rt::Variant();
    const int index = request.LowBound() + i;
    return index <= request.HighBound() ? rt::Variant(request[index]) : rt::Variant();
}

void RequireArray(const rt::Variant& request, int minCount, const std::string& what) {
    if (!request.IsArray() || request.DimCount() != 1 ||
        request.HighBound() - request.LowBound() + 1 < minCount)
        throw EHostError(what + " expects an array of at least " + std::to_string(minCount) + " elements");
}

std::string LookupSql(const HostDatabase& db, const std::string& table, const std::string& key,
                      const char* purpose) {
    const std::string sql =
        db.QueryText("SELECT SQLTEXT FROM LOOKUPDEF WHERE LTABLE = upper(?1) AND LKEY = ?2 AND PURPOSE = ?3",
                     {rt::Variant(table), rt::Variant(key), rt::Variant(purpose)}, "");
    if (sql.empty())
        throw EHostError("No look-up definition for " + table + "/" + key +
                         (purpose[0] == 'V' ? " (validator)" : " (look-up window)"));
    return sql;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size()) return false;
    return Upper(text.substr(0, prefix.size())) == Upper(prefix);
}

} // namespace

// ---- counter -------------------------------------------------------------------------------------

HostCounter::HostCounter(std::shared_ptr<const HostDatabase> db) : FDb(std::move(db)) {
    AddMethod("GetSysInfo", [this](std::vector<rt::Variant>& args) {
        CheckArgCount("GetSysInfo", args, 1, 1);
        return GetSysInfo(rt::VarToStr(args[0]));
    });
    AddMethod("GetCounter", [this](std::vector<rt::Variant>& args) {
        CheckArgCount("GetCounter", args, 2, 3);
        return GetCounter(rt::VarToStr(args[0]), args[1], args.size() > 2 ? args[2] : rt::Variant());
    });
}

rt::Variant HostCounter::GetSysInfo(const std::string& companyId) const {
    QueryResult r = FDb->Query("SELECT NAME, VALUE FROM SYSPARAM WHERE COMPANY = ?1 ORDER BY NAME",
                               {rt::Variant(companyId)});
    if (r.Rows.empty()) return rt::Variant();
    rt::Variant result = rt::VarArrayCreate({0, 1, 0, static_cast<int>(r.Rows.size()) - 1});
    for (size_t i = 0; i < r.Rows.size(); ++i) {
        result(0, static_cast<int>(i)) = r.Rows[i][0];
        result(1, static_cast<int>(i)) = r.Rows[i][1];
    }
    return result;
}

rt::Variant HostCounter::GetCounter(const std::string& name, const rt::Variant& arg,
                                    const rt::Variant&) const {
    if (Upper(Trimmed(name)) != "SIMPLESQL") throw EHostError("Unknown counter service \"" + name + "\"");
    const std::string sql = rt::VarToStr(arg.IsArray() ? Element(arg, 0) : arg);
    const std::string fieldList = arg.IsArray() ? rt::VarToStr(Element(arg, 1)) : std::string();
    if (Trimmed(sql).empty()) throw EHostError("SimpleSQL: no statement given");
    QueryResult r = FDb->Query(sql);

    // The named fields, in the order named; all columns when none is named.
    std::vector<size_t> picks;
    size_t start = 0;
    while (start <= fieldList.size()) {
        size_t end = fieldList.find_first_of(",;", start);
        if (end == std::string::npos) end = fieldList.size();
        const std::string field = Upper(Trimmed(fieldList.substr(start, end - start)));
        if (!field.empty()) {
            auto it = std::find_if(r.Columns.begin(), r.Columns.end(),
                                   [&](const std::string& c) { return Upper(c) == field; });
            if (it == r.Columns.end()) throw EHostError("SimpleSQL: the statement has no field " + field);
            picks.push_back(static_cast<size_t>(it - r.Columns.begin()));
        }
        start = end + 1;
    }
    if (picks.empty())
        for (size_t c = 0; c < r.Columns.size(); ++c) picks.push_back(c);

    std::vector<std::vector<rt::Variant>> rows;
    rows.reserve(r.Rows.size());
    for (const auto& row : r.Rows) {
        std::vector<rt::Variant> picked;
        for (size_t c : picks) picked.push_back(row[c]);
        rows.push_back(std::move(picked));
    }
    return RowsToVariant(rows);
}

// ---- validator -----------------------------------------------------------------------------------

HostValidator::HostValidator(std::shared_ptr<const HostDatabase> db) : FDb(std::move(db)) {
    auto check = [this](const char* name) {
        return [this, name](std::vector<rt::Variant>& args) {
            CheckArgCount(name, args, 5, 5);
            rt::Variant record;
            const bool found = CheckValue(rt::VarToStr(args[0]), rt::VarToStr(args[1]), args[3], record);
            args[4] = record;
            return rt::Variant(found);
        };
    };
    AddMethod("CheckValue", check("CheckValue"));
    AddMethod("QueryData", check("QueryData"));
    AddProperty(
        "ProductID", [this](std::vector<rt::Variant>&) { return rt::Variant(FProductID); },
        [this](std::vector<rt::Variant>&, const rt::Variant& v) { FProductID = v.AsInteger(); });
    AddProperty(
        "BaseLimited", [this](std::vector<rt::Variant>&) { return rt::Variant(FBaseLimited); },
        [this](std::vector<rt::Variant>&, const rt::Variant& v) { FBaseLimited = rt::VarToWideStr(v); });
}

bool HostValidator::CheckValue(const std::string& table, const std::string& key, const rt::Variant& params,
                               rt::Variant& result) const {
    result = rt::Variant();
    QueryResult r = FDb->Query(LookupSql(*FDb, table, key, "V"), ParamList(params));
    if (r.Rows.empty()) return false;
    result = rt::VarArrayOf(r.Rows.front());
    return true;
}

// ---- look-up window ------------------------------------------------------------------------------

HostF2Window::HostF2Window(std::shared_ptr<const HostDatabase> db, HostJournal journal)
    : FDb(std::move(db)), FJournal(std::move(journal)) {
    AddMethod("F2GetData", [this](std::vector<rt::Variant>& args) {
        CheckArgCount("F2GetData", args, 1, 1);
        return F2GetData(args[0]);
    });
    AddMethod("ShowInputDay", [this](std::vector<rt::Variant>& args) {
        CheckArgCount("ShowInputDay", args, 1, 1);
        return ShowInputDay(args[0]);
    });
    AddMethod("GetPhrase", [this](std::vector<rt::Variant>& args) {
        CheckArgCount("GetPhrase", args, 1, 3);
        return GetPhrase(rt::VarToStr(args[0]));
    });
}

bool HostF2Window::TakeAnswer(rt::Variant& answer) {
    if (FAnswers.empty()) return false;
    answer = FAnswers.front();
    FAnswers.pop_front();
    return true;
}

void HostF2Window::Note(const std::string& line) const {
    if (FJournal) FJournal(line);
}

rt::Variant HostF2Window::F2GetData(const rt::Variant& request) {
    RequireArray(request, 5, "F2GetData");
    const std::string table = rt::VarToStr(Element(request, 0));
    const std::string key = rt::VarToStr(Element(request, 1));
    rt::Variant answer;
    if (!TakeAnswer(answer)) {
        const bool multi = !Element(request, 3).IsEmpty() && Element(request, 3).AsBoolean();
        const std::string filter = Trimmed(rt::VarToStr(Element(request, 4)));
        QueryResult r = FDb->Query(LookupSql(*FDb, table, key, "F"), ParamList(Element(request, 2)));
        std::vector<std::vector<rt::Variant>> rows;
        for (auto& row : r.Rows) {
            if (!filter.empty() && (row.empty() || !StartsWithNoCase(rt::VarToStr(row[0]), filter))) continue;
            rows.push_back(std::move(row));
            if (!multi) break;
        }
        answer = RowsToVariant(rows);
    }
    Note("lookup F2GetData " + table + "/" + key + " -> " + FormatValue(answer));
    return answer;
}

rt::Variant HostF2Window::ShowInputDay(const rt::Variant& request) {
    RequireArray(request, 2, "ShowInputDay");
    rt::Variant answer;
    if (!TakeAnswer(answer)) answer = rt::VarToStr(Element(request, 1));
    Note("lookup ShowInputDay -> " + FormatValue(answer));
    return answer;
}

rt::Variant HostF2Window::GetPhrase(const std::string& userId) {
    rt::Variant answer;
    if (!TakeAnswer(answer))
        answer = FDb->QueryText("SELECT PHRASE FROM PHRASES WHERE USERID = ?1 ORDER BY SEQ LIMIT 1",
                                {rt::Variant(userId)}, "");
    Note("lookup GetPhrase -> " + FormatValue(answer));
    return answer;
}

// ---- host object ---------------------------------------------------------------------------------

HostApp::HostApp(std::shared_ptr<const HostDatabase> db, HostJournal journal)
    : FDb(std::move(db)), FJournal(std::move(journal)), FCounter(std::make_shared<HostCounter>(FDb)),
      FValidator(std::make_shared<HostValidator>(FDb)),
      FF2Window(std::make_shared<HostF2Window>(FDb, FJournal)) {
    AddProperty("VersionType", [this](std::vector<rt::Variant>&) { return rt::Variant(VersionType()); });
    AddProperty("ProductID", [this](std::vector<rt::Variant>&) { return rt::Variant(ProductID()); });
    AddProperty("Com_Counter",
                [this](std::vector<rt::Variant>&) { return rt::Variant(rt::DispatchPtr(FCounter)); });
    AddProperty("Com_Validator",
                [this](std::vector<rt::Variant>&) { return rt::Variant(rt::DispatchPtr(FValidator)); });
    AddProperty("Com_F2Window",
                [this](std::vector<rt::Variant>&) { return rt::Variant(rt::DispatchPtr(FF2Window)); });
    AddMethod("GetMessage", [this](std::vector<rt::Variant>& args) {
        CheckArgCount("GetMessage", args, 2, 2);
        return rt::Variant(GetMessage(rt::VarToStr(args[0]), rt::VarToStr(args[1])));
    });
    AddMethod("GetFileList", [this](std::vector<rt::Variant>& args) {
        CheckArgCount("GetFileList", args, 1, 1);
        return rt::Variant(GetFileList(args[0]));
    });
    AddMethod("CallHelp", [this](std::vector<rt::Variant>& args) {
        CheckArgCount("CallHelp", args, 1, 1);
        CallHelp(args[0]);
        return rt::Variant();
    });
}

int HostApp::HostInfoInt(const std::string& name, int fallback) const {
    const std::string text =
        FDb->QueryText("SELECT VALUE FROM HOSTINFO WHERE NAME = ?1", {rt::Variant(name)}, "");
    if (text.empty()) return fallback;
    try {
        return rt::Variant(text).AsInteger();
    } catch (const rt::Exception&) {
        throw EHostError("Host setting " + name + " is not a number: " + text);
    }
}

int HostApp::VersionType() const {
    return HostInfoInt("VersionType", 1);
}

int HostApp::ProductID() const {
    return HostInfoInt("ProductID", 1);
}

std::string HostApp::GetMessage(const std::string& type, const std::string& number) const {
    return FDb->QueryText("SELECT MSGTEXT FROM MESSAGES WHERE MSGTYPE = upper(?1) AND MSGNO = ?2",
                          {rt::Variant(Trimmed(type)), rt::Variant(Trimmed(number))},
                          "消息 " + type + ";" + number + " 未定义");
}

std::string HostApp::GetFileList(const rt::Variant& args) const {
    const std::string name = rt::VarToStr(args.IsArray() ? Element(args, 0) : args);
    QueryResult r = FDb->Query("SELECT MODIFY, PATH FROM FILELIST WHERE FILENAME = lower(?1)",
                               {rt::Variant(Trimmed(name))});
    if (r.Rows.empty()) return std::string();
    return "<Modify>" + rt::VarToStr(r.Rows[0][0]) + "</Modify><Path>" + rt::VarToStr(r.Rows[0][1]) +
           "</Path>";
}

void HostApp::CallHelp(const rt::Variant& args) {
    std::string line = "help";
    for (const rt::Variant& v : ParamList(args)) line += " " + FormatValue(v);
    FHelpCalls.push_back(line);
    if (FJournal) FJournal(line);
}

} // namespace kvx::host
