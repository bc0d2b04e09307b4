#include "ui/Mask.h"

#include "core/FormatSettings.h"
#include "ui/Forms.h"

namespace rt {

MaskSeparators CurrentMaskSeparators() {
    const FormatSettings& fs = GetFormatSettings();
    MaskSeparators s;
    s.time = std::string(1, fs.TimeSeparator);
    s.date = std::string(1, fs.DateSeparator);
    return s;
}

KVRT_PUBLISHED(TCustomMaskEdit) {
    // The mask first, so that a resource's Text is laid into it.
    P.Property("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask);
    P.Property("Text", &TCustomMaskEdit::GetText, &TCustomMaskEdit::SetText);
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TCustomMaskEdit::SetEditMask(const std::string& v) {
    if (v == FMaskText) return;
    ::rt::EditMask newMask = ParseEditMask(v, CurrentMaskSeparators());
    MaskReformat r = ReformatEditText(FMask, newMask, FText);
    FMaskText = v;
    FMask = std::move(newMask);
    FMaxLength = r.maxLength;
    SetEditText(r.editText);
    PeerUpdate(paState);
}

void TCustomMaskEdit::SetMaxLength(int v) {
    if (IsMasked()) return; // the mask decides
    TCustomEdit::SetMaxLength(v);
}

std::string TCustomMaskEdit::GetText() const {
    return IsMasked() ? MaskTextFromEditText(FMask, FText) : FText;
}

void TCustomMaskEdit::SetText(const std::string& v) {
    SetEditText(IsMasked() ? MaskEditTextFromText(FMask, v) : v);
    SetModified(false);
}

void TCustomMaskEdit::SetEditText(const std::string& v) {
    if (v == FText) return;
    FSelStart = 0;
    FSelLength = 0;
    FText = v;
    PeerUpdate(paText);
    TextChanged();
    Perform(CM_TEXTCHANGED);
}

void TCustomMaskEdit::ValidateEdit() {
    if (!IsMasked()) return;
    int missing = ValidateEditText(FMask, FText);
    if (missing < 0) return;
    if (TCustomForm* form = GetParentForm(this); form && form->IsShown() && CanFocus()) form->KeepFocus(this);
    FSelStart = missing;
    FSelLength = 0;
    PeerUpdate(paSelection);
    throw EDBEditError("Invalid input value.  Use escape key to abandon changes");
}

void TCustomMaskEdit::DefaultHandler(TMessage& m) {
    if (m.Msg == CM_EXIT) {
        // Validation comes before OnExit; a failure keeps the focus here.
        if (IsMasked() && Modified()) ValidateEdit();
    }
    TCustomEdit::DefaultHandler(m);
}

void TCustomMaskEdit::DoEnter() {
    FEnterText = FText;
    TCustomEdit::DoEnter();
}

bool TCustomMaskEdit::WantsKey(Word key, TShiftState shift) const {
    if (key == VK_ESCAPE) return IsMasked() && Modified();
    return TCustomEdit::WantsKey(key, shift);
}

void TCustomMaskEdit::ApplyTyping(const MaskTyping& typing) {
    std::string text = typing.EditText();
    bool changed = text != FText;
    FText = text;
    FSelStart = typing.Cursor();
    FSelLength = 0;
    if (changed) {
        SetModified(true);
        PeerUpdate(paText);
        TextChanged();
        Perform(CM_TEXTCHANGED);
    }
    PeerUpdate(paSelection);
}

void TCustomMaskEdit::DefaultKeyPress(TKeyChar& key) {
    if (!IsMasked()) {
        TCustomEdit::DefaultKeyPress(key);
        return;
    }
    if (key == VK_RETURN) {
        if (Modified()) ValidateEdit();
        return;
    }
    if (key == VK_ESCAPE) return;
    if (ReadOnly()) {
        Backend().Beep();
        return;
    }
    MaskTyping typing(FMask, FText, FSelStart);
    if (key == VK_BACK) {
        if (FSelLength > 0)
            typing.ClearRange(FSelStart, FSelStart + FSelLength);
        else if (!typing.Backspace())
            return;
        ApplyTyping(typing);
        return;
    }
    if (key < 32) return;
    if (FSelLength > 0) typing.ClearRange(FSelStart, FSelStart + FSelLength);
    if (!typing.TypeChar(static_cast<char32_t>(key))) {
        Backend().Beep();
        return;
    }
    ApplyTyping(typing);
}

void TCustomMaskEdit::DefaultKeyDown(Word& key, TShiftState shift) {
    if (key == VK_ESCAPE && IsMasked() && Modified()) {
        FText = FEnterText;
        FSelStart = 0;
        FSelLength = 0;
        SetModified(false);
        PeerUpdate(paText);
        TextChanged();
        return;
    }
    if (key == VK_DELETE && IsMasked()) {
        if (ReadOnly()) return;
        MaskTyping typing(FMask, FText, FSelStart);
        if (FSelLength > 0)
            typing.ClearRange(FSelStart, FSelStart + FSelLength);
        else
            typing.Delete();
        ApplyTyping(typing);
        return;
    }
    TCustomEdit::DefaultKeyDown(key, shift);
}

KVRT_PUBLISHED(TMaskEdit) {}

} // namespace rt
