// Components: ownership, names, look-up, removal notification, the class registry.
#include "ui/ComCtrls.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

TEST(Components, NamesAreUniquePerOwnerIgnoringCase) {
    TOwnedPtr<TComponent> owner(new TComponent(nullptr));
    auto* a = new TComponent(owner.get());
    a->SetName("btnOk");
    auto* b = new TComponent(owner.get());
    EXPECT_THROW(b->SetName("BTNOK"), EComponentError);
    EXPECT_THROW(b->SetName("1abc"), EComponentError);
    EXPECT_THROW(b->SetName("a b"), EComponentError);
    EXPECT_EQ(b->Name(), "");
    b->SetName("btnCancel");
    EXPECT_EQ(owner->FindComponent("BTNCANCEL"), b);
    EXPECT_EQ(owner->FindComponent("missing"), nullptr);
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->Components(0), a);
    EXPECT_EQ(b->ComponentIndex(), 1);
    // The same name under another owner is fine.
    TOwnedPtr<TComponent> other(new TComponent(nullptr));
    auto* c = new TComponent(other.get());
    EXPECT_NO_THROW(c->SetName("btnOk"));
}

TEST(Components, FreeingRemovesFromOwnerAndClearsReferences) {
    TOwnedPtr<TComponent> owner(new TComponent(nullptr));
    auto* edit = new TEdit(owner.get());
    auto* label = new TLabel(owner.get());
    label->SetFocusControl(edit);
    TComponentPtr<TEdit> watch(edit);
    edit->Free();
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(label->FocusControl(), nullptr);
    EXPECT_FALSE(watch);
}

TEST(Components, OwnedComponentsDieWithTheirOwner) {
    TComponentPtr<TComponent> child;
    {
        TOwnedPtr<TComponent> owner(new TComponent(nullptr));
        child = new TComponent(new TComponent(owner.get()));
    }
    EXPECT_FALSE(child);
}

TEST(Components, ChildControlsDieWithTheirParentWhoeverOwnsThem) {
    TOwnedPtr<TComponent> owner(new TComponent(nullptr));
    auto* panel = new TWinControl(owner.get());
    auto* edit = new TEdit(owner.get());
    edit->SetParent(panel);
    TComponentPtr<TEdit> watch(edit);
    panel->Free();
    EXPECT_FALSE(watch);
    EXPECT_EQ(owner->ComponentCount(), 0);
}

TEST(Collections, AssigningACollectionToItselfKeepsItsItems) {
    TStatusPanels panels(nullptr);
    panels.Add()->SetText("first");
    panels.Add()->SetText("second");
    int updates = 0;
    panels.OnUpdate = [&](TCollectionItem*) { ++updates; };
    panels.Assign(&panels);
    ASSERT_EQ(panels.Count(), 2);
    EXPECT_EQ(panels.Items(0)->Text(), "first");
    EXPECT_EQ(panels.Items(1)->Text(), "second");
    EXPECT_EQ(updates, 0);
}

TEST(ClassRegistry, CreatesComponentsByClassName) {
    TOwnedPtr<TComponent> owner(new TComponent(nullptr));
    TComponent* c = CreateComponentByClassName("tedit", owner.get());
    ASSERT_NE(dynamic_cast<TEdit*>(c), nullptr);
    EXPECT_EQ(c->Owner(), owner.get());
    EXPECT_EQ(FindClass("TButton")->Parent()->Name(), "TButtonControl");
    EXPECT_THROW(FindClass("TNoSuchThing"), EClassNotFound);
    EXPECT_EQ(GetClass("TNoSuchThing"), nullptr);
}

TEST(RunTimeControls, RunTimeControlsShowTheirNameUntilGivenAText) {
    TOwnedPtr<TComponent> owner(new TComponent(nullptr));
    auto* button = new TButton(owner.get());
    button->SetName("Button1");
    EXPECT_EQ(button->Caption(), "Button1");
    button->SetCaption("OK");
    button->SetName("btnOk");
    EXPECT_EQ(button->Caption(), "OK");
}

TEST(RunTimeControls, StringListPropertiesAreObjectsOfTypeTStrings) {
    TOwnedPtr<TComponent> owner(new TComponent(nullptr));
    auto* combo = new TComboBox(owner.get());
    const TPropInfo* items = GetPropInfo(combo, "Items");
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items->PropType->Name, "TStrings");
    auto* strings = dynamic_cast<TStrings*>(GetObjectProp(combo, items));
    ASSERT_NE(strings, nullptr);
    strings->Add("a");
    EXPECT_EQ(combo->Items()->Count(), 1);
    EXPECT_EQ(GetPropPath(combo, "Font.Name"), combo->Font()->Name());
    SetPropText(combo, "Color", "clRed");
    EXPECT_EQ(combo->Color(), clRed);
    SetPropText(combo, "Cursor", "crHandPoint");
    EXPECT_EQ(combo->Cursor(), crHandPoint);
}

} // namespace
} // namespace rt
