#pragma once
// Page control and tab sheets, list view, tool bar and tool buttons, status bar, animation, progress bar.
#include "ui/Collections.h"
#include "ui/ImgList.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"

#include <functional>
#include <vector>

namespace rt {

class TPageControl;
class TCustomListView;
class TListItems;

KVRT_ENUM(TTabPosition, tpTop, tpBottom, tpLeft, tpRight)
KVRT_ENUM(TTabStyle, tsTabs, tsButtons, tsFlatButtons)

KVRT_EVENT(TTabChangingEvent, void(TObject* Sender, bool& AllowChange))
KVRT_EVENT(TDrawTabEvent, void(TCustomControl* Control, int TabIndex, const TRect& Rect, bool Active))

// A page of a page control. Only the active page is Visible; TabVisible hides the tab.
class TTabSheet : public TWinControl {
    KVRT_CLASS(TTabSheet, TWinControl)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* v);
    int PageIndex() const;
    void SetPageIndex(int v);
    // The index among the visible tabs, or -1.
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool v) { FHighlighted = v; }

    void SetParent(TWinControl* parent) override;
    void SetParentComponent(TComponent* parent) override;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = -1;
    bool FHighlighted = false;
};

// Page control. SelectNextPage and a click on a tab run OnChanging (which may refuse), move the focus into
// the new page when it was in the old one, then OnChange; setting ActivePage moves the focus the same
// way but fires neither event.
class TPageControl : public TCustomControl {
    KVRT_CLASS(TPageControl, TCustomControl)
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int index) const;
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }
    void SetActivePageIndex(int v);
    // The index of the active page among the visible tabs.
    int TabIndex() const { return FActivePage ? FActivePage->TabIndex() : -1; }
    void SetTabIndex(int v);
    // The next page after current (wrapping), skipping hidden tabs with checkTabVisible; null when no
    // other page qualifies.
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    void SelectNextPage(bool goForward, bool checkTabVisible = true);
    // A page change asked for by the user (tab click, keys): OnChanging, the change, OnChange. Answers
    // whether the page changed.
    bool ChangePageByUser(TTabSheet* page);

    TCustomImageList* Images() const;
    void SetImages(TCustomImageList* v);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool v) { FMultiLine = v; }
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool v) { FOwnerDraw = v; }
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool v) { FHotTrack = v; }
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition v) { FTabPosition = v; }
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle v) { FStyle = v; }
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int v) { FTabHeight = v; }
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int v) { FTabWidth = v; }

    void AdjustClientRect(TRect& rect) const override;
    bool WantsKey(Word key, TShiftState shift) const override;
    void Loaded() override;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TDrawTabEvent OnDrawTab;

protected:
    virtual bool CanChange();
    virtual void Change();
    void DefaultKeyDown(Word& key, TShiftState shift) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void ChangeActivePage(TTabSheet* page);
    void ShowPage(TTabSheet* page, bool visible);

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    TComponentPtr<TCustomImageList> FImages;
    bool FMultiLine = false;
    bool FOwnerDraw = false;
    bool FHotTrack = false;
    TTabPosition FTabPosition = tpTop;
    TTabStyle FStyle = tsTabs;
    int FTabHeight = 0;
    int FTabWidth = 0;
};

// --- list view ---

KVRT_ENUM(TViewStyle, vsIcon, vsSmallIcon, vsList, vsReport)
KVRT_ENUM(TSortType, stNone, stData, stText, stBoth)
KVRT_ENUM(TItemChange, ctText, ctImage, ctState)
constexpr int ColumnHeaderWidth = -2;
constexpr int ColumnTextWidth = -1;

class TListItem;
class TListColumn;

