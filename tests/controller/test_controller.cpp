// The host controller in-process, with a test form class registered as the option form.
#include "automation/Dispatch.h"
#include "controller/DLLFunc.h"
#include "controller/DLLRPCtrller.h"
#include "rtti/Publish.h"
#include "ui/Dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvx {

// What the test form and the host saw, in order.
std::vector<std::string> Trace;

// An option form whose handlers and overridable operations record what they are given.
class TfrmTstGene : public TfrmBaseGene {
    KVRT_CLASS(TfrmTstGene, TfrmBaseGene)
public:
    explicit TfrmTstGene(rt::TComponent* AOwner) : TfrmBaseGene(AOwner) {}

    // Handlers of the form's own, in place before the controller hooks the form.
    void AfterConstruction() override {
        TfrmBaseGene::AfterConstruction();
        OnShow = rt::Handler<&TfrmTstGene::OwnShow>(this);
        OnHide = rt::Handler<&TfrmTstGene::OwnHide>(this);
        OnDestroy = rt::Handler<&TfrmTstGene::OwnDestroy>(this);
    }

    bool SetParams(const rt::Variant& Params) override {
        Trace.push_back("SetParams");
        const bool ok = TfrmBaseGene::SetParams(Params);
        FProgramID = "KTVR08";
        FProgramName = "生产入库单报表";
        return ok && !RefuseParams;
    }
    bool ApplyHostConditions(const rt::Variant& Data) override {
        if (ThrowOnCommand) throw rt::Exception("command failed");
        Trace.push_back("ApplyHostConditions " + rt::VarToStr(Data[0]));
        return true;
    }
    void OwnShow(rt::TObject*) { Trace.push_back("form show"); }
    void OwnHide(rt::TObject*) { Trace.push_back("form hide"); }
    void OwnDestroy(rt::TObject* Sender) {
        Trace.push_back("form destroy");
        FormDestroy(Sender);
    }

    void SetResult(int32_t code, const rt::Variant& data) {
        FResultCode = code;
        FResultData = data;
    }
    const rt::Variant& HostAppSeen() const { return FHostApp; }

    static bool RefuseParams;
    static bool ThrowOnCommand;
};

bool TfrmTstGene::RefuseParams = false;
bool TfrmTstGene::ThrowOnCommand = false;

KVRT_PUBLISHED(TfrmTstGene) {}

namespace {

const rt::Variant kParams = rt::VarArrayOf({"DS", "KVX001", "KVX001", 0, ""});

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Trace.clear();
        TfrmTstGene::RefuseParams = false;
        TfrmTstGene::ThrowOnCommand = false;
        frmBaseGeneClass = TfrmTstGene::ClassInfo();
        rt::HeadlessDialogs()->Reset();
        Controller = GetController();
        Controller->OnEvent = TDLLEvent(&OnEvent, this);
    }
    void TearDown() override {
        rt::Free(Controller);
        rt::Application->ProcessMessages();
        frmBaseGeneClass = nullptr;
    }

    // The host's handler: the sender is the controller, whose results are read at 304.
    static void OnEvent(void* self, int32_t code, rt::TObject* sender) {
        auto* test = static_cast<ControllerTest*>(self);
        auto* controller = dynamic_cast<TDLLBaseController*>(sender);
        ASSERT_NE(controller, nullptr);
        std::string line = "event " + std::to_string(code);
        if (code == DLL_EVENT_FORM_DESTROY)
            line += " result " + std::to_string(controller->ResultCode) + " " +
                    rt::VarToStr(controller->ResultData);
        Trace.push_back(line);
        if (test->FreeControllerOn == code) {
            test->Controller = nullptr;
            controller->Free();
        }
    }

    TfrmTstGene* Form() const {
        return dynamic_cast<TfrmTstGene*>(static_cast<TDLLRPCtrller*>(Controller)->Form());
    }

    TDLLBaseController* Controller = nullptr;
    int FreeControllerOn = 0;
};

