#pragma once
// The spin edit: an edit for a whole number with up and down buttons.
//
// Value reads the text as a number (MinValue when it is not one) and keeps it within MinValue..MaxValue
// when the two differ; setting Value writes the text. Typing accepts digits and signs only; Up and Down
// (keys or buttons) step by Increment; leaving the control puts an out-of-range value back in range.
#include "ui/StdCtrls.h"

namespace rt {

class TSpinEdit : public TCustomEdit {
    KVRT_CLASS(TSpinEdit, TCustomEdit)
public:
    explicit TSpinEdit(TComponent* AOwner);

    int MinValue() const { return FMinValue; }
    void SetMinValue(int v) { FMinValue = v; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int v) { FMaxValue = v; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v; }
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v) { FEditorEnabled = v; }
    int Value() const;
    void SetValue(int v);
    // Clamped to MinValue..MaxValue when those differ.
    int CheckValue(int v) const;

    // The up and down buttons.
    void UpClick();
    void DownClick();

    bool WantsKey(Word key, TShiftState shift) const override;
    void DefaultHandler(TMessage& message) override;

protected:
    virtual bool IsValidChar(TKeyChar key) const;
    void DefaultKeyPress(TKeyChar& key) override;
    void DefaultKeyDown(Word& key, TShiftState shift) override;

private:
    int FMinValue = 0;
    int FMaxValue = 0;
    int FIncrement = 1;
    bool FEditorEnabled = true;
};

} // namespace rt
