// An example form built from compiled-in resources (forms/ExampleBase.dfm and forms/ExampleOrder.dfm,
// two levels of visual inheritance) and driven end to end through its controls, headless.
#include "backend/HeadlessBackend.h"
#include "core/SysUtils.h"
#include "ui/ComCtrls.h"
#include "ui/Dialogs.h"
#include "ui/ExtCtrls.h"
#include "ui/FormResource.h"
#include "ui/Input.h"
#include "ui/Mask.h"
#include "ui/Spin.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

class TfrmExampleBase : public TForm {
    KVRT_CLASS(TfrmExampleBase, TForm)
public:
    explicit TfrmExampleBase(TComponent* AOwner) : TForm(AOwner) {}
    TPanel* pnlButtons = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnCancel = nullptr;
    TPageControl* pgMain = nullptr;
    TTabSheet* tsGeneral = nullptr;
    bool Created = false;

    void FormCreate(TObject*) { Created = true; }
    // Enter moves to the next control, as the option forms do.
    void FormKeyPress(TObject*, TKeyChar& key) {
        if (key == VK_RETURN) {
            key = 0;
            SelectNext(ActiveControl(), true, true);
        }
    }
    void btnOkClick(TObject*) {
        if (Check()) SetModalResult(mrOk);
    }

protected:
    virtual bool Check() { return true; }
};
KVRT_PUBLISHED(TfrmExampleBase) {
    P.Field("pnlButtons", &TfrmExampleBase::pnlButtons);
    P.Field("btnOk", &TfrmExampleBase::btnOk);
    P.Field("btnCancel", &TfrmExampleBase::btnCancel);
    P.Field("pgMain", &TfrmExampleBase::pgMain);
    P.Field("tsGeneral", &TfrmExampleBase::tsGeneral);
    P.Method<&TfrmExampleBase::FormCreate>("FormCreate");
    P.Method<&TfrmExampleBase::FormKeyPress>("FormKeyPress");
    P.Method<&TfrmExampleBase::btnOkClick>("btnOkClick");
}

class TfrmExampleOrder : public TfrmExampleBase {
    KVRT_CLASS(TfrmExampleOrder, TfrmExampleBase)
public:
    explicit TfrmExampleOrder(TComponent* AOwner) : TfrmExampleBase(AOwner) {}
    TEdit* edCustomer = nullptr;
    TComboBox* cboProduct = nullptr;
    TSpinEdit* seQty = nullptr;
    TCheckBox* chkExpress = nullptr;
    TTabSheet* tsDelivery = nullptr;
    TMaskEdit* meDate = nullptr;
    TRadioGroup* rgShift = nullptr;

    std::string Summary() const {
        return Trim(edCustomer->Text()) + "|" + cboProduct->Text() + "|" + IntToStr(seQty->Value()) + "|" +
               (chkExpress->Checked() ? "express" : "normal") + "|" + meDate->Text() + "|" +
               rgShift->Items()->Get(rgShift->ItemIndex());
    }

protected:
    bool Check() override {
        if (Trim(edCustomer->Text()).empty()) {
            MessageDlg("请输入客户", mtWarning, {mbOK});
            pgMain->SetActivePage(tsGeneral);
            edCustomer->SetFocus();
            return false;
        }
        return true;
    }
};
KVRT_PUBLISHED(TfrmExampleOrder) {
    P.Field("edCustomer", &TfrmExampleOrder::edCustomer);
    P.Field("cboProduct", &TfrmExampleOrder::cboProduct);
    P.Field("seQty", &TfrmExampleOrder::seQty);
    P.Field("chkExpress", &TfrmExampleOrder::chkExpress);
    P.Field("tsDelivery", &TfrmExampleOrder::tsDelivery);
    P.Field("meDate", &TfrmExampleOrder::meDate);
    P.Field("rgShift", &TfrmExampleOrder::rgShift);
}

TEST(ExampleForm, BuiltFromCompiledInResourcesWithInheritance) {
    ASSERT_TRUE(HasFormResource("TfrmExampleBase"));
    TOwnedPtr<TComponent> form(CreateComponentByClassName("TfrmExampleOrder", Application));
    auto* f = dynamic_cast<TfrmExampleOrder*>(form.get());
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->Created);
    EXPECT_EQ(f->Caption(), "订单");
    EXPECT_EQ(f->Font()->Name(), "宋体");
    EXPECT_EQ(f->cboProduct->Items()->Count(), 3);
    EXPECT_EQ(f->seQty->Value(), 1);
    EXPECT_EQ(f->meDate->EditText(), "____/__/__");
    EXPECT_EQ(f->rgShift->ItemIndex(), 0);
    EXPECT_EQ(f->pgMain->PageCount(), 2);
    EXPECT_EQ(f->pgMain->ActivePage(), f->tsGeneral);
    EXPECT_EQ(f->edCustomer->Parent(), f->tsGeneral);
    EXPECT_EQ(f->pnlButtons->Top() + f->pnlButtons->Height(), f->ClientHeight());
}

TEST(ExampleForm, DrivenEndToEndThroughItsControls) {
    THeadlessDialogDriver& dialogs = *HeadlessDialogs();
    dialogs.Reset();
    auto* form = Application->CreateForm<TfrmExampleOrder>();
    TComponentPtr<TfrmExampleOrder> watch(form);
    std::string path = form->Name();
    dialogs.SetModalHandler("TfrmExampleOrder", [&](TCustomForm&) {
        // OK with no customer: a warning, and the focus goes back to the customer.
        input::Click(path + "/btnOk");
        ASSERT_NE(dialogs.LastDialog(), nullptr);
        EXPECT_EQ(dialogs.LastDialog()->Text, "请输入客户");
        EXPECT_EQ(Screen->ActiveControl(), form->edCustomer);
        EXPECT_EQ(form->ModalResult(), mrNone);

        input::TypeText("  张三\r"); // Enter moves on (the form's key preview)
        EXPECT_EQ(Screen->ActiveControl(), form->cboProduct);
        input::ChooseItem(path + "/cboProduct", "纸");
        input::Focus(path + "/seQty");
        input::PressKey(VK_UP);
        input::Check(path + "/chkExpress");
        input::SelectTab(form->pgMain, 1);
        input::Focus(path + "/meDate");
        input::TypeText("20240115");
        input::ChooseItem(path + "/rgShift", 1);
        input::Click(path + "/btnOk");
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(form->Summary(), "张三|纸|2|express|2024/01/15|下午");
    EXPECT_TRUE(dialogs.AbandonedForms().empty());
    // The headless backend recorded what was shown.
    THeadlessBackend* backend = HeadlessBackend();
    ASSERT_NE(backend, nullptr);
    EXPECT_EQ(backend->Shown(path + "/edCustomer", paText), "  张三");
    EXPECT_EQ(backend->Shown(path, paVisible), "False");
    EXPECT_EQ(backend->Shown(path + "/meDate", paText), "2024/01/15");

    // Cancel closes with mrCancel; Esc takes the cancel button.
    dialogs.SetModalHandler("TfrmExampleOrder", [](TCustomForm&) { input::PressKey(VK_ESCAPE); });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_TRUE(dialogs.AbandonedForms().empty());
    dialogs.Reset();
    form->Free();
    EXPECT_FALSE(watch);
}

} // namespace
} // namespace rt
