#include "ui/ExtCtrls.h"

#include <algorithm>

namespace rt {

// --- TCustomPanel ---

KVRT_PUBLISHED(TCustomPanel) {
    P.Property("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment);
    P.Property("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner);
    P.Property("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter);
    P.Property("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth);
    P.Property("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle,
               TypeInfo_TBorderStyle());
    P.Property("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth);
    P.Property("Caption", &TCustomPanel::Caption, &TCustomPanel::SetCaption);
    P.Property("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint);
    P.Property("Locked", &TCustomPanel::Locked, &TCustomPanel::SetLocked);
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 185, 41);
    FControlStyle.Include(csAcceptsControls);
}

void TCustomPanel::SetBevelInner(TBevelCut v) {
    FBevelInner = v;
    Realign();
}
void TCustomPanel::SetBevelOuter(TBevelCut v) {
    FBevelOuter = v;
    Realign();
}
void TCustomPanel::SetBevelWidth(int v) {
    FBevelWidth = std::max(1, v);
    Realign();
}
void TCustomPanel::SetBorderWidth(int v) {
    FBorderWidth = std::max(0, v);
    Realign();
}

void TCustomPanel::AdjustClientRect(TRect& rect) const {
    int inset = FBorderWidth + (FBevelOuter != bvNone ? FBevelWidth : 0) +
                (FBevelInner != bvNone ? FBevelWidth : 0) + (FBorderStyle == bsSingle ? 1 : 0);
    rect.Left += inset;
    rect.Top += inset;
    rect.Right -= inset;
    rect.Bottom -= inset;
}

KVRT_PUBLISHED(TPanel) {}

// --- TCustomRadioGroup ---

KVRT_PUBLISHED(TCustomRadioGroup) {
    P.Property("Columns", &TCustomRadioGroup::Columns, &TCustomRadioGroup::SetColumns);
    P.Property("ItemIndex", &TCustomRadioGroup::ItemIndex, &TCustomRadioGroup::SetItemIndex);
    P.Property("Items", &TCustomRadioGroup::Items, &TCustomRadioGroup::SetItems, TypeInfo_TStrings());
}

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(new TStringsObject) {
    FItems->OnChange = [this](TStringList&) { ItemsChanged(); };
}

TCustomRadioGroup::~TCustomRadioGroup() {
    FItems->OnChange = nullptr;
    delete FItems;
}

TRadioButton* TCustomRadioGroup::Buttons(int index) const {
    if (index < 0 || index >= ButtonCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FButtons[static_cast<size_t>(index)];
}

TRadioButton* TCustomRadioGroup::CreateButton() {
    return new TRadioButton(this);
}

void TCustomRadioGroup::ItemsChanged() {
    if (IsLoading()) return;
    FUpdating = true;
    try {
        while (static_cast<int>(FButtons.size()) > FItems->Count()) {
            TRadioButton* b = FButtons.back();
            FButtons.pop_back();
            b->Free();
        }
        while (static_cast<int>(FButtons.size()) < FItems->Count()) {
            TRadioButton* b = CreateButton();
            b->SetParent(this);
            b->OnClick = Handler<&TCustomRadioGroup::ButtonClicked>(this);
            FButtons.push_back(b);
        }
        for (size_t i = 0; i < FButtons.size(); ++i) {
            FButtons[i]->SetCaption(FItems->Get(static_cast<int>(i)));
            FButtons[i]->SetChecked(static_cast<int>(i) == FItemIndex);
        }
        if (FItemIndex >= FItems->Count()) FItemIndex = -1;
        ArrangeButtons();
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
    PeerUpdate(paItems);
}

void TCustomRadioGroup::ArrangeButtons() {
    if (FButtons.empty()) return;
    TRect r = ClientRect();
    AdjustClientRect(r);
    int columns = std::max(1, FColumns);
    int rows = (static_cast<int>(FButtons.size()) + columns - 1) / columns;
    int w = std::max(0, r.Width() / columns);
    int h = std::max(1, r.Height() / std::max(1, rows));
    for (size_t i = 0; i < FButtons.size(); ++i) {
        int col = static_cast<int>(i) / rows, row = static_cast<int>(i) % rows;
        FButtons[i]->SetBounds(r.Left + 4 + col * w, r.Top + row * h, std::max(0, w - 8), std::min(h, 17));
    }
}

void TCustomRadioGroup::SetColumns(int v) {
    FColumns = std::clamp(v, 1, 16);
    ArrangeButtons();
}

void TCustomRadioGroup::SetItemIndex(int v) {
    if (IsLoading()) {
        FItemIndex = v;
        return;
    }
    if (v < -1 || v >= FItems->Count()) v = -1;
    if (v == FItemIndex) return;
    FItemIndex = v;
    FUpdating = true;
    try {
        for (size_t i = 0; i < FButtons.size(); ++i) FButtons[i]->SetChecked(static_cast<int>(i) == v);
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
    PeerUpdate(paSelection);
    Click();
}

void TCustomRadioGroup::ButtonClicked(TObject* sender) {
    if (FUpdating) return;
    auto it = std::find(FButtons.begin(), FButtons.end(), sender);
    if (it == FButtons.end()) return;
    int index = static_cast<int>(it - FButtons.begin());
    if (index == FItemIndex) return;
    FItemIndex = index;
    PeerUpdate(paSelection);
    Click();
}

void TCustomRadioGroup::Loaded() {
    int index = FItemIndex;
    TCustomGroupBox::Loaded();
    FItemIndex = index < FItems->Count() ? index : -1;
    ItemsChanged();
}

KVRT_PUBLISHED(TRadioGroup) {}

// --- TSplitter ---

KVRT_PUBLISHED(TSplitter) {
    P.Property("AutoSnap", &TSplitter::AutoSnap, &TSplitter::SetAutoSnap);
    P.Property("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled);
    P.Property("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize);
    P.Property("ResizeStyle", &TSplitter::ResizeStyle, &TSplitter::SetResizeStyle);
    P.Property("OnMoved", &TSplitter::OnMoved, &TSplitter::OnMoved);
}

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
}

TControl* TSplitter::FindSizedControl() const {
    if (!Parent()) return nullptr;
    // The control aligned the same way just before the splitter.
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* c = Parent()->Controls(i);
        if (c == this || c->Align() != Align() || !c->Visible()) continue;
        switch (Align()) {
        case alLeft:
            if (c->Left() + c->Width() == Left()) return c;
            break;
        case alRight:
            if (c->Left() == Left() + Width()) return c;
            break;
        case alTop:
            if (c->Top() + c->Height() == Top()) return c;
            break;
        case alBottom:
            if (c->Top() == Top() + Height()) return c;
            break;
        default:
            break;
        }
    }
    return nullptr;
}

void TSplitter::MoveBy(int delta) {
    TControl* c = FindSizedControl();
    if (!c) return;
    switch (Align()) {
    case alLeft:
        c->SetWidth(std::max(FMinSize, c->Width() + delta));
        break;
    case alRight:
        c->SetWidth(std::max(FMinSize, c->Width() - delta));
        break;
    case alTop:
        c->SetHeight(std::max(FMinSize, c->Height() + delta));
        break;
    case alBottom:
        c->SetHeight(std::max(FMinSize, c->Height() - delta));
        break;
    default:
        return;
    }
    OnMoved(this);
}

// --- TBevel, TImage ---

KVRT_PUBLISHED(TBevel) {
    P.Property("Shape", &TBevel::Shape, &TBevel::SetShape);
    P.Property("Style", &TBevel::Style, &TBevel::SetStyle);
}

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 50, 50);
}

KVRT_PUBLISHED(TImage) {
    P.Property("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize);
    P.Property("Center", &TImage::Center, &TImage::SetCenter);
    P.Property("Picture", &TImage::Picture, &TImage::SetPicture);
    P.Property("Stretch", &TImage::Stretch, &TImage::SetStretch);
    P.Property("Transparent", &TImage::Transparent, &TImage::SetTransparent);
}

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(new TPicture) {
    SetBounds(0, 0, 105, 105);
}
TImage::~TImage() {
    delete FPicture;
}

} // namespace rt