KVRT_EVENT(TLVChangeEvent, void(TObject* Sender, TListItem* Item, TItemChange Change))
KVRT_EVENT(TLVChangingEvent, void(TObject* Sender, TListItem* Item, TItemChange Change, bool& AllowChange))
KVRT_EVENT(TLVSelectItemEvent, void(TObject* Sender, TListItem* Item, bool Selected))
KVRT_EVENT(TLVCompareEvent, void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare))
KVRT_EVENT(TLVColumnClickEvent, void(TObject* Sender, TListColumn* Column))
KVRT_EVENT(TLVEditedEvent, void(TObject* Sender, TListItem* Item, std::string& S))
KVRT_EVENT(TLVEditingEvent, void(TObject* Sender, TListItem* Item, bool& AllowEdit))
KVRT_EVENT(TLVDeletedEvent, void(TObject* Sender, TListItem* Item))

class TListColumn : public TCollectionItem {
    KVRT_CLASS(TListColumn, TCollectionItem)
public:
    explicit TListColumn(TCollection* collection);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int v) { FMaxWidth = v; }
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int v) { FMinWidth = v; }
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    // Pixels; ColumnHeaderWidth (-2) sizes the column to its caption, ColumnTextWidth (-1) to its texts.
    int Width() const { return FWidth; }
    void SetWidth(int v);
    std::string DisplayName() const override { return FCaption; }

private:
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = false;
    std::string FCaption;
    int FImageIndex = -1;
    int FMaxWidth = 0;
    int FMinWidth = 0;
    int FTag = 0;
    int FWidth = 50;
};

class TListColumns : public TOwnedCollection<TListColumn> {
    KVRT_CLASS(TListColumns, TOwnedCollection<TListColumn>)
public:
    explicit TListColumns(TCustomListView* owner);
    TCustomListView* ListView() const;
};

class TListItem : public TPersistent {
    KVRT_CLASS(TListItem, TPersistent)
public:
    explicit TListItem(TListItems* owner);
    ~TListItem() override;
    void Assign(const TPersistent* source) override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    TStringsObject* SubItems() const { return FSubItems; }
    void SetSubItems(TStringsObject* v) { FSubItems->Assign(v); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int v) { FStateIndex = v; }
    void* Data() const { return FData; }
    void SetData(void* v) { FData = v; }
    bool Selected() const { return FSelected; }
    void SetSelected(bool v);
    bool Focused() const { return FFocused; }
    void SetFocused(bool v);
    bool Checked() const { return FChecked; }
    void SetChecked(bool v) { FChecked = v; }
    int Index() const;
    TListItems* Owner() const { return FOwner; }
    TCustomListView* ListView() const;
    void Delete();
    void MakeVisible(bool) {}

private:
    friend class TListItems;
    friend class TCustomListView;
    TListItems* FOwner;
    std::string FCaption;
    TStringsObject* FSubItems;
    int FImageIndex = -1;
    int FStateIndex = -1;
    void* FData = nullptr;
    bool FSelected = false;
    bool FFocused = false;
    bool FChecked = false;
};

class TListItems : public TPersistent {
    KVRT_CLASS(TListItems, TPersistent)
public:
    explicit TListItems(TCustomListView* owner);
    ~TListItems() override;
    void Assign(const TPersistent* source) override;

    int Count() const { return static_cast<int>(FItems.size()); }
    TListItem* Item(int index) const;
    TListItem* operator[](int index) const { return Item(index); }
    TListItem* Add();
    TListItem* Insert(int index);
    void Delete(int index);
    void Clear();
    int IndexOf(const TListItem* item) const;
    void BeginUpdate();
    void EndUpdate();
    TCustomListView* Owner() const { return FOwner; }

private:
    friend class TListItem;
    friend class TCustomListView;
    TCustomListView* FOwner;
    std::vector<TListItem*> FItems;
    int FUpdateCount = 0;
};

class TCustomListView : public TWinControl {
    KVRT_CLASS(TCustomListView, TWinControl)
public:
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;

