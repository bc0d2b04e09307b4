#pragma once
// TfrmBaseGene: the generic report-option window every report form of the module derives from. It
// receives the user's context from the host controller, keeps the messages of the run, and answers the
// host's commands. Derived forms plug in through its virtual operations.
#include "core/Classes.h"
#include "core/SysUtils.h"
#include "core/Variant.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"

#include <memory>
#include <string>
#include <vector>

namespace rt {
class TPageControl;
class TTabSheet;
class TPanel;
class TMaskEdit;
class TBitBtn;
class TLabel;
} // namespace rt

namespace kvx {

class TDLLRPCtrller;

class TfrmBaseGene : public rt::TForm {
    KVRT_CLASS(TfrmBaseGene, rt::TForm)
public:
    explicit TfrmBaseGene(rt::TComponent* AOwner);
    ~TfrmBaseGene() override;

    // Called by the controller.
    void SetModulePath(const std::string& Path);
    // Takes the host parameters [user, company, database, host window, further value]. A second call is
    // refused (false) without touching anything.
    virtual bool SetParams(const rt::Variant& Params);
    // Acts on Request[1], the host command [Mode, [Named, [Rows, Values]]].
    void ExecuteHostCommand(const rt::Variant& Request);

    // Overridable operations.
    virtual bool ApplyHostConditions(const rt::Variant& Data);
    virtual bool RunHostAction(int Action);

    // The module file has the platform's shared-library extension.
    bool IsDll() const;

    // Messages of the run, by message id ("E;000038;arg;...") and as raw texts.
    std::string GetMessageText(const std::string& Type, const std::string& Number) const;
    void AddMessage(const std::string& IdText);
    void AddErrorText(const std::string& Text);
    // Args as the platform's argument list: typed values for the placeholders of the text.
    int ShowMessageById(const std::string& Type, const std::string& Number, rt::TMsgDlgButtons Buttons,
                        std::initializer_list<rt::TVarRec> Args = {});
    int ShowMessageDialog(const std::string& Text, rt::TMsgDlgType DlgType, rt::TMsgDlgButtons Buttons);

    const std::string& MessageIDs() const { return FMessageIDs; }
    const std::string& ErrorText() const { return FErrorText; }
    const std::string& ModulePath() const { return FModulePath; }
    bool AutoRun() const { return FAutoRun; }
    bool ConditionsFromHost() const { return FConditionsFromHost; }

    // Published components.
    rt::TPageControl* pgOption = nullptr;
    rt::TTabSheet* tsOption1 = nullptr;
    rt::TTabSheet* tsOption2 = nullptr;
    rt::TLabel* lblToday = nullptr;
    rt::TMaskEdit* edPrintDate = nullptr;
    rt::TPanel* Panel1 = nullptr;
    rt::TBitBtn* btnOk = nullptr;
    rt::TBitBtn* btnCancel = nullptr;

    // Published handlers.
    void FormCreate(rt::TObject* Sender);
    void FormDestroy(rt::TObject* Sender);
    void FormClose(rt::TObject* Sender, rt::TCloseAction& Action);
    void btnOkClick(rt::TObject* Sender);
    void btnCancelClick(rt::TObject* Sender);

protected:
    friend class TDLLRPCtrller;

    // Checks that every control a named host command addresses exists and can take a value.
    bool CheckHostConditions(const rt::Variant& Data);
    // True while the cancel button is the active control: a field check then produces no message.
    bool CancelIsActive() const;

    rt::Variant FHostApp;
    rt::Variant FCounter;
    rt::Variant FValidator;
    rt::Variant FF2Window;
    std::string FUserID;
    std::string FCompanyID;
    std::string FDbName;
    intptr_t FHostWindow = 0;
    rt::Variant FHostExtra;
    std::string FModuleVersion;
    std::string FProgramID;
    std::string FProgramName;
    std::string FModulePath;
    int FFixedConditions = 0;
    bool FConditionsFromHost = false;
    bool FAutoRun = true;
    std::string FMessageIDs;
    std::string FErrorText;
    bool FCheckFailed = false;
    bool FChangingPage = false;
    rt::TComponentPtr<rt::TWinControl> FLastFocused;
    bool FSystemPageReady = false;
    std::string FRequiredSpec;
    std::string FDateFields;
    std::string FMonthFields;
    int32_t FResultCode = 0;
    rt::Variant FResultData;

    std::unique_ptr<rt::TStringList> FSysInfo;
    std::unique_ptr<rt::TStringList> FSavedColors;
    std::unique_ptr<rt::TStringList> FSavedEnterExit;
    std::unique_ptr<rt::TStringList> FSavedClicks;
    std::vector<rt::TControl*> FPageEndControls;
    std::unique_ptr<rt::TStringList> FDateRules;
};

} // namespace kvx
