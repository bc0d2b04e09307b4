// Behaviour of the standard controls that the forms rely on.
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/Grids.h"
#include "ui/Input.h"
#include "ui/Spin.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

// A form whose handlers count events by sender name.
class TfrmCtl : public TForm {
    KVRT_CLASS(TfrmCtl, TForm)
public:
    explicit TfrmCtl(TComponent* AOwner) : TForm(AOwner) { SetName("frmCtl"); }
    std::string Log;
    void Note(TObject* s, const char* what) { Log += static_cast<TComponent*>(s)->Name() + "." + what + " "; }
    void Clicked(TObject* s) { Note(s, "Click"); }
    void Changed(TObject* s) { Note(s, "Change"); }
    void Selected(TObject* s) { Note(s, "Select"); }
    template <class T> T* Add(const char* name, TWinControl* parent = nullptr) {
        auto* c = new T(this);
        c->SetName(name);
        c->SetParent(parent ? parent : static_cast<TWinControl*>(this));
        c->OnClick = Handler<&TfrmCtl::Clicked>(this);
        return c;
    }
};
KVRT_PUBLISHED(TfrmCtl) {}

class Controls : public ::testing::Test {
protected:
    void SetUp() override { form.reset(New<TfrmCtl>(nullptr)); }
    TOwnedPtr<TfrmCtl> form;
};

TEST_F(Controls, CheckBoxFiresOnClickWhenTheStateChanges) {
    auto* chk = form->Add<TCheckBox>("chk");
    chk->SetChecked(true);
    chk->SetChecked(true);
    EXPECT_EQ(form->Log, "chk.Click ");
    chk->SetAllowGrayed(true);
    form->Show();
    input::Click(chk); // checked -> unchecked
    input::Click(chk); // unchecked -> grayed
    EXPECT_EQ(chk->State(), cbGrayed);
    input::Check(chk, true);
    EXPECT_EQ(chk->State(), cbChecked);
}

TEST_F(Controls, RadioButtonUnchecksItsSiblingsOnly) {
    auto* group = form->Add<TGroupBox>("grp");
    auto* r1 = form->Add<TRadioButton>("r1", group);
    auto* r2 = form->Add<TRadioButton>("r2", group);
    auto* other = form->Add<TRadioButton>("other");
    other->SetChecked(true);
    r1->SetChecked(true);
    form->Log.clear();
    r2->SetChecked(true);
    EXPECT_FALSE(r1->Checked());
    EXPECT_TRUE(other->Checked());
    EXPECT_EQ(form->Log, "r2.Click ");
    EXPECT_TRUE(r2->TabStop());
    EXPECT_FALSE(r1->TabStop());
    r2->SetChecked(false); // unchecking fires nothing
    EXPECT_EQ(form->Log, "r2.Click ");
}

TEST_F(Controls, ComboBoxCodeChangesAreSilentUserChoicesAreNot) {
    auto* cbo = form->Add<TComboBox>("cbo");
    cbo->OnChange = Handler<&TfrmCtl::Changed>(form.get());
    cbo->OnSelect = Handler<&TfrmCtl::Selected>(form.get());
    cbo->SetStyle(csDropDownList);
    cbo->Items()->SetCommaText("alpha,beta,gamma");
    cbo->SetItemIndex(1);
    EXPECT_EQ(cbo->Text(), "beta");
    cbo->SetText("gamma");
    EXPECT_EQ(cbo->ItemIndex(), 2);
    cbo->SetText("none");
    EXPECT_EQ(cbo->ItemIndex(), -1);
    EXPECT_EQ(cbo->Text(), "");
    EXPECT_EQ(form->Log, "");
    form->Show();
    input::ChooseItem(cbo, "beta");
    EXPECT_EQ(form->Log, "cbo.Click cbo.Change cbo.Select ");
    form->Log.clear();
    input::TypeText("g"); // a key in a drop-down list picks the next item starting with it
    EXPECT_EQ(cbo->Text(), "gamma");
    EXPECT_EQ(form->Log, "cbo.Click cbo.Change cbo.Select ");
    cbo->Items()->Clear();
    EXPECT_EQ(cbo->ItemIndex(), -1);
    EXPECT_EQ(cbo->Text(), "");
}

TEST_F(Controls, EditTextInCodeFiresOnChangeAndTypingRespectsMaxLength) {
    auto* ed = form->Add<TEdit>("ed");
    ed->OnChange = Handler<&TfrmCtl::Changed>(form.get());
    ed->SetText("x");
    EXPECT_EQ(form->Log, "ed.Change ");
    ed->SetText("");
    ed->SetMaxLength(4);
    form->Show();
    input::TypeText("中ab"); // the Chinese character counts two
    EXPECT_EQ(ed->Text(), "中ab");
    input::TypeText("c");
    EXPECT_EQ(ed->Text(), "中ab");
    input::PressKey(VK_BACK);
    EXPECT_EQ(ed->Text(), "中a");
    input::PressKey(VK_HOME);
    input::PressKey(VK_DELETE);
    EXPECT_EQ(ed->Text(), "a");
}