    TListColumns* Columns() const { return FColumns; }
    void SetColumns(TListColumns* v) { FColumns->Assign(v); }
    TListItems* Items() const { return FItems; }
    void SetItems(TListItems* v) { FItems->Assign(v); }
    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle v);
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType v);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v) { FMultiSelect = v; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool v) { FRowSelect = v; }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v) { FHideSelection = v; }
    bool ShowColumnHeaders() const { return FShowColumnHeaders; }
    void SetShowColumnHeaders(bool v) { FShowColumnHeaders = v; }
    bool ColumnClick() const { return FColumnClick; }
    void SetColumnClick(bool v) { FColumnClick = v; }
    bool Checkboxes() const { return FCheckboxes; }
    void SetCheckboxes(bool v) { FCheckboxes = v; }
    bool GridLines() const { return FGridLines; }
    void SetGridLines(bool v) { FGridLines = v; }
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool v) { FHotTrack = v; }
    int AllocBy() const { return FAllocBy; }
    void SetAllocBy(int v) { FAllocBy = v; }
    TCustomImageList* LargeImages() const;
    void SetLargeImages(TCustomImageList* v);
    TCustomImageList* SmallImages() const;
    void SetSmallImages(TCustomImageList* v);
    TCustomImageList* StateImages() const;
    void SetStateImages(TCustomImageList* v);

    // The first selected item, or null; setting it selects only that item.
    TListItem* Selected() const;
    void SetSelected(TListItem* item);
    int ItemIndex() const;
    void SetItemIndex(int v);
    TListItem* ItemFocused() const;
    void SetItemFocused(TListItem* item);
    int SelCount() const;
    void ClearSelection();
    void SelectAll();
    void Clear() { FItems->Clear(); }
    TListItem* FindCaption(int startIndex, const std::string& value, bool partial, bool inclusive,
                           bool wrap) const;

    // Sorting: OnCompare when assigned, else captions (stText) or data pointers (stData).
    bool AlphaSort();
    using TCompareFunc = std::function<int(TListItem*, TListItem*)>;
    bool CustomSort(const TCompareFunc& compare);

    // The user edits an item's caption: OnEditing may refuse, OnEdited may change the text.
    bool EditCaption(TListItem* item, const std::string& text);
    // The user clicks a column header (OnColumnClick when ColumnClick is on).
    void ClickColumn(int index);
    // The user clicks an item: focus, selection, OnClick.
    void ChooseItem(int index);

    bool WantsKey(Word key, TShiftState shift) const override;

    TLVChangeEvent OnChange;
    TLVChangingEvent OnChanging;
    TLVSelectItemEvent OnSelectItem;
    TLVCompareEvent OnCompare;
    TLVColumnClickEvent OnColumnClick;
    TLVEditedEvent OnEdited;
    TLVEditingEvent OnEditing;
    TLVDeletedEvent OnDeletion;
    TLVDeletedEvent OnInsert;

protected:
    void DefaultKeyDown(Word& key, TShiftState shift) override;

private:
    friend class TListItem;
    friend class TListItems;
    friend class TListColumns;
    void ItemSelected(TListItem* item, bool selected);
    void ItemChanged(TListItem* item, TItemChange change);
    void SortIfNeeded();
    int CompareItems(TListItem* a, TListItem* b);
    void ColumnsChanged();

    TListColumns* FColumns;
    TListItems* FItems;
    TViewStyle FViewStyle = vsIcon;
    TSortType FSortType = stNone;
    bool FMultiSelect = false;
    bool FReadOnly = false;
    bool FRowSelect = false;
    bool FHideSelection = true;
    bool FShowColumnHeaders = true;
    bool FColumnClick = true;
    bool FCheckboxes = false;
    bool FGridLines = false;
    bool FHotTrack = false;
    int FAllocBy = 0;
    bool FSorting = false;
    TComponentPtr<TCustomImageList> FLargeImages;
    TComponentPtr<TCustomImageList> FSmallImages;
    TComponentPtr<TCustomImageList> FStateImages;
};

class TListView : public TCustomListView {
    KVRT_CLASS(TListView, TCustomListView)
public:
    explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
};

// --- tool bar ---

