// The session runner with a scripted controller and form driver: what it prints, what it checks, and
// how it reports a failing session.
#include "HostDbFixture.h"
#include "HostSession.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace kvx;
using namespace kvx::host;

namespace {

// A controller with one imaginary form: CreateForm raises 256, SetVisible 272/288, FreeForm 304.
class FakeController : public TDLLBaseController {
public:
    std::u16string GetVersion() override { return FForm ? u"870401-0.00.00" : u""; }
    int16_t GetVisible() override { return FVisible ? -1 : 0; }
    void SetVisible(int16_t Value) override {
        if (!FForm || FVisible == (Value != 0)) return;
        FVisible = Value != 0;
        DoEvent(FVisible ? 272 : 288);
    }
    rt::HWND GetHandle() override { return FForm ? 42 : 0; }
    int32_t CreateForm(rt::Variant Params) override {
        if (Params.HighBound() < 0)
            throw rt::Exception("KVX DLL Internal Error :\rNot Assign \"frmBaseGeneClass\" varible");
        FForm = true;
        DoFormCreated();
        Seen = Params;
        return Params.HighBound() >= 4 ? 0 : -1;
    }
    int32_t Execute(rt::Variant Command) override { return FForm && Command.IsArray() ? 0 : -1; }
    int32_t Notify(int32_t Kind, int32_t, rt::Variant) override {
        return FForm && (Kind == 5 || Kind == 9) ? 0 : -1;
    }
    rt::Variant ShowModal() override { return rt::Variant(FForm ? 1 : 2); }
    void FreeForm() override {
        if (!FForm) return;
        FForm = false;
        ResultCode = 1;
        ResultData = "REQ-1";
        DoFormDestroy(this);
    }
    int32_t GetInfo(rt::Variant& Info) override {
        if (!FForm) return -1;
        Info = rt::VarArrayOf({"DS", "KVX001", "KTVR08", "生产入库单报表"});
        return 0;
    }
    bool IsFormFreed() override { return !FForm; }
    ~FakeController() override { FreeForm(); }

    rt::Variant Seen;

private:
    bool FForm = false;
    bool FVisible = false;
};

class FakeDriver : public FormDriver {
public:
    void SetObserver(Observer observer) override { FObserver = std::move(observer); }
    void Focus(const std::string& path) override { Log.push_back("focus " + path); }
    void SetText(const std::string& path, const std::string& text) override {
        Require(path);
        Texts[path] = text;
    }
    void Type(const std::string& path, const std::string& text) override { Texts[path] += text; }
    void Key(const std::string& path, const KeyStroke& keys) override {
        Log.push_back("key " + path + " " + KeyStrokeName(keys));
    }
    void Click(const std::string& path) override {
        Require(path);
        Log.push_back("click " + path);
        if (path == "frm/btnWarn") FObserver.DialogShown("warning", "请至少选择一种输出方式！", NextAnswer());
    }
    void Check(const std::string& path, bool checked) override {
        Log.push_back("check " + path + (checked ? " 1" : " 0"));
    }
    void ChooseIndex(const std::string& path, int index) override {
        Log.push_back("choose " + path + " " + std::to_string(index));
    }
    void ChooseText(const std::string& path, const std::string& item) override {
        Log.push_back("choose " + path + " " + item);
    }
    void Close(const std::string& path) override { Log.push_back("close " + path); }
    void ProcessMessages() override { Log.push_back("process"); }
    std::string Text(const std::string& path) override {
        Require(path);
        return Texts[path];
    }
    void QueueDialogAnswer(int modalResult) override { Answers.push_back(modalResult); }
    void QueueModalScript(const std::string& formClass, std::function<void()> body) override {
        Log.push_back("on-modal " + formClass);
        body();
    }
    rt::Variant RunModal(uintptr_t formHandle, const std::function<rt::Variant()>& showModal,
                         std::function<void()> body, bool& bodyRan) override {
        bodyRan = formHandle != 0;
        if (bodyRan) body();
        return showModal();
    }