struct SpeedCase {
    int groupIndex;
    bool allowAllUp;
    bool downBefore;
    bool downAfterClick; // Down toggles before OnClick, which always runs
    bool codeUpSticks;   // Down := False in code
};

class SpeedButtons : public Controls, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(SpeedButtons, DownGroupAndAllowAllUp) {
    const SpeedCase& c = GetParam();
    auto* panel = form->Add<TPanel>("pnl");
    auto* a = form->Add<TSpeedButton>("a", panel);
    auto* b = form->Add<TSpeedButton>("b", panel);
    a->SetGroupIndex(c.groupIndex);
    b->SetGroupIndex(c.groupIndex);
    a->SetAllowAllUp(c.allowAllUp);
    a->SetDown(c.downBefore);
    if (c.groupIndex != 0) b->SetDown(!c.downBefore);
    EXPECT_FALSE(c.groupIndex != 0 && a->Down() && b->Down()); // a group has one button down
    a->OnClick = TNotifyEvent();
    bool sawDown = false;
    struct TProbe : TObject {
        TSpeedButton* Button;
        bool* Saw;
        void Clicked(TObject*) { *Saw = Button->Down(); }
    } probe;
    probe.Button = a;
    probe.Saw = &sawDown;
    a->OnClick = TNotifyEvent(
        TNotifyEvent::Thunk([](void* data, TObject* s) { static_cast<TProbe*>(data)->Clicked(s); }), &probe);
    form->Show();
    form->Log.clear();
    input::Click(a);
    EXPECT_EQ(a->Down(), c.downAfterClick);
    EXPECT_EQ(sawDown, c.downAfterClick);
    if (c.groupIndex != 0 && a->Down()) {
        EXPECT_FALSE(b->Down());
    }
    a->SetDown(true);
    a->SetDown(false);
    EXPECT_EQ(a->Down(), c.groupIndex != 0 && !c.codeUpSticks);
}

INSTANTIATE_TEST_SUITE_P(Cases, SpeedButtons,
                         ::testing::Values(SpeedCase{0, false, false, false, true}, // never sticks
                                           SpeedCase{1, false, false, true, false},
                                           SpeedCase{1, false, true, true, false}, // stays down, still clicks
                                           SpeedCase{1, true, true, false, true},
                                           SpeedCase{1, true, false, true, true}));

TEST_F(Controls, ListViewSortsWithTheCompareEvent) {
    auto* lv = form->Add<TListView>("lv");
    lv->SetViewStyle(vsReport);
    for (const char* caption : {"b", "C", "a"}) {
        TListItem* item = lv->Items()->Add();
        item->SetCaption(caption);
        item->SubItems()->Add(std::string(caption) + "1");
    }
    struct TByLength : TObject {
        void Compare(TObject*, TListItem* a, TListItem* b, int, int& result) {
            result = a->Caption() == b->Caption() ? 0 : (a->Caption() > b->Caption() ? -1 : 1); // descending
        }
    } sorter;
    lv->OnCompare = TLVCompareEvent(
        TLVCompareEvent::Thunk([](void* d, TObject* s, TListItem* a, TListItem* b, int x, int& r) {
            static_cast<TByLength*>(d)->Compare(s, a, b, x, r);
        }),
        &sorter);
    lv->SetSortType(stText);
    auto captions = [&] {
        std::string s;
        for (int i = 0; i < lv->Items()->Count(); ++i) s += lv->Items()->Item(i)->Caption();
        return s;
    };
    EXPECT_EQ(captions(), "baC");
    lv->Items()->Add()->SetCaption("z"); // sorted again as items come
    EXPECT_EQ(captions(), "zbaC");
    lv->OnCompare = TLVCompareEvent();
    lv->AlphaSort();
    EXPECT_EQ(captions(), "Cabz");
    EXPECT_EQ(lv->Items()->Item(1)->SubItems()->Get(0), "a1");
    // Single selection: selecting one item clears the other.
    lv->Items()->Item(0)->SetSelected(true);
    lv->Items()->Item(2)->SetSelected(true);
    EXPECT_EQ(lv->SelCount(), 1);
    EXPECT_EQ(lv->Selected(), lv->Items()->Item(2));
}