KVRT_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider)
KVRT_ENUM(TEdgeBorder, ebLeft, ebTop, ebRight, ebBottom)
KVRT_SET(TEdgeBorders, TEdgeBorder)
KVRT_ENUM(TEdgeStyle, esNone, esRaised, esLowered)

class TToolBar;

class TToolButton : public TGraphicControl {
    KVRT_CLASS(TToolButton, TGraphicControl)
public:
    explicit TToolButton(TComponent* AOwner);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v) { FAllowAllUp = v; }
    bool Down() const { return FDown; }
    void SetDown(bool v);
    TPopupMenu* DropdownMenu() const;
    void SetDropdownMenu(TPopupMenu* v);
    bool Grouped() const { return FGrouped; }
    void SetGrouped(bool v) { FGrouped = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    bool Indeterminate() const { return FIndeterminate; }
    void SetIndeterminate(bool v) { FIndeterminate = v; }
    bool Marked() const { return FMarked; }
    void SetMarked(bool v) { FMarked = v; }
    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle v);
    bool Wrap() const { return FWrap; }
    void SetWrap(bool v) { FWrap = v; }
    int Index() const;
    TToolBar* ToolBar() const;

    // A check button toggles (a grouped one stays down unless AllowAllUp), then OnClick.
    void UserClick() override;
    // The arrow of a drop-down button: shows DropdownMenu below the button.
    void ClickDropDown();

    void SetParent(TWinControl* parent) override;

private:
    bool FAllowAllUp = false;
    bool FDown = false;
    TComponentPtr<TPopupMenu> FDropdownMenu;
    bool FGrouped = false;
    int FImageIndex = -1;
    bool FIndeterminate = false;
    bool FMarked = false;
    TToolButtonStyle FStyle = tbsButton;
    bool FWrap = false;
};

class TToolBar : public TWinControl {
    KVRT_CLASS(TToolBar, TWinControl)
public:
    explicit TToolBar(TComponent* AOwner);
    int ButtonCount() const;
    TToolButton* Buttons(int index) const;
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int v);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v) { FFlat = v; }
    TCustomImageList* Images() const;
    void SetImages(TCustomImageList* v);
    TCustomImageList* DisabledImages() const;
    void SetDisabledImages(TCustomImageList* v);
    TCustomImageList* HotImages() const;
    void SetHotImages(TCustomImageList* v);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool v) { FShowCaptions = v; }
    bool List() const { return FList; }
    void SetList(bool v) { FList = v; }
    bool Wrapable() const { return FWrapable; }
    void SetWrapable(bool v) { FWrapable = v; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v) { FTransparent = v; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    int Indent() const { return FIndent; }
    void SetIndent(int v) { FIndent = v; }
    TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
    void SetEdgeBorders(TEdgeBorders v) { FEdgeBorders = v; }
    TEdgeStyle EdgeInner() const { return FEdgeInner; }
    void SetEdgeInner(TEdgeStyle v) { FEdgeInner = v; }
    TEdgeStyle EdgeOuter() const { return FEdgeOuter; }
    void SetEdgeOuter(TEdgeStyle v) { FEdgeOuter = v; }
    // Places the buttons left to right (separators 8 pixels wide).
    void ArrangeButtons();
    void Loaded() override;

private:
    int FButtonHeight = 22;
    int FButtonWidth = 23;
    bool FFlat = false;
    TComponentPtr<TCustomImageList> FImages;
    TComponentPtr<TCustomImageList> FDisabledImages;
    TComponentPtr<TCustomImageList> FHotImages;
    bool FShowCaptions = false;
    bool FList = false;
    bool FWrapable = true;
    bool FTransparent = false;
    bool FAutoSize = false;
    int FIndent = 0;
    TEdgeBorders FEdgeBorders{ebTop};
    TEdgeStyle FEdgeInner = esRaised;
    TEdgeStyle FEdgeOuter = esLowered;
};

// --- status bar ---

KVRT_ENUM(TStatusPanelStyle, psText, psOwnerDraw)
KVRT_ENUM(TStatusPanelBevel, pbNone, pbLowered, pbRaised)