    std::vector<std::string> Log;
    std::map<std::string, std::string> Texts;
    std::deque<int> Answers;

private:
    static void Require(const std::string& path) {
        if (path.find("missing") != std::string::npos)
            throw rt::Exception("Control \"" + path + "\" not found");
    }
    int NextAnswer() {
        if (Answers.empty()) return 1;
        const int a = Answers.front();
        Answers.pop_front();
        return a;
    }
    Observer FObserver;
};

struct SessionRun {
    int Status;
    std::string Out;
    std::string Err;
};

class HostSessionTest : public ::testing::Test {
protected:
    SessionRun Run(const std::string& text) {
        std::ostringstream out, err;
        HostSession session(Fixture.Db(), Driver, out, err);
        session.SetControllerSource([this] {
            if (RefuseController)
                throw rt::Exception("KVX DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
            return rt::New<FakeController>();
        });
        const int status = session.Run(ParseScript(text, "s.kvs"));
        return {status, out.str(), err.str()};
    }

    test::HostDbFixture Fixture;
    FakeDriver Driver;
    bool RefuseController = false;
};

TEST_F(HostSessionTest, PrintsOneLinePerEventAndCallAndPassesItsExpectations) {
    const SessionRun r = Run(R"(load "KTVR08C.so"
params "DS" "KVX001" "KVX001" 0 ""
call CreateForm
expect event 256
expect return 0
call GetInfo
expect out ["DS", "KVX001", "KTVR08", "生产入库单报表"]
call SetVisible true
call GetVisible
expect return -1
call SetVisible false
expect event 272
expect event 288
call Execute [0, [true, []]]
call Notify 4 "x"
expect return -1
modal
  set frm/ed03 "01"
  expect text frm/ed03 "01"
  answer no
  click frm/btnWarn
end
expect dialog "输出方式"
lookup [["01"]]
call FreeForm
expect event 304
expect code 1
expect data "REQ-1"
expect event none
expect dialog none
echo "done"
)");
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, R"(module "KTVR08C.so"
event 256
call CreateForm -> 0
call GetInfo -> 0 out ["DS", "KVX001", "KTVR08", "生产入库单报表"]
event 272
call SetVisible
call GetVisible -> -1
event 288
call SetVisible
call Execute -> 0
call Notify -> -1
dialog warning "请至少选择一种输出方式！" -> no
call ShowModal -> 1
event 304
result code 1 data "REQ-1"
call FreeForm
echo done
free
)");
    EXPECT_EQ(Driver.Log, (std::vector<std::string>{"click frm/btnWarn"}));
}

TEST_F(HostSessionTest, FailedExpectationsNameTheLineAndMakeTheStatusOne) {
    const SessionRun r = Run(R"(load "KTVR08C.so"
params "DS" "KVX001" "KVX001" 0 ""
call CreateForm
expect event 272
expect return 1
expect dialog "x"
expect text frm/missing "a"
call FreeForm
expect event 304
expect code 9
)");
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "kvx-host: s.kvs:4: expected event 272, got 256\n"
                     "kvx-host: s.kvs:5: expected return 1, got 0\n"
                     "kvx-host: s.kvs:6: expected a dialog with \"x\", no dialog was shown\n"
                     "kvx-host: s.kvs:7: expect text frm/missing: Control \"frm/missing\" not found\n"
                     "kvx-host: s.kvs:10: expected code 9, got 1\n");
}

TEST_F(HostSessionTest, ErrorsAreExpectedOrFailTheSession) {
    RefuseController = true;
    SessionRun r = Run(R"(load "KTVR08C.so"
expect error "Not Assign \"DLLControllerClass\""
)");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out,
              "module \"KTVR08C.so\"\ncall GetController raised \"KVX DLL Internal Error :\\rNot Assign "
              "\\\"DLLControllerClass\\\" varible\"\n");

    RefuseController = false;
    r = Run(R"(load "KTVR08C.so"
call CreateForm
click frm/missing
expect error "not found"
click frm/missing
call GetVersion
)");
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err,
              "kvx-host: s.kvs:2: call CreateForm raised \"KVX DLL Internal Error :\\rNot Assign "
              "\\\"frmBaseGeneClass\\\" varible\" and no expect error follows\n"
              "kvx-host: s.kvs:5: click frm/missing raised \"Control \\\"frm/missing\\\" not found\" and no "
              "expect error follows\n");
}

TEST_F(HostSessionTest, MissingModulesAndControllersStopTheSession) {
    std::ostringstream out, err;
    HostSession session(Fixture.Db(), Driver, out, err);
    int status = session.Run(ParseScript("load \"/nonexistent/KTVR08C.so\"\ncall CreateForm\n", "m.kvs"));
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err.str().rfind("kvx-host: m.kvs:1: cannot load module /nonexistent/KTVR08C.so: ", 0), 0u)
        << err.str();
    EXPECT_EQ(out.str(), "");

    SessionRun r = Run("call GetVersion\necho \"not reached\"\n");
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "kvx-host: s.kvs:1: call GetVersion: no controller: load a module first\n");
    EXPECT_EQ(r.Out, "");

    // The controller cannot go while its ShowModal runs.
    r = Run("load \"KTVR08C.so\"\nparams \"DS\" \"C\" \"D\" 0 \"\"\ncall CreateForm\nmodal\n  free\n  echo "
            "\"x\"\nend\n");
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(
        r.Err,
        "kvx-host: s.kvs:5: free: not inside a modal block (the controller's ShowModal is still running)\n");
    EXPECT_EQ(r.Out.find("echo"), std::string::npos);
}

} // namespace
