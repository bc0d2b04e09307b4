// The messages of a run on the generic option form: looked up through the host, formatted, recorded,
// shown in a dialog of the type the letter gives.
#include "automation/Dispatch.h"
#include "framework/BaseGene.h"
#include "rtti/Publish.h"

#include <gtest/gtest.h>

#include <map>

namespace kvx {

// The generic option form with a host object of the test's choosing.
class TfrmMsgGene : public TfrmBaseGene {
    KVRT_CLASS(TfrmMsgGene, TfrmBaseGene)
public:
    explicit TfrmMsgGene(rt::TComponent* AOwner) : TfrmBaseGene(AOwner) {}
    void SetHostApp(const rt::Variant& host) { FHostApp = host; }
};

KVRT_PUBLISHED(TfrmMsgGene) {}

namespace {

// Answers GetMessage from a table; an unknown id raises, as a failing host would.
class MessageHost : public rt::TAutoObject {
public:
    MessageHost() {
        AddMethod("GetMessage", [this](std::vector<rt::Variant>& args) {
            const std::string key = rt::VarToStr(args[0]) + "/" + rt::VarToStr(args[1]);
            auto it = Texts.find(key);
            if (it == Texts.end()) throw rt::EOleException("no message " + key);
            return rt::Variant(it->second);
        });
    }
    std::map<std::string, std::string> Texts{{"E/000038", "参数不足"},
                                             {"I/000004", "作业已提交：%s"},
                                             {"W/000002", "%s的数量不符：应为 %d 项，实为 %d 项！"},
                                             {"D/000009", "要保存吗？"},
                                             {"E/000099", "数量：%d"}};
};

class BaseGeneMessagesTest : public ::testing::Test {
protected:
    BaseGeneMessagesTest() : Form(rt::New<TfrmMsgGene>(nullptr)) {
        rt::HeadlessDialogs()->Reset();
        Form->SetHostApp(rt::Variant(rt::DispatchPtr(std::make_shared<MessageHost>())));
    }
    const std::vector<rt::TDialogRecord>& Dialogs() const { return rt::HeadlessDialogs()->Dialogs(); }

    rt::TOwnedPtr<TfrmMsgGene> Form;
};

TEST_F(BaseGeneMessagesTest, AMessageIsRecordedFormattedAndShownByItsType) {
    Form->AddMessage("E;000038");
    ASSERT_EQ(Dialogs().size(), 1u);
    EXPECT_EQ(Dialogs()[0].Type, rt::mtError);
    EXPECT_EQ(Dialogs()[0].Text, "参数不足");
    EXPECT_EQ(Dialogs()[0].Buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(Form->MessageIDs(), "E;000038; ");
    EXPECT_EQ(Form->ErrorText(), "参数不足; ");

    // A number not above 0 records the message (looked up without its sign) and shows nothing.
    Form->AddMessage("I;-000004;REQ-1");
    EXPECT_EQ(Dialogs().size(), 1u);
    EXPECT_EQ(Form->MessageIDs(), "E;000038; I;-000004;REQ-1; ");
    EXPECT_EQ(Form->ErrorText(), "参数不足; 作业已提交：REQ-1; ");

    // The same text again: the id twice, the text once.
    Form->AddMessage("E;000038");
    EXPECT_EQ(Form->MessageIDs(), "E;000038; I;-000004;REQ-1; E;000038; ");
    EXPECT_EQ(Form->ErrorText(), "参数不足; 作业已提交：REQ-1; ");

    Form->AddMessage("");
    EXPECT_EQ(Form->MessageIDs(), "");
    EXPECT_EQ(Form->ErrorText(), "");
}

TEST_F(BaseGeneMessagesTest, ALookupOrFormatThatFailsGivesTheRawTextAndTheArguments) {
    Form->AddMessage("-;000001;a;b"); // unknown to the host: empty text, then the arguments
    Form->AddMessage("E;000099;12");  // a text argument for a number placeholder
    ASSERT_EQ(Dialogs().size(), 2u);
    EXPECT_EQ(Dialogs()[0].Type, rt::mtCustom);
    EXPECT_EQ(Dialogs()[0].Text, "\ra;b;;;;;;;;;");
    EXPECT_EQ(Dialogs()[1].Text, "数量：%d\r12;;;;;;;;;;");

    Form->SetHostApp(rt::Variant());
    Form->AddMessage("W;000014");
    EXPECT_EQ(Dialogs().back().Text, "Can not Get Message\rType= W, ID= 000014 ");
    EXPECT_EQ(Dialogs().back().Type, rt::mtWarning);
}

TEST_F(BaseGeneMessagesTest, ShowMessageByIdUsesTheDefaultButtonsOfTheLetterAndRecordsNothing) {
    rt::HeadlessDialogs()->PushAnswer(rt::mrNo);
    EXPECT_EQ(Form->ShowMessageById("D", "000009", rt::TMsgDlgButtons{}), rt::mrNo);
    EXPECT_EQ(Dialogs().back().Buttons, (std::vector<std::string>{"Yes", "No", "Cancel"}));
    EXPECT_EQ(Form->ShowMessageById("D", "000009", rt::TMsgDlgButtons{rt::mbOK}), rt::mrOk);
    EXPECT_EQ(Dialogs().back().Buttons, std::vector<std::string>{"OK"});
    Form->ShowMessageById("W", "000002", rt::TMsgDlgButtons{}, {"选择条件文字", 3, 2});
    EXPECT_EQ(Dialogs().back().Text, "选择条件文字的数量不符：应为 3 项，实为 2 项！");
    EXPECT_EQ(Form->MessageIDs(), "");
}

TEST_F(BaseGeneMessagesTest, RawErrorTextsAreRecordedWithoutADialog) {
    Form->AddErrorText("  socket closed \r\n");
    Form->AddErrorText("socket closed");
    EXPECT_EQ(Form->MessageIDs(), "E;-1; E;-1; ");
    EXPECT_EQ(Form->ErrorText(), "socket closed; ");
    EXPECT_TRUE(Dialogs().empty());
}

} // namespace
} // namespace kvx
