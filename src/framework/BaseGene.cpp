#include "BaseGene.h"

#include "automation/Dispatch.h"
#include "core/SysUtils.h"
#include "rtti/Publish.h"
#include "support/LibStrs.h"
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Mask.h"
#include "ui/StdCtrls.h"

namespace kvx {
namespace {

constexpr const char* kModuleVersion = "870401-0.00.00";
constexpr int kMessageArgs = 10;

rt::TMsgDlgType DialogTypeOf(const std::string& letter) {
    if (letter == "C" || letter == "D" || letter == "W") return rt::mtWarning;
    if (letter == "E") return rt::mtError;
    if (letter == "I") return rt::mtInformation;
    if (letter == "Q") return rt::mtConfirmation;
    return rt::mtCustom;
}

rt::TMsgDlgButtons DefaultButtonsOf(const std::string& letter) {
    if (letter == "C" || letter == "Q" || letter == "W") return rt::mbOKCancel;
    if (letter == "D") return rt::mbYesNoCancel;
    return rt::TMsgDlgButtons{rt::mbOK};
}

std::string FormatWith(const std::string& format, const std::vector<rt::Variant>& args) {
    std::vector<rt::TVarRec> recs;
    recs.reserve(args.size());
    for (const rt::Variant& a : args) recs.emplace_back(a);
    return rt::Format(format, recs);
}

bool HasClassNamed(const rt::TObject* obj, std::string_view name) {
    for (rt::TClass c = obj->ClassType(); c; c = c->Parent())
        if (rt::SameText(c->Name(), name)) return true;
    return false;
}

} // namespace

TfrmBaseGene::TfrmBaseGene(rt::TComponent* AOwner) : rt::TForm(AOwner) {}

TfrmBaseGene::~TfrmBaseGene() = default;

// ---- creation and destruction ------------------------------------------------------------------------

void TfrmBaseGene::FormCreate(rt::TObject*) {
    rt::Application->SetHintHidePause(500000);
    FModuleVersion = kModuleVersion;
    FCompanyID.clear();
    FProgramID.clear();
    FProgramName.clear();
    FRequiredSpec.clear();
    FDateFields.clear();
    FMonthFields.clear();
    FCheckFailed = false;
    FSystemPageReady = false;
    FLastFocused = this;
    FChangingPage = false;
    FAutoRun = true;
    FDateRules = std::make_unique<rt::TStringList>();
    for (int i = 0; i < ComponentCount(); ++i) {
        rt::TComponent* c = Components(i);
        if (const rt::TPropInfo* ime = c->ClassType()->FindProp("ImeName")) rt::SetStrProp(c, ime, "");
    }
}

void TfrmBaseGene::FormDestroy(rt::TObject*) {
    FSysInfo.reset();
    FSavedColors.reset();
    FSavedEnterExit.reset();
    FSavedClicks.reset();
    FPageEndControls.clear();
    FF2Window = rt::Variant();
    FValidator = rt::Variant();
    FCounter = rt::Variant();
    FHostApp = rt::Variant();
    FDateRules.reset();
}

void TfrmBaseGene::FormClose(rt::TObject*, rt::TCloseAction& Action) {
    Action = rt::caFree;
}

void TfrmBaseGene::btnOkClick(rt::TObject*) {}

void TfrmBaseGene::btnCancelClick(rt::TObject*) {
    Close();
}

// ---- the controller's calls ----------------------------------------------------------------------------

void TfrmBaseGene::SetModulePath(const std::string& Path) {
    // The stand-alone mode of a module not loaded as a library is not kept: a program linking the
    // form gets its parameters from its own host like every other.
    FModulePath = Path;
}

bool TfrmBaseGene::IsDll() const {
    return rt::SameText(rt::ExtractFileExt(FModulePath), ".so");
}

bool TfrmBaseGene::SetParams(const rt::Variant& Params) {
    if (!FCompanyID.empty()) return false;
    bool result = true;
    try {
        FSysInfo = std::make_unique<rt::TStringList>();
        FSavedColors = std::make_unique<rt::TStringList>();
        FSavedEnterExit = std::make_unique<rt::TStringList>();
        FSavedClicks = std::make_unique<rt::TStringList>();
        FPageEndControls.clear();
        FF2Window = rt::Variant();
        FValidator = rt::Variant();
        FCounter = rt::Variant();
        FFixedConditions = 1;
        AddErrorText("");
        if (edPrintDate) edPrintDate->SetText("");
        FConditionsFromHost = false;

        FHostWindow = Params.HighBound() > 2 ? Params[3].AsInteger() : 0;
        if (Params.HighBound() < 4) {
            AddMessage("E;000038");
            rt::PostMessage(Handle(), rt::WM_CLOSE);
        } else {
            FHostExtra = Params[4];
        }
        Hide();
        FUserID = Params[0].AsString();
        FCompanyID = Params[1].AsString();
        FDbName = Params[2].AsString();
    } catch (const rt::Exception& e) {
        AddErrorText(e.Message());
        result = false;
    }
    return result;
}

void TfrmBaseGene::ExecuteHostCommand(const rt::Variant& Request) {
    const rt::Variant command = Request[1];
    if (command.IsEmpty() || command.IsNull() || !command.IsArray()) return;
    const rt::Variant mode = command[0];
    FAutoRun = mode == rt::Variant(0) || mode == rt::Variant(1);
    FConditionsFromHost = false;
    bool valid = false;
    const rt::Variant payload = command[1];
    if (!payload.IsEmpty() && !payload.IsNull() && payload.IsArray()) {
        const bool named = payload[0].AsBoolean();
        const rt::Variant data = payload[1];
        if (!data.IsEmpty() && !data.IsNull() && data.IsArray())
            valid = named ? CheckHostConditions(data) : ApplyHostConditions(data);
        FConditionsFromHost = valid && mode != rt::Variant(0);
    }
    if (rt::Variant(2) < mode && valid) {
        RunHostAction(mode.AsInteger());
    } else if (FConditionsFromHost && btnOk) {
        btnOk->Click();
    }
}

bool TfrmBaseGene::ApplyHostConditions(const rt::Variant&) {
    return false;
}

bool TfrmBaseGene::RunHostAction(int) {
    return true;
}

bool TfrmBaseGene::CheckHostConditions(const rt::Variant& Data) {
    bool result = true;
    try {
        const rt::Variant rows = Data[0];
        for (int i = rows.LowBound(); i <= rows.HighBound() && result; ++i) {
            const std::string name = rows[i][1].AsString();
            rt::TComponent* c = FindComponent(name);
            result = c && (HasClassNamed(c, "TSelectPanel") || dynamic_cast<rt::TCustomComboBox*>(c) ||
                           c->ClassType()->FindProp("ItemIndex") || c->ClassType()->FindProp("Checked") ||
                           c->ClassType()->FindProp("Text") || c->ClassType()->FindProp("Lines"));
        }
    } catch (const std::exception&) {
        result = false;
    }
    if (!result) AddMessage("W;000014");
    return result;
}

// ---- messages ------------------------------------------------------------------------------------------

bool TfrmBaseGene::CancelIsActive() const {
    return btnCancel && ActiveControl() == static_cast<rt::TWinControl*>(btnCancel);
}

std::string TfrmBaseGene::GetMessageText(const std::string& Type, const std::string& Number) const {
    if (!FHostApp.AsDispatch()) return rt::Format("Can not Get Message\rType= %s, ID= %s ", {Type, Number});
    return rt::VarToStr(rt::OleCall(FHostApp, "GetMessage", {Type, Number}));
}

void TfrmBaseGene::AddMessage(const std::string& IdText) {
    if (CancelIsActive()) return;
    if (IdText.empty()) {
        FMessageIDs.clear();
        FErrorText.clear();
        return;
    }
    FMessageIDs += IdText + "; ";
    std::string rest = IdText;
    const std::string type = CutToken(rest, ";");
    std::string number = CutToken(rest, ";");
    const bool show = rt::StrToIntDef(number, 0) > 0;
    std::vector<rt::Variant> args(kMessageArgs, rt::Variant(std::u16string()));
    int count = 0;
    do {
        args[static_cast<size_t>(count++)] = rt::Variant(rt::Utf8ToUtf16(CutToken(rest, ";")));
    } while (!rest.empty() && count < kMessageArgs);
    if (!show && !number.empty()) number.erase(0, 1);

    std::string text;
    std::string looked;
    try {
        looked = GetMessageText(type, number);
        text = FormatWith(looked, args);
    } catch (const std::exception&) {
        text = looked + "\r";
        for (const rt::Variant& a : args) text += rt::VarToStr(a) + ";";
    }
    if (FErrorText.find(text) == std::string::npos) FErrorText += text + "; ";
    if (show) ShowMessageDialog(text, DialogTypeOf(type), rt::TMsgDlgButtons{rt::mbOK});
}

void TfrmBaseGene::AddErrorText(const std::string& Text) {
    if (CancelIsActive()) return;
    const std::string text = rt::Trim(Text);
    if (text.empty()) {
        FMessageIDs.clear();
        FErrorText.clear();
        return;
    }
    FMessageIDs += "E;-1; ";
    if (FErrorText.find(text) == std::string::npos) FErrorText += text + "; ";
}

int TfrmBaseGene::ShowMessageById(const std::string& Type, const std::string& Number,
                                  rt::TMsgDlgButtons Buttons, std::initializer_list<rt::TVarRec> Args) {
    const std::string text = rt::Format(GetMessageText(Type, Number), Args);
    const rt::TMsgDlgButtons buttons = Buttons.Bits() != 0 ? Buttons : DefaultButtonsOf(Type);
    return ShowMessageDialog(text, DialogTypeOf(Type), buttons);
}

int TfrmBaseGene::ShowMessageDialog(const std::string& Text, rt::TMsgDlgType DlgType,
                                    rt::TMsgDlgButtons Buttons) {
    if (FChangingPage && DlgType != rt::mtError) return 0;
    rt::TOwnedPtr<rt::TMessageForm> dialog(rt::CreateMessageDialog(Text, DlgType, Buttons));
    dialog->SetCaption(Caption());
    const int result = dialog->ShowModal();
    dialog.reset();
    if (rt::TWinControl* active = ActiveControl()) rt::PostMessage(active->Handle(), rt::WM_LBUTTONUP);
    // Only on a form that is shown: the messages of the parameter set-up come while the form is hidden,
    // where focusing would raise and cut the set-up short.
    if (DlgType == rt::mtError && FLastFocused && IsShown() && FLastFocused->CanFocus())
        FLastFocused->SetFocus();
    return result;
}

KVRT_PUBLISHED(TfrmBaseGene) {
    P.Field("pgOption", &TfrmBaseGene::pgOption);
    P.Field("tsOption1", &TfrmBaseGene::tsOption1);
    P.Field("tsOption2", &TfrmBaseGene::tsOption2);
    P.Field("lblToday", &TfrmBaseGene::lblToday);
    P.Field("edPrintDate", &TfrmBaseGene::edPrintDate);
    P.Field("Panel1", &TfrmBaseGene::Panel1);
    P.Field("btnOk", &TfrmBaseGene::btnOk);
    P.Field("btnCancel", &TfrmBaseGene::btnCancel);
    P.Method<&TfrmBaseGene::FormCreate>("FormCreate");
    P.Method<&TfrmBaseGene::FormDestroy>("FormDestroy");
    P.Method<&TfrmBaseGene::FormClose>("FormClose");
    P.Method<&TfrmBaseGene::btnOkClick>("btnOkClick");
    P.Method<&TfrmBaseGene::btnCancelClick>("btnCancelClick");
}

} // namespace kvx
