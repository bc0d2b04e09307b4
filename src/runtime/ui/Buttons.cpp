#include "ui/Buttons.h"

#include "ui/Forms.h"

#include <algorithm>

namespace rt {

// --- TButtonGlyph ---

void TButtonGlyph::SetBitmap(TBitmap* v) {
    FBitmap->Assign(v);
    if (v && !v->Empty() && v->Width() % v->Height() == 0) {
        const int n = v->Width() / v->Height();
        if (n >= 1 && n <= 4) NumGlyphs = n;
    }
}

void TButtonGlyph::SetNumGlyphs(int v) {
    NumGlyphs = std::clamp(v, 1, 4);
}

// --- TSpeedButton ---

KVRT_PUBLISHED(TSpeedButton) {
    P.Property("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp);
    P.Property("Caption", &TSpeedButton::Caption, &TSpeedButton::SetCaption);
    P.Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown);
    P.Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat);
    P.Property("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
    P.Property("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex);
    P.Property("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout);
    P.Property("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin);
    P.Property("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs);
    P.Property("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing);
    P.Property("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent);
}

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 23, 22);
    FControlStyle.Exclude(csSetCaption);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGlyph(TBitmap* v) {
    FGlyph.SetBitmap(v);
    GlyphChanged();
}

void TSpeedButton::SetNumGlyphs(int v) {
    FGlyph.SetNumGlyphs(v);
    GlyphChanged();
}

void TSpeedButton::SetFlat(bool v) {
    FFlat = v;
    PeerUpdate(paState);
}

void TSpeedButton::SetDown(bool v) {
    if (FGroupIndex == 0) v = false;
    if (v == FDown) return;
    if (FDown && !v && !FAllowAllUp) return;
    FDown = v;
    FState = v ? bsExclusive : bsUp;
    if (v) UpdateExclusive();
    PeerUpdate(paChecked);
}

void TSpeedButton::SetGroupIndex(int v) {
    if (v == FGroupIndex) return;
    FGroupIndex = v;
    if (FGroupIndex == 0) {
        FDown = false;
        FState = bsUp;
    }
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
    if (v == FAllowAllUp) return;
    FAllowAllUp = v;
    // The group shares the setting.
    if (FGroupIndex != 0 && Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
                b && b != this && b->FGroupIndex == FGroupIndex)
                b->FAllowAllUp = v;
}

void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !Parent() || !FDown) return;
    for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
            b && b != this && b->FGroupIndex == FGroupIndex && b->FDown) {
            b->FDown = false;
            b->FState = bsUp;
            b->PeerUpdate(paChecked);
        }
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && Enabled()) FState = bsDown;
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::UserClick() {
    if (!Enabled()) return;
    if (FGroupIndex != 0) {
        if (!FDown)
            SetDown(true);
        else if (FAllowAllUp)
            SetDown(false);
    }
    FState = FDown ? bsExclusive : bsUp;
    Click();
}

// --- TBitBtn ---

namespace {
struct TKindDefaults {
    const char* Caption;
    int Result;
};
TKindDefaults KindDefaults(TBitBtnKind k) {
    switch (k) {
    case bkOK:
        return {"OK", mrOk};
    case bkCancel:
        return {"Cancel", mrCancel};
    case bkHelp:
        return {"&Help", mrNone};
    case bkYes:
        return {"&Yes", mrYes};
    case bkNo:
        return {"&No", mrNo};
    case bkClose:
        return {"&Close", mrNone};
    case bkAbort:
        return {"Abort", mrAbort};
    case bkRetry:
        return {"&Retry", mrRetry};
    case bkIgnore:
        return {"&Ignore", mrIgnore};
    case bkAll:
        return {"&All", mrAll};
    case bkCustom:
        break;
    }
    return {"", mrNone};
}
} // namespace

KVRT_PUBLISHED(TBitBtn) {
    P.Property("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
    P.Property("Kind", &TBitBtn::Kind, &TBitBtn::SetKind);
    P.Property("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout);
    P.Property("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin);
    P.Property("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs);
    P.Property("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing);
    P.Property("Style", &TBitBtn::Style, &TBitBtn::SetStyle);
}

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {}
TBitBtn::~TBitBtn() = default;

void TBitBtn::SetKind(TBitBtnKind v) {
    if (v == FKind) return;
    FKind = v;
    if (v == bkCustom) return;
    TKindDefaults d = KindDefaults(v);
    SetDefault(v == bkOK || v == bkYes);
    SetCancel(v == bkCancel || v == bkNo);
    // A resource that gives its own caption keeps it.
    if (!IsLoading() || Caption().empty()) SetCaption(d.Caption);
    SetModalResult(d.Result);
}

void TBitBtn::SetGlyph(TBitmap* v) {
    FGlyph.SetBitmap(v);
    PeerUpdate(paState);
}

void TBitBtn::SetNumGlyphs(int v) {
    FGlyph.SetNumGlyphs(v);
    PeerUpdate(paState);
}

void TBitBtn::Click() {
    if (FKind == bkClose) {
        if (TCustomForm* form = GetParentForm(this)) {
            TControl::Click();
            form->Close();
            return;
        }
    }
    TButton::Click();
}

} // namespace rt