TEST(ControllerRegistrationTest, UnregisteredClassesRaiseTheirExactTexts) {
    const TDLLControllerClass saved = DLLControllerClass;
    DLLControllerClass = nullptr;
    try {
        GetController();
        ADD_FAILURE() << "no exception";
    } catch (const rt::Exception& e) {
        EXPECT_EQ(e.Message(), "KVX DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
    }
    DLLControllerClass = saved;

    frmBaseGeneClass = nullptr;
    TDLLBaseController* c = GetController();
    EXPECT_NE(dynamic_cast<TDLLRPCtrller*>(c), nullptr);
    try {
        c->CreateForm(kParams);
        ADD_FAILURE() << "no exception";
    } catch (const rt::Exception& e) {
        EXPECT_EQ(e.Message(), "KVX DLL Internal Error :\rNot Assign \"frmBaseGeneClass\" varible");
    }
    EXPECT_TRUE(c->IsFormFreed());
    c->Free();
}

TEST(ControllerRegistrationTest, TheBaseClassLeavesItsFirstElevenOperationsAbstract) {
    rt::TOwnedPtr<TDLLBaseController> base(rt::New<TDLLBaseController>());
    rt::Variant info;
    EXPECT_THROW(base->GetVersion(), rt::EAbstractError);
    EXPECT_THROW(base->CreateForm(kParams), rt::EAbstractError);
    EXPECT_THROW(base->GetInfo(info), rt::EAbstractError);
    EXPECT_THROW(base->IsFormFreed(), rt::EAbstractError);
    std::vector<int32_t> events;
    base->OnEvent = TDLLEvent([](void* data, int32_t code,
                                 rt::TObject*) { static_cast<std::vector<int32_t>*>(data)->push_back(code); },
                              &events);
    base->DoFormCreated();
    base->DoFormShow(nullptr);
    base->DoFormHide(nullptr);
    base->DoFormDestroy(nullptr);
    base->DoReservedEvent();
    base->ReservedOperation();
    EXPECT_EQ(events, (std::vector<int32_t>{256, 272, 288, 304, 320}));
    base->OnEvent = nullptr;
    base->DoEvent(256);
}

TEST_F(ControllerTest, WithoutAFormEveryOperationAnswersItsNeutralValue) {
    rt::Variant info = "untouched";
    EXPECT_EQ(Controller->GetVersion(), u"");
    EXPECT_EQ(Controller->GetVisible(), 0);
    EXPECT_EQ(Controller->GetHandle(), rt::HWND(0));
    EXPECT_EQ(rt::VarType(Controller->ShowModal()), rt::varInteger);
    EXPECT_EQ(Controller->ShowModal().AsInteger(), 2);
    EXPECT_EQ(Controller->GetInfo(info), -1);
    EXPECT_EQ(info.AsString(), "untouched");
    EXPECT_EQ(Controller->Execute(rt::VarArrayOf({0, 1})), -1);
    EXPECT_EQ(Controller->Notify(5, 0, rt::VarArrayOf({0, 1})), -1);
    Controller->SetVisible(-1);
    Controller->FreeForm();
    EXPECT_TRUE(Controller->IsFormFreed());
    EXPECT_TRUE(Trace.empty());
}

TEST_F(ControllerTest, CreateFormRaisesCreatedBeforeTheParametersAreSet) {
    Controller->HostApp = rt::Variant(rt::DispatchPtr(std::make_shared<rt::TAutoObject>()));
    ASSERT_EQ(Controller->CreateForm(kParams), 0);
    EXPECT_EQ(Trace, (std::vector<std::string>{"event 256", "SetParams"}));
    ASSERT_NE(Form(), nullptr);
    EXPECT_FALSE(Controller->IsFormFreed());
    EXPECT_EQ(Form()->HostAppSeen().AsDispatch(), Controller->HostApp.AsDispatch());
    EXPECT_FALSE(Form()->ModulePath().empty());
    EXPECT_EQ(Controller->GetVersion(), u"870401-0.00.00");
    EXPECT_NE(Controller->GetHandle(), rt::HWND(0));

    rt::Variant info;
    ASSERT_EQ(Controller->GetInfo(info), 0);
    ASSERT_EQ(info.LowBound(), 0);
    ASSERT_EQ(info.HighBound(), 3);
    EXPECT_EQ(info[0].AsString(), "DS");
    EXPECT_EQ(info[1].AsString(), "KVX001");
    EXPECT_EQ(info[2].AsString(), "KTVR08");
    EXPECT_EQ(info[3].AsString(), "生产入库单报表");
}

TEST_F(ControllerTest, RefusedParametersLeaveTheFormAliveAndHooked) {
    TfrmTstGene::RefuseParams = true;
    EXPECT_EQ(Controller->CreateForm(kParams), -1);
    ASSERT_FALSE(Controller->IsFormFreed());
    Trace.clear();
    Controller->SetVisible(-1);
    EXPECT_EQ(Controller->GetVisible(), -1);
    EXPECT_EQ(Trace, (std::vector<std::string>{"form show", "event 272"}));
}

TEST_F(ControllerTest, MalformedHostParametersAreRefusedWithoutHarm) {
    const rt::Variant cases[] = {
        rt::Null(),
        rt::Variant("DS"),
        rt::VarArrayCreate({0, 4, 0, 1}),
        rt::VarArrayOf({rt::Null(), "KVX001", "KVX001", 0, ""}),
        rt::VarArrayOf({"DS", "KVX001", "KVX001", "not a handle", ""}),
    };
    for (const rt::Variant& params : cases) {
        rt::TOwnedPtr<TDLLBaseController> controller(GetController());
        EXPECT_EQ(controller->CreateForm(params), -1);
        ASSERT_FALSE(controller->IsFormFreed());
        auto* form = static_cast<TDLLRPCtrller*>(controller.get())->Form();
        EXPECT_NE(form->MessageIDs().find("E;-1; "), std::string::npos) << form->MessageIDs();
    }
}

TEST_F(ControllerTest, PreviousHandlersRunFirstAndARepeatedCreateFormChainsNothingTwice) {
    ASSERT_EQ(Controller->CreateForm(kParams), 0);
    EXPECT_EQ(Controller->CreateForm(kParams), -1); // the form refuses a second parameter set
    Trace.clear();
    Controller->SetVisible(-1);
    Controller->SetVisible(0);
    Controller->FreeForm();
    EXPECT_EQ(Trace, (std::vector<std::string>{"form show", "event 272", "form hide", "event 288",
                                               "form destroy", "event 304 result 0 "}));
    EXPECT_TRUE(Controller->IsFormFreed());
}

TEST_F(ControllerTest, SetVisibleRestoresAMinimizedForm) {
    ASSERT_EQ(Controller->CreateForm(kParams), 0);
    Form()->SetWindowState(rt::wsMinimized);
    Controller->SetVisible(-1);
    EXPECT_EQ(Form()->WindowState(), rt::wsNormal);
    EXPECT_TRUE(Form()->Visible());
}

TEST_F(ControllerTest, ExecuteHandsOverElementOneAndNotifyTheDataItself) {
    ASSERT_EQ(Controller->CreateForm(kParams), 0);
    const rt::Variant command =
        rt::VarArrayOf({0, rt::VarArrayOf({false, rt::VarArrayOf({"rows", "values"})})});
    Trace.clear();
    EXPECT_EQ(Controller->Execute(rt::VarArrayOf({"ignored", command})), 0);
    EXPECT_EQ(Controller->Notify(5, 0, command), 0);
    EXPECT_EQ(Controller->Notify(9, 77, command), 0);
    EXPECT_EQ(Controller->Notify(4, 0, command), -1);
    EXPECT_EQ(Trace, std::vector<std::string>(3, "ApplyHostConditions rows"));

    Trace.clear();
    EXPECT_EQ(Controller->Execute(rt::Null()), -1);
    EXPECT_EQ(Controller->Execute("text"), -1);
    EXPECT_EQ(Controller->Execute(rt::VarArrayOf({1})), -1); // no element 1
    TfrmTstGene::ThrowOnCommand = true;
    EXPECT_EQ(Controller->Execute(rt::VarArrayOf({"ignored", command})), -1);
    EXPECT_EQ(Controller->Notify(5, 0, command), -1);
    EXPECT_TRUE(Trace.empty());
}

TEST_F(ControllerTest, UserCloseRaisesDestroyWithTheResultsAndFreeingAfterwardsIsSafe) {
    ASSERT_EQ(Controller->CreateForm(kParams), 0);
    Form()->SetResult(1, "REQ-0001");
    Controller->SetVisible(-1);
    Trace.clear();
    Form()->Close(); // the form frees itself on close
    rt::Application->ProcessMessages();
    EXPECT_EQ(Trace, (std::vector<std::string>{"form hide", "event 288", "form destroy",
                                               "event 304 result 1 REQ-0001"}));
    EXPECT_TRUE(Controller->IsFormFreed());
    EXPECT_EQ(Controller->ResultCode, 1);
    EXPECT_EQ(Controller->ResultData.AsString(), "REQ-0001");
    Trace.clear();
    rt::FreeAndNil(Controller);
    EXPECT_TRUE(Trace.empty());
}

TEST_F(ControllerTest, FreeingTheControllerFreesItsFormAndMayHappenInsideTheDestroyEvent) {
    ASSERT_EQ(Controller->CreateForm(kParams), 0);
    Form()->SetResult(7, "x");
    Trace.clear();
    rt::FreeAndNil(Controller);
    EXPECT_EQ(Trace, (std::vector<std::string>{"form destroy", "event 304 result 7 x"}));

    Controller = GetController();
    Controller->OnEvent = TDLLEvent(&OnEvent, this);
    ASSERT_EQ(Controller->CreateForm(kParams), 0);
    FreeControllerOn = DLL_EVENT_FORM_DESTROY;
    Controller->FreeForm();
    EXPECT_EQ(Controller, nullptr);
}

TEST_F(ControllerTest, ShowModalAnswersTheFormsModalResult) {
    ASSERT_EQ(Controller->CreateForm(kParams), 0);
    rt::HeadlessDialogs()->SetModalHandler("TfrmTstGene",
                                           [](rt::TCustomForm& form) { form.SetModalResult(rt::mrOk); });
    const rt::Variant result = Controller->ShowModal();
    EXPECT_EQ(rt::VarType(result), rt::varInteger);
    EXPECT_EQ(result.AsInteger(), 1);
    rt::Application->ProcessMessages(); // the form freed itself on close
    EXPECT_TRUE(Controller->IsFormFreed());
}

} // namespace
} // namespace kvx
