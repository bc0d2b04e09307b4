#pragma once
// Panels, radio groups, splitters, bevels and images.
#include "ui/StdCtrls.h"

#include <vector>

namespace rt {

KVRT_ENUM(TResizeStyle, rsNone, rsLine, rsUpdate, rsPattern)
KVRT_ENUM(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)
KVRT_ENUM(TBevelStyle, bsLowered, bsRaised)

class TCustomPanel : public TCustomControl {
    KVRT_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int v);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle v) { FBorderStyle = v; }
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool v) { FFullRepaint = v; }
    bool Locked() const { return FLocked; }
    void SetLocked(bool v) { FLocked = v; }
    void AdjustClientRect(TRect& rect) const override;

private:
    TAlignment FAlignment = taCenter;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TFormBorderStyle FBorderStyle = bsNone;
    bool FFullRepaint = true;
    bool FLocked = false;
};

class TPanel : public TCustomPanel {
    KVRT_CLASS(TPanel, TCustomPanel)
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// A group box of radio buttons, one per item. ItemIndex set in code (after loading) checks the button
// and fires OnClick, as a click on a button does.
class TCustomRadioGroup : public TCustomGroupBox {
    KVRT_CLASS(TCustomRadioGroup, TCustomGroupBox)
public:
    explicit TCustomRadioGroup(TComponent* AOwner);
    ~TCustomRadioGroup() override;
    TStringsObject* Items() const { return FItems; }
    void SetItems(TStringsObject* v) { FItems->Assign(v); }
    int ItemIndex() const { return FItemIndex; }
    virtual void SetItemIndex(int v);
    int Columns() const { return FColumns; }
    void SetColumns(int v);
    int ButtonCount() const { return static_cast<int>(FButtons.size()); }
    TRadioButton* Buttons(int index) const;
    void Loaded() override;

protected:
    // Creates the button of one item; the module's radio group makes its own kind.
    virtual TRadioButton* CreateButton();
    void ArrangeButtons();

private:
    void ItemsChanged();
    void ButtonClicked(TObject* sender);
    TStringsObject* FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};

class TRadioGroup : public TCustomRadioGroup {
    KVRT_CLASS(TRadioGroup, TCustomRadioGroup)
public:
    explicit TRadioGroup(TComponent* AOwner) : TCustomRadioGroup(AOwner) {}
};

class TSplitter : public TGraphicControl {
    KVRT_CLASS(TSplitter, TGraphicControl)
public:
    explicit TSplitter(TComponent* AOwner);
    bool AutoSnap() const { return FAutoSnap; }
    void SetAutoSnap(bool v) { FAutoSnap = v; }
    bool Beveled() const { return FBeveled; }
    void SetBeveled(bool v) { FBeveled = v; }
    int MinSize() const { return FMinSize; }
    void SetMinSize(int v) { FMinSize = v; }
    TResizeStyle ResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle v) { FResizeStyle = v; }
    // Moves the splitter by delta pixels as a drag would: the control it sizes grows or shrinks (never
    // below MinSize), then OnMoved.
    void MoveBy(int delta);
    TNotifyEvent OnMoved;

private:
    TControl* FindSizedControl() const;
    bool FAutoSnap = true;
    bool FBeveled = false;
    int FMinSize = 30;
    TResizeStyle FResizeStyle = rsPattern;
};

class TBevel : public TGraphicControl {
    KVRT_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape v) { FShape = v; }
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle v) { FStyle = v; }

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

class TImage : public TGraphicControl {
    KVRT_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    TPicture* Picture() const { return FPicture; }
    void SetPicture(TPicture* v) { FPicture->Assign(v); }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    bool Center() const { return FCenter; }
    void SetCenter(bool v) { FCenter = v; }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v) { FStretch = v; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v) { FTransparent = v; }

private:
    TPicture* FPicture;
    bool FAutoSize = false;
    bool FCenter = false;
    bool FStretch = false;
    bool FTransparent = false;
};

} // namespace rt
