#include "ui/Spin.h"

#include "core/SysUtils.h"

#include <algorithm>

namespace rt {

KVRT_PUBLISHED(TSpinEdit) {
    P.Property("EditorEnabled", &TSpinEdit::EditorEnabled, &TSpinEdit::SetEditorEnabled);
    P.Property("Increment", &TSpinEdit::Increment, &TSpinEdit::SetIncrement);
    P.Property("MaxValue", &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue);
    P.Property("MinValue", &TSpinEdit::MinValue, &TSpinEdit::SetMinValue);
    P.Property("Value", &TSpinEdit::Value, &TSpinEdit::SetValue);
}

TSpinEdit::TSpinEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    FControlStyle.Exclude(csSetCaption);
    FText = "0";
}

int TSpinEdit::CheckValue(int v) const {
    if (FMaxValue != FMinValue)
        v = std::clamp(v, std::min(FMinValue, FMaxValue), std::max(FMinValue, FMaxValue));
    return v;
}

int TSpinEdit::Value() const {
    int v = 0;
    if (!TryStrToInt(GetText(), v)) v = FMinValue;
    return CheckValue(v);
}

void TSpinEdit::SetValue(int v) {
    SetText(IntToStr(CheckValue(v)));
}

void TSpinEdit::UpClick() {
    if (ReadOnly()) {
        Backend().Beep();
        return;
    }
    SetValue(Value() + FIncrement);
    SetModified(true);
}

void TSpinEdit::DownClick() {
    if (ReadOnly()) {
        Backend().Beep();
        return;
    }
    SetValue(Value() - FIncrement);
    SetModified(true);
}

bool TSpinEdit::IsValidChar(TKeyChar key) const {
    return key == '+' || key == '-' || (key >= '0' && key <= '9') || key < 32;
}

void TSpinEdit::DefaultKeyPress(TKeyChar& key) {
    if (!IsValidChar(key) || (!FEditorEnabled && key >= 32)) {
        key = 0;
        Backend().Beep();
        return;
    }
    TCustomEdit::DefaultKeyPress(key);
}

bool TSpinEdit::WantsKey(Word key, TShiftState shift) const {
    return TCustomEdit::WantsKey(key, shift);
}

void TSpinEdit::DefaultKeyDown(Word& key, TShiftState shift) {
    if (key == VK_UP) {
        UpClick();
        return;
    }
    if (key == VK_DOWN) {
        DownClick();
        return;
    }
    TCustomEdit::DefaultKeyDown(key, shift);
}

void TSpinEdit::DefaultHandler(TMessage& m) {
    if (m.Msg == CM_EXIT) {
        int v = 0;
        if (TryStrToInt(GetText(), v) && CheckValue(v) != v) SetValue(v);
    }
    TCustomEdit::DefaultHandler(m);
}

} // namespace rt
