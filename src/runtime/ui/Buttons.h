#pragma once
// Speed buttons (no focus, Down state, groups) and bitmap buttons.
#include "ui/StdCtrls.h"

namespace rt {

KVRT_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
KVRT_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)
KVRT_ENUM(TButtonStyle, bsAutoDetect, bsWin31, bsNew)
KVRT_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore,
          bkAll)

// Speed button. With GroupIndex 0 it never stays down; buttons with the same GroupIndex under the same
// parent form a radio group. A click toggles Down before OnClick; clicking a Down button of a group
// without AllowAllUp keeps it down but still fires OnClick. Setting Down in code never fires OnClick, and
// Down := False is ignored without AllowAllUp.
class TSpeedButton : public TGraphicControl {
    KVRT_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v);
    bool Down() const { return FDown; }
    void SetDown(bool v);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* v);
    // Images side by side in the glyph: up, disabled, clicked, down (1 to 4).
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int v);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout v) { FLayout = v; }
    int Margin() const { return FMargin; }
    void SetMargin(int v) { FMargin = v; }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v) { FSpacing = v; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v) { FTransparent = v; }
    TButtonState State() const { return FState; }

    void UserClick() override;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    virtual void GlyphChanged() { PeerUpdate(paState); }

private:
    void UpdateExclusive();
    bool FAllowAllUp = false;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FFlat = false;
    TBitmap* FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FTransparent = true;
    TButtonState FState = bsUp;
};

// Bitmap button: a push button with a glyph and standard kinds (OK, Cancel, ...) that set the caption,
// ModalResult, Default and Cancel. A bkClose button closes its form.
class TBitBtn : public TButton {
    KVRT_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;

    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind v);
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int v);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout v) { FLayout = v; }
    int Margin() const { return FMargin; }
    void SetMargin(int v) { FMargin = v; }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v) { FSpacing = v; }
    TButtonStyle Style() const { return FStyle; }
    void SetStyle(TButtonStyle v) { FStyle = v; }

    void Click() override;

private:
    TBitBtnKind FKind = bkCustom;
    TBitmap* FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    TButtonStyle FStyle = bsAutoDetect;
};

} // namespace rt