TEST_F(Controls, RadioMenuItemsTickOneOfTheirGroup) {
    auto* menu = new TPopupMenu(form.get());
    std::vector<TMenuItem*> items;
    for (int i = 0; i < 3; ++i) {
        auto* item = new TMenuItem(form.get());
        item->SetRadioItem(true);
        item->SetAutoCheck(true);
        menu->Items()->Add(item);
        items.push_back(item);
    }
    items[0]->SetChecked(true);
    input::ChooseMenuItem(items[2]);
    EXPECT_FALSE(items[0]->Checked());
    EXPECT_TRUE(items[2]->Checked());
    EXPECT_EQ(items[1]->MenuIndex(), 1);
    EXPECT_EQ(items[1]->GetParentMenu(), menu);
}

TEST_F(Controls, MenuShortcutsReachTheMenuOfTheFocusedControl) {
    auto* ed = form->Add<TEdit>("ed");
    ed->SetText("");
    auto* menu = new TPopupMenu(form.get());
    auto* save = new TMenuItem(form.get());
    save->SetName("miSave");
    save->SetShortCut(TextToShortCut("Ctrl+S"));
    save->OnClick = Handler<&TfrmCtl::Clicked>(form.get());
    menu->Items()->Add(save);
    ed->SetPopupMenu(menu);
    EXPECT_EQ(ShortCutToText(save->GetShortCut()), "Ctrl+S");
    form->Show();
    input::PressKey('S', {ssCtrl});
    EXPECT_EQ(form->Log, "miSave.Click ");
    EXPECT_EQ(ed->Text(), "");
    input::RightClick(ed);
    EXPECT_EQ(menu->PopupCount(), 1);
    EXPECT_EQ(menu->PopupComponent(), ed);
}

TEST_F(Controls, StringGridCellsRowsAndEditing) {
    auto* grid = form->Add<TStringGrid>("grid");
    grid->SetColCount(3);
    grid->SetRowCount(3);
    grid->SetCells(1, 1, "a");
    TStringsObject* row = grid->Rows(1);
    EXPECT_EQ(row->CommaText(), ",a,");
    row->Put(2, "b");
    EXPECT_EQ(grid->Cells(2, 1), "b");
    EXPECT_EQ(grid->Cells(9, 9), "");
    EXPECT_THROW(grid->SetCells(9, 9, "x"), EInvalidOperation);
    grid->SetOptions(grid->Options() + TGridOptions{goEditing});
    form->Show();
    grid->SetFocus();
    input::TypeText("xy");
    EXPECT_EQ(grid->Cells(1, 1), "xy");
    input::PressKey(VK_ESCAPE);
    EXPECT_EQ(grid->Cells(1, 1), "a");
    input::PressKey(VK_RIGHT);
    EXPECT_EQ(grid->Col(), 2);
}

TEST_F(Controls, SpinEditKeepsItsValueInRange) {
    auto* se = form->Add<TSpinEdit>("se");
    se->SetMinValue(0);
    se->SetMaxValue(23);
    se->SetValue(30);
    EXPECT_EQ(se->Text(), "23");
    se->SetText("abc");
    EXPECT_EQ(se->Value(), 0);
    auto* other = form->Add<TEdit>("other");
    form->Show();
    se->SetFocus();
    se->SetText("");
    input::TypeText("5x-");
    EXPECT_EQ(se->Text(), "5-");
    se->SetText("99");
    other->SetFocus(); // leaving puts it back in range
    EXPECT_EQ(se->Text(), "23");
    se->SetFocus();
    input::PressKey(VK_DOWN);
    EXPECT_EQ(se->Value(), 22);
}

TEST_F(Controls, RadioGroupItemIndexChecksItsButton) {
    auto* rg = form->Add<TRadioGroup>("rg");
    rg->Items()->SetCommaText("a,b,c");
    ASSERT_EQ(rg->ButtonCount(), 3);
    rg->SetItemIndex(1);
    EXPECT_TRUE(rg->Buttons(1)->Checked());
    EXPECT_EQ(form->Log, "rg.Click ");
    form->Show();
    input::ChooseItem(rg, "c");
    EXPECT_EQ(rg->ItemIndex(), 2);
    EXPECT_FALSE(rg->Buttons(1)->Checked());
}

