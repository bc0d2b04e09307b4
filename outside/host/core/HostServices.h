#pragma once
// The host shell's automation object and the three service objects it hands out: the counter and
// system-information object, the validator and the look-up window. All answers come from the host
// database; the look-up window, which would ask the user, takes its answers from a queue first (filled
// by a scripted session) and otherwise answers as a user accepting the first offer would.
#include "HostDatabase.h"
#include "automation/Dispatch.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kvx::host {

// Receives one line per service call that a user would see (help opened, look-up window answered).
using HostJournal = std::function<void(const std::string& line)>;

class HostCounter : public rt::TAutoObject {
public:
    explicit HostCounter(std::shared_ptr<const HostDatabase> db);
    std::string DispatchClassName() const override { return "HostCounter"; }

    // GetSysInfo(CompanyID): [0, i] names and [1, i] values, or Empty when the company has none.
    rt::Variant GetSysInfo(const std::string& companyId) const;
    // GetCounter(Name, Arg, [CompanyID, DbName]). Service "SimpleSQL": Arg is [statement, fields] (or
    // the statement alone); the answer is the rows (each an array of the named fields, or of all columns
    // when no field is named), Empty when there are none. The statement runs read-only.
    rt::Variant GetCounter(const std::string& name, const rt::Variant& arg, const rt::Variant& pair) const;

private:
    std::shared_ptr<const HostDatabase> FDb;
};

class HostValidator : public rt::TAutoObject {
public:
    explicit HostValidator(std::shared_ptr<const HostDatabase> db);
    std::string DispatchClassName() const override { return "HostValidator"; }

    // CheckValue / QueryData (Table, Key, DbName, Params, Result): true with the first matching record
    // of the look-up definition in Result, false (Result Empty) when nothing matches. An unknown
    // definition or a statement error raises.
    bool CheckValue(const std::string& table, const std::string& key, const rt::Variant& params,
                    rt::Variant& result) const;

    int ProductID() const { return FProductID; }
    const std::u16string& BaseLimited() const { return FBaseLimited; }

private:
    std::shared_ptr<const HostDatabase> FDb;
    int FProductID = 0;
    std::u16string FBaseLimited;
};

class HostF2Window : public rt::TAutoObject {
public:
    HostF2Window(std::shared_ptr<const HostDatabase> db, HostJournal journal);
    std::string DispatchClassName() const override { return "HostF2Window"; }

    // The next call of F2GetData, ShowInputDay or GetPhrase answers this value instead of consulting
    // the database.
    void QueueAnswer(const rt::Variant& answer) { FAnswers.push_back(answer); }
    size_t PendingAnswers() const { return FAnswers.size(); }

    // F2GetData(the 19-element look-up array): the rows of the look-up definition (purpose F) whose
    // first column starts with the filter (element 4); all of them for a multiple selection, the first
    // one otherwise; Empty when none.
    rt::Variant F2GetData(const rt::Variant& request);
    // ShowInputDay([style above 3, "YYYYMMDD", database]): the offered date, as if accepted.
    rt::Variant ShowInputDay(const rt::Variant& request);
    // GetPhrase(UserID, DbName, Handle): the user's first phrase, or the empty text.
    rt::Variant GetPhrase(const std::string& userId);

private:
    bool TakeAnswer(rt::Variant& answer);
    void Note(const std::string& line) const;

    std::shared_ptr<const HostDatabase> FDb;
    HostJournal FJournal;
    std::deque<rt::Variant> FAnswers;
};

class HostApp : public rt::TAutoObject {
public:
    HostApp(std::shared_ptr<const HostDatabase> db, HostJournal journal = nullptr);
    std::string DispatchClassName() const override { return "HostApp"; }

    const std::shared_ptr<HostCounter>& Counter() const { return FCounter; }
    const std::shared_ptr<HostValidator>& Validator() const { return FValidator; }
    const std::shared_ptr<HostF2Window>& F2Window() const { return FF2Window; }

    int VersionType() const;
    int ProductID() const;
    // GetMessage(Type, Number): the format text; an unknown message answers a text naming its id.
    std::string GetMessage(const std::string& type, const std::string& number) const;
    // GetFileList([file name]): "<Modify>stamp</Modify><Path>server path</Path>", empty when unknown.
    std::string GetFileList(const rt::Variant& args) const;
    // CallHelp([module code, topic]): recorded.
    void CallHelp(const rt::Variant& args);
    const std::vector<std::string>& HelpCalls() const { return FHelpCalls; }

private:
    int HostInfoInt(const std::string& name, int fallback) const;

    std::shared_ptr<const HostDatabase> FDb;
    HostJournal FJournal;
    std::shared_ptr<HostCounter> FCounter;
    std::shared_ptr<HostValidator> FValidator;
    std::shared_ptr<HostF2Window> FF2Window;
    std::vector<std::string> FHelpCalls;
};

} // namespace kvx::host