class TStatusPanel : public TCollectionItem {
    KVRT_CLASS(TStatusPanel, TCollectionItem)
public:
    explicit TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel v) { FBevel = v; }
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle v) { FStyle = v; }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& v);
    int Width() const { return FWidth; }
    void SetWidth(int v);
    std::string DisplayName() const override { return FText; }

private:
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
    TStatusPanelStyle FStyle = psText;
    std::string FText;
    int FWidth = 50;
};

class TStatusPanels : public TOwnedCollection<TStatusPanel> {
    KVRT_CLASS(TStatusPanels, TOwnedCollection<TStatusPanel>)
public:
    explicit TStatusPanels(TPersistent* owner) : TOwnedCollection<TStatusPanel>(owner) {}
};

class TStatusBar : public TWinControl {
    KVRT_CLASS(TStatusBar, TWinControl)
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;
    TStatusPanels* Panels() const { return FPanels; }
    void SetPanels(TStatusPanels* v) { FPanels->Assign(v); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool v);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& v);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool v) { FSizeGrip = v; }
    bool AutoHint() const { return FAutoHint; }
    void SetAutoHint(bool v) { FAutoHint = v; }

private:
    TStatusPanels* FPanels;
    bool FSimplePanel = false;
    std::string FSimpleText;
    bool FSizeGrip = true;
    bool FAutoHint = false;
};

// --- animation, progress ---

KVRT_ENUM(TCommonAVI, aviNone, aviFindFolder, aviFindFile, aviFindComputer, aviCopyFiles, aviCopyFile,
          aviRecycleFile, aviEmptyRecycle, aviDeleteFile)

// Animation control. Headless, it plays nothing but keeps the state: the clip, the frame range and
// whether it runs; Active fires OnStart / OnStop.
class TAnimate : public TWinControl {
    KVRT_CLASS(TAnimate, TWinControl)
public:
    explicit TAnimate(TComponent* AOwner);
    bool Active() const { return FActive; }
    void SetActive(bool v);
    bool Center() const { return FCenter; }
    void SetCenter(bool v) { FCenter = v; }
    TCommonAVI CommonAVI() const { return FCommonAVI; }
    void SetCommonAVI(TCommonAVI v);
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& v);
    bool Open() const { return FCommonAVI != aviNone || !FFileName.empty(); }
    int FrameCount() const { return Open() ? 30 : 0; }
    int Repetitions() const { return FRepetitions; }
    void SetRepetitions(int v) { FRepetitions = v; }
    int StartFrame() const { return FStartFrame; }
    void SetStartFrame(int v) { FStartFrame = v; }
    int StopFrame() const { return FStopFrame; }
    void SetStopFrame(int v) { FStopFrame = v; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v) { FTransparent = v; }
    void Play(int fromFrame, int toFrame, int count);
    void Stop() { SetActive(false); }
    void Reset();
    void Seek(int frame) { FStartFrame = frame; }

    TNotifyEvent OnOpen;
    TNotifyEvent OnClose;
    TNotifyEvent OnStart;
    TNotifyEvent OnStop;

private:
    bool FActive = false;
    bool FCenter = true;
    TCommonAVI FCommonAVI = aviNone;
    std::string FFileName;
    int FRepetitions = 0;
    int FStartFrame = 1;
    int FStopFrame = 0;
    bool FTransparent = true;
};

class TProgressBar : public TWinControl {
    KVRT_CLASS(TProgressBar, TWinControl)
public:
    explicit TProgressBar(TComponent* AOwner);
    int Min() const { return FMin; }
    void SetMin(int v);
    int Max() const { return FMax; }
    void SetMax(int v);
    int Position() const { return FPosition; }
    void SetPosition(int v);
    int Step() const { return FStep; }
    void SetStep(int v) { FStep = v; }
    void StepIt() { SetPosition(FPosition + FStep); }
    void StepBy(int delta) { SetPosition(FPosition + delta); }

private:
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
};

} // namespace rt
