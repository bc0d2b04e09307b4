#include "ui/Input.h"

#include "core/SysUtils.h"
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/Grids.h"
#include "ui/Menus.h"

namespace rt {

TComponent* FindComponentByPath(std::string_view path) {
    TComponent* current = nullptr;
    size_t start = 0;
    bool first = true;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        std::string_view segment =
            path.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        if (segment.empty()) return nullptr;
        if (first) {
            current = Screen->FindForm(segment);
            if (!current) current = Application->FindComponent(segment);
            first = false;
        } else {
            TComponent* next = current->FindComponent(segment);
            if (!next)
                if (auto* w = dynamic_cast<TWinControl*>(current)) next = w->FindChildControl(segment);
            current = next;
        }
        if (!current) return nullptr;
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    return current;
}

TControl* FindControlByPath(std::string_view path) {
    return dynamic_cast<TControl*>(FindComponentByPath(path));
}

namespace input {

namespace {

std::string Describe(const TComponent* c) {
    std::string path = ComponentPath(c);
    return path.empty() ? c->ClassName() : path;
}

// A user can only reach controls of the modal form on top (or any form when none is modal).
void CheckReachable(const TControl* control) {
    TCustomForm* modal = Application->ModalForm();
    TCustomForm* form = GetParentForm(control);
    if (modal && form && form != modal)
        throw EInvalidOperation(Describe(control) + " is behind the modal form " + Describe(modal));
}

void CheckUsable(const TControl* control) {
    if (!control) throw EInvalidOperation("No control to act on");
    if (!control->Showing()) throw EInvalidOperation(Describe(control) + " is not visible");
    for (const TControl* c = control; c; c = c->Parent())
        if (!c->Enabled()) throw EInvalidOperation(Describe(control) + " is disabled");
    CheckReachable(control);
}

// Runs a user action the way the message loop would: exceptions go to the application's handler, and
// the posted messages are processed afterwards.
template <class F> void UserAction(F&& action) {
    try {
        action();
    } catch (Exception& e) {
        Application->HandleException(e);
    }
    Application->ProcessMessages();
}

TWinControl* KeyTarget() {
    TCustomForm* form = Application->ModalForm() ? Application->ModalForm() : Screen->ActiveForm();
    if (!form) throw EInvalidOperation("No form is active to receive keys");
    TWinControl* focused = form->FocusedControl();
    return focused ? focused : form;
}

TKeyChar CharOfKey(Word key, TShiftState shift) {
    if (shift.Contains(ssCtrl) || shift.Contains(ssAlt)) {
        if (shift.Contains(ssCtrl) && key >= 'A' && key <= 'Z') return static_cast<TKeyChar>(key - 'A' + 1);
        return 0;
    }
    if (key >= 'A' && key <= 'Z') return static_cast<TKeyChar>(shift.Contains(ssShift) ? key : key + 32);
    if (key >= '0' && key <= '9') return static_cast<TKeyChar>(key);
    switch (key) {
    case VK_RETURN:
        return 13;
    case VK_ESCAPE:
        return 27;
    case VK_BACK:
        return 8;
    case VK_TAB:
        return 9;
    case VK_SPACE:
        return ' ';
    default:
        return 0;
    }
}

Word KeyOfChar(char32_t c) {
    if (c >= 'a' && c <= 'z') return static_cast<Word>(c - 32);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<Word>(c);
    if (c == ' ') return VK_SPACE;
    return 0;
}

void DeliverPress(Word key, TShiftState shift) {
    TWinControl* target = KeyTarget();
    CheckReachable(target);
    TComponentPtr<TWinControl> keep(target);
    LRESULT taken = target->Perform(WM_KEYDOWN, key, ShiftToParam(shift));
    TKeyChar ch = CharOfKey(key, shift);
    if (!taken && ch && keep) keep->Perform(WM_CHAR, ch, 0);
    KeyTarget()->Perform(WM_KEYUP, key, ShiftToParam(shift));
}

} // namespace

TControl* Control(std::string_view path) {
    return Get<TControl>(path);
}

void Focus(TWinControl* control) {
    CheckUsable(control);
    if (!control->CanFocus()) throw EInvalidOperation(Describe(control) + " cannot take the focus");
    UserAction([&] { control->SetFocus(); });
}

void Focus(std::string_view path) {
    Focus(Get<TWinControl>(path));
}

void KeyDown(Word key, TShiftState shift) {
    UserAction([&] {
        TWinControl* target = KeyTarget();
        CheckReachable(target);
        target->Perform(WM_KEYDOWN, key, ShiftToParam(shift));
    });
}

void KeyPress(TKeyChar key) {
    UserAction([&] {
        TWinControl* target = KeyTarget();
        CheckReachable(target);
        target->Perform(WM_CHAR, key, 0);
    });
}

void KeyUp(Word key, TShiftState shift) {
    UserAction([&] { KeyTarget()->Perform(WM_KEYUP, key, ShiftToParam(shift)); });
}

void PressKey(Word key, TShiftState shift) {
    UserAction([&] { DeliverPress(key, shift); });
}

void TypeText(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        // Decode one UTF-8 character.
        auto lead = static_cast<unsigned char>(text[i]);
        size_t len = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        char32_t c = lead < 0x80 ? lead : lead & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
        for (size_t k = 1; k < len && i + k < text.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += len;
        if (c == '\r' || c == '\n') {
            PressKey(VK_RETURN);
        } else if (c == '\t') {
            PressKey(VK_TAB);
        } else if (c == '\b') {
            PressKey(VK_BACK);
        } else {
            TKeyChar ch = c > 0xFFFF ? TKeyChar('?') : static_cast<TKeyChar>(c);
            Word vk = KeyOfChar(c);
            UserAction([&] {
                TWinControl* target = KeyTarget();
                CheckReachable(target);
                TComponentPtr<TWinControl> keep(target);
                if (vk) target->Perform(WM_KEYDOWN, vk, 0);
                if (keep) keep->Perform(WM_CHAR, ch, 0);
                if (vk) KeyTarget()->Perform(WM_KEYUP, vk, 0);
            });
        }
    }
}

void TypeInto(std::string_view path, std::string_view text) {
    Focus(path);
    TypeText(text);
}

namespace {
LPARAM Center(const TControl* c) {
    int x = c->Width() / 2, y = c->Height() / 2;
    return static_cast<LPARAM>((static_cast<uint32_t>(y) << 16) | (static_cast<uint32_t>(x) & 0xFFFF));
}
} // namespace

void Click(TControl* control) {
    CheckUsable(control);
    UserAction([&] {
        TComponentPtr<TControl> keep(control);
        control->Perform(WM_LBUTTONDOWN, 0, Center(control));
        if (keep) keep->Perform(WM_LBUTTONUP, 0, Center(control));
    });
}

void Click(std::string_view path) {
    Click(Control(path));
}

void DoubleClick(TControl* control) {
    CheckUsable(control);
    UserAction([&] {
        TComponentPtr<TControl> keep(control);
        control->Perform(WM_LBUTTONDOWN, 0, Center(control));
        if (keep) keep->Perform(WM_LBUTTONUP, 0, Center(control));
        if (keep) keep->Perform(WM_LBUTTONDBLCLK, 0, Center(control));
        if (keep) keep->Perform(WM_LBUTTONUP, 0, Center(control));
    });
}

void DoubleClick(std::string_view path) {
    DoubleClick(Control(path));
}

void RightClick(TControl* control) {
    CheckUsable(control);
    UserAction([&] {
        TComponentPtr<TControl> keep(control);
        control->Perform(WM_RBUTTONDOWN, 0, Center(control));
        if (keep) keep->Perform(WM_RBUTTONUP, 0, Center(control));
    });
}

void Check(TControl* control, bool checked) {
    CheckUsable(control);
    auto state = [&]() -> bool {
        if (auto* cb = dynamic_cast<TCustomCheckBox*>(control)) return cb->State() == cbChecked;
        if (auto* rb = dynamic_cast<TRadioButton*>(control)) return rb->Checked();
        if (auto* sb = dynamic_cast<TSpeedButton*>(control)) return sb->Down();
        if (auto* tb = dynamic_cast<TToolButton*>(control)) return tb->Down();
        if (const TPropInfo* p = GetPropInfo(control, "Checked"); p && p->Kind() == tkEnumeration)
            return GetOrdProp(control, p) != 0;
        throw EInvalidOperation(Describe(control) + " cannot be checked");
    };
    if (dynamic_cast<TRadioButton*>(control) && !checked && state())
        throw EInvalidOperation(Describe(control) + ": a radio button is unchecked by checking another");
    TComponentPtr<TControl> keep(control);
    for (int i = 0; i < 3 && keep && state() != checked; ++i) Click(control);
}

void Check(std::string_view path, bool checked) {
    Check(Control(path), checked);
}

void ChooseItem(TControl* control, int index) {
    CheckUsable(control);
    if (auto* pages = dynamic_cast<TPageControl*>(control)) {
        SelectTab(pages, index);
        return;
    }
    if (auto* group = dynamic_cast<TCustomRadioGroup*>(control)) {
        if (index < 0 || index >= group->ButtonCount())
            throw EInvalidOperation(Describe(control) + " has no item " + std::to_string(index));
        Click(group->Buttons(index));
        return;
    }
    auto* w = dynamic_cast<TWinControl*>(control);
    if (w && w->CanFocus() && !w->Focused()) {
        Focus(w);
        if (!w->Focused()) return; // the focus could not move (a validation refused)
    }
    UserAction([&] {
        if (auto* combo = dynamic_cast<TCustomComboBox*>(control)) {
            if (index < 0 || index >= combo->Items()->Count())
                throw EInvalidOperation(Describe(control) + " has no item " + std::to_string(index));
            combo->SetDroppedDown(true);
            combo->ChooseItem(index);
            combo->SetDroppedDown(false);
        } else if (auto* list = dynamic_cast<TCustomListBox*>(control)) {
            if (index < 0 || index >= list->Items()->Count())
                throw EInvalidOperation(Describe(control) + " has no item " + std::to_string(index));
            list->ChooseItem(index);
        } else if (auto* lv = dynamic_cast<TCustomListView*>(control)) {
            if (index < 0 || index >= lv->Items()->Count())
                throw EInvalidOperation(Describe(control) + " has no item " + std::to_string(index));
            lv->ChooseItem(index);
        } else {
            throw EInvalidOperation(Describe(control) + " has no items to choose from");
        }
    });
}

void ChooseItem(TControl* control, std::string_view text) {
    int index = -1;
    std::string t(text);
    if (auto* combo = dynamic_cast<TCustomComboBox*>(control))
        index = combo->Items()->IndexOf(t);
    else if (auto* list = dynamic_cast<TCustomListBox*>(control))
        index = list->Items()->IndexOf(t);
    else if (auto* group = dynamic_cast<TCustomRadioGroup*>(control))
        index = group->Items()->IndexOf(t);
    else if (auto* lv = dynamic_cast<TCustomListView*>(control)) {
        if (TListItem* item = lv->FindCaption(0, t, false, true, false)) index = item->Index();
    } else if (auto* pages = dynamic_cast<TPageControl*>(control)) {
        for (int i = 0; i < pages->PageCount(); ++i)
            if (SameText(StripHotkey(pages->Pages(i)->Caption()), StripHotkey(t))) index = i;
    }
    if (index < 0) throw EInvalidOperation(Describe(control) + " has no item \"" + t + "\"");
    ChooseItem(control, index);
}

void ChooseItem(std::string_view path, int index) {
    ChooseItem(Control(path), index);
}
void ChooseItem(std::string_view path, std::string_view text) {
    ChooseItem(Control(path), text);
}

void ChooseMenuItem(TMenuItem* item) {
    if (!item) throw EInvalidOperation("No menu item");
    for (TMenuItem* i = item; i; i = i->Parent())
        if (!i->Visible() || !i->Enabled())
            if (i->Parent())
                throw EInvalidOperation("Menu item " + Describe(item) + " is hidden or disabled");
    UserAction([&] { item->Click(); });
}

void ChooseMenuItem(std::string_view path) {
    ChooseMenuItem(Get<TMenuItem>(path));
}

void SelectTab(TPageControl* pages, int pageIndex) {
    CheckUsable(pages);
    if (pageIndex < 0 || pageIndex >= pages->PageCount())
        throw EInvalidOperation(Describe(pages) + " has no page " + std::to_string(pageIndex));
    TTabSheet* page = pages->Pages(pageIndex);
    if (!page->TabVisible()) throw EInvalidOperation("The tab of " + Describe(page) + " is hidden");
    if (pages->CanFocus() && !pages->Focused()) {
        Focus(pages);
        if (!pages->Focused()) return;
    }
    UserAction([&] { pages->ChangePageByUser(page); });
}

void CloseForm(TCustomForm* form) {
    if (!form || !form->Visible()) throw EInvalidOperation("The form is not shown");
    CheckReachable(form);
    UserAction([&] { form->Perform(WM_CLOSE); });
}

void CloseForm(std::string_view path) {
    CloseForm(Get<TCustomForm>(path));
}

} // namespace input

} // namespace rt
