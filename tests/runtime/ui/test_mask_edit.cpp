// The masked edit control: Text and EditText, typing, validation on exit and Enter, Esc, mask changes.
// (The mask rules themselves are tested with the engine in test_mask_utils.cpp.)
#include "backend/HeadlessBackend.h"
#include "core/FormatSettings.h"
#include "ui/Dialogs.h"
#include "ui/FormResource.h"
#include "ui/Input.h"
#include "ui/Mask.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

class TfrmMask : public TForm {
    KVRT_CLASS(TfrmMask, TForm)
public:
    explicit TfrmMask(TComponent* AOwner) : TForm(AOwner) {
        SetName("frmMask");
        meDate = new TMaskEdit(this);
        meDate->SetName("meDate");
        meDate->SetParent(this);
        meDate->SetEditMask("0000/00/00;1;_");
        meDate->SetText(""); // a control made at run time shows its name until given a text
        meDate->OnExit = Handler<&TfrmMask::Log>(this);
        meDate->OnChange = Handler<&TfrmMask::Changed>(this);
        edNext = new TEdit(this);
        edNext->SetName("edNext");
        edNext->SetParent(this);
        edNext->SetTop(30);
        edNext->OnEnter = Handler<&TfrmMask::Log>(this);
    }
    TMaskEdit* meDate;
    TEdit* edNext;
    std::string Events;
    int Changes = 0;
    void Log(TObject* s) { Events += static_cast<TComponent*>(s)->Name() + " "; }
    void Changed(TObject*) { ++Changes; }
};
KVRT_PUBLISHED(TfrmMask) {}

class MaskEditControl : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings fs = GetFormatSettings();
        fs.DateSeparator = '/';
        settings = std::make_unique<ScopedFormatSettings>(fs);
        form.reset(New<TfrmMask>(nullptr));
        form->Show();
        form->Events.clear();
    }
    void TearDown() override {
        form.reset();
        HeadlessDialogs()->Reset();
    }
    std::unique_ptr<ScopedFormatSettings> settings;
    TOwnedPtr<TfrmMask> form;
};

TEST_F(MaskEditControl, TextAndEditTextFollowTheMask) {
    TMaskEdit* me = form->meDate;
    EXPECT_EQ(me->EditText(), "____/__/__");
    EXPECT_EQ(me->MaxLength(), 10);
    me->SetText("2024/1/5");
    EXPECT_EQ(me->EditText(), "2024/1_/5_");
    EXPECT_EQ(me->Text(), "2024/1 /5 ");
    EXPECT_EQ(GetPropText(me, "Text"), "2024/1 /5 ");
    me->SetEditMask("0000/00/00;0;_"); // reformat: unmasked with the old mask, inner blanks as spaces
    EXPECT_EQ(me->EditText(), "2024/1 /5_");
    EXPECT_EQ(me->Text(), "20241 5");
    me->SetEditMask("");
    EXPECT_EQ(me->Text(), "20241 5");
    EXPECT_EQ(me->MaxLength(), 0);
}

TEST_F(MaskEditControl, TypingFillsPositionsAndSkipsLiterals) {
    input::TypeText("20240115");
    EXPECT_EQ(form->meDate->EditText(), "2024/01/15");
    EXPECT_TRUE(form->meDate->Modified());
    EXPECT_EQ(form->Changes, 8);
    form->meDate->SetText("");
    form->meDate->SetSelStart(0);
    input::TypeText("1/5");
    EXPECT_EQ(form->meDate->EditText(), "1___/5_/__");
    int beeps = HeadlessBackend()->Beeps();
    input::TypeText("x"); // not a digit: rejected
    EXPECT_EQ(HeadlessBackend()->Beeps(), beeps + 1);
    EXPECT_EQ(form->meDate->EditText(), "1___/5_/__");
}

TEST_F(MaskEditControl, ExitValidatesAModifiedTextAndKeepsTheFocus) {
    input::TypeText("2024");
    ASSERT_EQ(form->meDate->EditText(), "2024/__/__") << form->meDate->Modified();
    input::PressKey(VK_TAB);
    // The error went to the application's handler; neither OnExit nor the next OnEnter ran.
    const TDialogRecord* r = HeadlessDialogs()->LastDialog();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Type, mtError);
    EXPECT_NE(r->Text.find("Invalid input value"), std::string::npos);
    EXPECT_EQ(form->Events, "");
    EXPECT_TRUE(form->meDate->Focused());
    EXPECT_EQ(form->meDate->SelStart(), 5); // the first missing position
    // From code the error reaches the caller.
    EXPECT_THROW(form->edNext->SetFocus(), EDBEditError);
    EXPECT_TRUE(form->meDate->Focused());
    // Completed, the exit goes through.
    input::TypeText("0115");
    input::PressKey(VK_TAB);
    EXPECT_EQ(form->Events, "meDate edNext ");
    EXPECT_TRUE(form->edNext->Focused());
}

TEST_F(MaskEditControl, UnmodifiedTextIsNotValidated) {
    form->meDate->SetText("2024"); // assigned, not typed
    input::PressKey(VK_TAB);
    EXPECT_EQ(HeadlessDialogs()->LastDialog(), nullptr);
    EXPECT_TRUE(form->edNext->Focused());
}

TEST_F(MaskEditControl, EnterValidatesAndEscapeRestoresTheTextOnEntry) {
    form->meDate->SetText("2023/12/31");
    form->edNext->SetFocus();
    form->meDate->SetFocus();
    form->meDate->SetSelStart(0);
    input::TypeText("19");
    EXPECT_EQ(form->meDate->EditText(), "1923/12/31");
    input::PressKey(VK_ESCAPE);
    EXPECT_EQ(form->meDate->EditText(), "2023/12/31");
    EXPECT_FALSE(form->meDate->Modified());
    form->meDate->SetText("");
    input::TypeText("2");
    input::PressKey(VK_RETURN);
    EXPECT_NE(HeadlessDialogs()->LastDialog(), nullptr);
}

TEST_F(MaskEditControl, ReadsFromResourcesLikeAnyControl) {
    TOwnedPtr<TForm> f(new TForm(nullptr));
    ReadComponentResource(f.get(), R"(object f: TForm
  object me: TMaskEdit
    EditMask = '!aaaa\-aaaaaaaaaaa;0; '
    Text = 'AB12-000123'
  end
end)",
                          "mask.dfm");
    auto* me = f->FindComponent<TMaskEdit>("me");
    EXPECT_EQ(me->EditText(), "    -AB12-000123");
    EXPECT_EQ(me->Text(), "AB12-000123");
}

} // namespace
} // namespace rt
