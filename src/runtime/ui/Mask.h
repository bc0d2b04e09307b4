#pragma once
// The masked edit: a plain edit whose text follows an edit mask (ui/MaskUtils.h holds the rules).
//
// EditText is what the control shows (literals and blanks); Text is the value read through the mask
// (see MaskTextFromEditText) and assigning Text lays a value into the mask without validation. Typing
// follows the mask position by position. When the user changed the text, leaving the control (and
// pressing Enter in it) validates the required positions: on failure the focus stays, the caret goes to
// the first missing position and EDBEditError is raised, so the control's OnExit and the next control's
// OnEnter do not run. Esc restores the text the control had when it was entered. Changing EditMask at
// run time reformats the current text under the new mask.
#include "ui/MaskUtils.h"
#include "ui/StdCtrls.h"

namespace rt {

class TCustomMaskEdit : public TCustomEdit {
    KVRT_CLASS(TCustomMaskEdit, TCustomEdit)
public:
    explicit TCustomMaskEdit(TComponent* AOwner);

    const std::string& EditMask() const { return FMaskText; }
    void SetEditMask(const std::string& v);
    bool IsMasked() const { return !FMask.IsEmpty(); }
    const ::rt::EditMask& ParsedMask() const { return FMask; }

    // The raw display text (literals and blanks).
    std::string EditText() const { return FText; }
    void SetEditText(const std::string& v);
    std::string GetText() const override;
    void SetText(const std::string& v) override;
    // MaxLength is the mask's length while a mask is set.
    void SetMaxLength(int v) override;

    // Raises EDBEditError (and puts the caret on the missing position) when a required position is
    // empty; does nothing without a mask.
    void ValidateEdit();

    bool WantsKey(Word key, TShiftState shift) const override;
    void DefaultHandler(TMessage& message) override;

protected:
    void DefaultKeyPress(TKeyChar& key) override;
    void DefaultKeyDown(Word& key, TShiftState shift) override;
    void DoEnter() override;
    void ApplyTyping(const MaskTyping& typing);

private:
    std::string FMaskText;
    ::rt::EditMask FMask;
    std::string FEnterText; // EditText when the control was entered (for Esc)
};

class TMaskEdit : public TCustomMaskEdit {
    KVRT_CLASS(TMaskEdit, TCustomMaskEdit)
public:
    explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
};

// The separators the mask's ':' and '/' show: the process's time and date separators.
MaskSeparators CurrentMaskSeparators();

} // namespace rt