TEST(Bitmaps, PixelsTransparentColourAndMonochromeCopy) {
    TBitmap bmp(4, 2);
    bmp.Canvas()->Brush()->SetColor(clRed);
    bmp.Canvas()->FillRect(Rect(0, 0, 4, 2));
    bmp.SetPixel(0, 1, clFuchsia); // the bottom-left pixel
    bmp.SetPixel(3, 0, clWhite);
    EXPECT_EQ(bmp.Pixel(1, 1), clRed);
    EXPECT_EQ(bmp.Pixel(9, 9), clNone);
    EXPECT_EQ(bmp.TransparentColor(), clFuchsia);
    bmp.SetTransparentColor(clRed);
    EXPECT_EQ(bmp.TransparentMode(), tmFixed);

    TBitmap mono;
    mono.Assign(&bmp);
    mono.SetMonochrome(true);
    EXPECT_EQ(mono.Pixel(3, 0), clWhite);
    EXPECT_EQ(mono.Pixel(1, 0), clBlack);
    EXPECT_EQ(bmp.Pixel(1, 0), clRed); // the source is untouched

    TBitmap oneBit;
    oneBit.Assign(&bmp);
    oneBit.SetPixelFormat(pf1bit); // by brightness: pure red is dark
    EXPECT_EQ(oneBit.Pixel(1, 0), clBlack);
    EXPECT_EQ(oneBit.Pixel(3, 0), clWhite);

    TBitmap copy;
    copy.LoadFromBytes(bmp.SaveToBytes());
    EXPECT_TRUE(copy.SamePixels(bmp));
    EXPECT_EQ(copy.PixelFormat(), pf24bit);
    EXPECT_THROW(copy.LoadFromBytes({'B', 'M', 1, 2}), EInvalidGraphic);

    TBitmap twoGlyphs(32, 16);
    TSpeedButton button(nullptr);
    button.SetGlyph(&twoGlyphs);
    EXPECT_EQ(button.NumGlyphs(), 2);
}

// Speed and bitmap buttons share the glyph: a bitmap 1 to 4 heights wide holds that many images; any
// other bitmap leaves the count as it was; a count set in code stays within 1..4.
TEST(ButtonGlyph, ImageCountFollowsTheBitmap) {
    const struct {
        int Width, Height, Expected;
    } cases[] = {{16, 16, 1}, {48, 16, 3}, {64, 16, 4}, {80, 16, 2}, {30, 16, 2}, {0, 0, 2}};
    for (const auto& c : cases) {
        TButtonGlyph glyph;
        glyph.SetNumGlyphs(2);
        TBitmap bmp(c.Width, c.Height);
        glyph.SetBitmap(&bmp);
        EXPECT_EQ(glyph.NumGlyphs, c.Expected) << c.Width << "x" << c.Height;
    }
    TBitBtn bit(nullptr);
    TBitmap four(64, 16);
    bit.SetGlyph(&four);
    EXPECT_EQ(bit.NumGlyphs(), 4);
    bit.SetNumGlyphs(0);
    EXPECT_EQ(bit.NumGlyphs(), 1);
    bit.SetNumGlyphs(9);
    EXPECT_EQ(bit.NumGlyphs(), 4);
}

TEST_F(Controls, ToolButtonsCheckAndDropDown) {
    auto* bar = form->Add<TToolBar>("bar");
    auto* t1 = form->Add<TToolButton>("t1", bar);
    auto* t2 = form->Add<TToolButton>("t2", bar);
    t2->SetStyle(tbsCheck);
    auto* menu = new TPopupMenu(form.get());
    t1->SetDropdownMenu(menu);
    EXPECT_EQ(bar->ButtonCount(), 2);
    EXPECT_EQ(t2->Left(), t1->Left() + bar->ButtonWidth());
    form->Show();
    input::Click(t2);
    EXPECT_TRUE(t2->Down());
    t1->ClickDropDown();
    EXPECT_EQ(menu->PopupCount(), 1);
    EXPECT_EQ(menu->PopupComponent(), t1);
}

TEST_F(Controls, AlignedControlsShareTheClientArea) {
    form->SetBounds(0, 0, 400, 300);
    auto* top = form->Add<TPanel>("top");
    top->SetHeight(40);
    top->SetAlign(alTop);
    auto* left = form->Add<TPanel>("left");
    left->SetWidth(100);
    left->SetAlign(alLeft);
    auto* client = form->Add<TPanel>("client");
    client->SetAlign(alClient);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, form->ClientWidth(), 40));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 40, 100, form->ClientHeight()));
    EXPECT_EQ(client->BoundsRect(), Rect(100, 40, form->ClientWidth(), form->ClientHeight()));
    form->SetWidth(500);
    EXPECT_EQ(client->Width(), form->ClientWidth() - 100);

    // Anchors: right-anchored controls follow the edge, left-and-right ones stretch.
    auto* button = form->Add<TButton>("btn", client);
    button->SetBounds(200, 10, 75, 25);
    button->SetAnchors({akTop, akRight});
    auto* edit = form->Add<TEdit>("ed", client);
    edit->SetBounds(10, 40, 100, 21);
    edit->SetAnchors({akLeft, akTop, akRight});
    form->SetWidth(560);
    EXPECT_EQ(button->Left(), 260);
    EXPECT_EQ(edit->Width(), 160);
}

} // namespace
} // namespace rt
