#pragma once
// Speed buttons (no focus, Down state, groups) and bitmap buttons.
#include "ui/StdCtrls.h"

namespace rt {

KVRT_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
KVRT_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)
KVRT_ENUM(TButtonStyle, bsAutoDetect, bsWin31, bsNew)
KVRT_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore,
          bkAll)

// The glyph of a speed or bitmap button and how it is laid out: the images side by side in the bitmap
// (up, disabled, clicked, down: 1 to 4), the layout, margin and spacing.
class TButtonGlyph {
public:
    TButtonGlyph() : FBitmap(new TBitmap) {}
    ~TButtonGlyph() { delete FBitmap; }
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    TBitmap* Bitmap() const { return FBitmap; }
    // Copies the bitmap; a bitmap whose width is a whole multiple (1 to 4) of its height holds that many
    // images.
    void SetBitmap(TBitmap* v);
    int NumGlyphs = 1;
    void SetNumGlyphs(int v);
    TButtonLayout Layout = blGlyphLeft;
    int Margin = -1;
    int Spacing = 4;

private:
    TBitmap* FBitmap;
};

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
    TBitmap* Glyph() const { return FGlyph.Bitmap(); }
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const { return FGlyph.NumGlyphs; }
    void SetNumGlyphs(int v);
    TButtonLayout Layout() const { return FGlyph.Layout; }
    void SetLayout(TButtonLayout v) { FGlyph.Layout = v; }
    int Margin() const { return FGlyph.Margin; }
    void SetMargin(int v) { FGlyph.Margin = v; }
    int Spacing() const { return FGlyph.Spacing; }
    void SetSpacing(int v) { FGlyph.Spacing = v; }
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
    TButtonGlyph FGlyph;
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
    TBitmap* Glyph() const { return FGlyph.Bitmap(); }
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const { return FGlyph.NumGlyphs; }
    void SetNumGlyphs(int v);
    TButtonLayout Layout() const { return FGlyph.Layout; }
    void SetLayout(TButtonLayout v) { FGlyph.Layout = v; }
    int Margin() const { return FGlyph.Margin; }
    void SetMargin(int v) { FGlyph.Margin = v; }
    int Spacing() const { return FGlyph.Spacing; }
    void SetSpacing(int v) { FGlyph.Spacing = v; }
    TButtonStyle Style() const { return FStyle; }
    void SetStyle(TButtonStyle v) { FStyle = v; }

    void Click() override;

private:
    TBitBtnKind FKind = bkCustom;
    TButtonGlyph FGlyph;
    TButtonStyle FStyle = bsAutoDetect;
};

} // namespace rt
