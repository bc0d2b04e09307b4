#pragma once
// Simulated input: the one way user actions enter the runtime. Tests, scripts and a rendering backend all
// call these functions, which deliver the same messages a user's mouse and keyboard would (so that
// message handlers of the module see them) and then let the message queue run.
//
// An exception of the platform's exception class raised while an action is handled goes to
// Application->HandleException, as it would from a real message loop (by default an error dialog through
// the dialog driver). Actions a user could not perform (clicking a hidden or disabled control, typing
// into a form behind a modal one) raise EInvalidOperation to the caller: they are script errors.
//
// Controls are addressed by object or by path: "frmKtvr08/sp01/BeginEdit" names a form (a screen form or
// a component of the application), then components owned by the previous one or controls inside it.
#include "ui/Controls.h"

#include <string>
#include <string_view>

namespace rt {

class TMenuItem;
class TPageControl;
class TCustomForm;

// The component at a path, or null.
TComponent* FindComponentByPath(std::string_view path);
TControl* FindControlByPath(std::string_view path);

namespace input {

// The component at path as T; raises EComponentError when there is none or it is not a T.
template <class T> T* Get(std::string_view path);
TControl* Control(std::string_view path);

// Moves the focus to the control (a click into it or Tab to it).
void Focus(TWinControl* control);
void Focus(std::string_view path);

// Keys go to the focused control of the active form (or the form itself).
void KeyDown(Word key, TShiftState shift = {});
void KeyPress(TKeyChar key);
void KeyUp(Word key, TShiftState shift = {});
// Down, the character the key types (unless the key was taken as a dialog key), up.
void PressKey(Word key, TShiftState shift = {});
// One key press per character; "\r" presses Enter, "\t" Tab, "\b" Backspace.
void TypeText(std::string_view text);
// Focuses the control, then types.
void TypeInto(std::string_view path, std::string_view text);

void Click(TControl* control);
void Click(std::string_view path);
void DoubleClick(TControl* control);
void DoubleClick(std::string_view path);
// The right button: pops up the control's PopupMenu.
void RightClick(TControl* control);

// Check boxes, radio buttons, speed and tool buttons: clicks until the state is the one asked for.
void Check(TControl* control, bool checked = true);
void Check(std::string_view path, bool checked = true);

// Picks an item of a combo box, list box, radio group or list view, or a page of a page control.
void ChooseItem(TControl* control, int index);
void ChooseItem(TControl* control, std::string_view text);
void ChooseItem(std::string_view path, int index);
void ChooseItem(std::string_view path, std::string_view text);
void ChooseMenuItem(TMenuItem* item);
void ChooseMenuItem(std::string_view path);
// A click on a tab: the page control takes the focus first, then OnChanging, the change, OnChange.
void SelectTab(TPageControl* pages, int pageIndex);

// The close box of a form (WM_CLOSE).
void CloseForm(TCustomForm* form);
void CloseForm(std::string_view path);

} // namespace input

template <class T> T* input::Get(std::string_view path) {
    TComponent* c = FindComponentByPath(path);
    if (!c) throw EComponentError("No component at " + std::string(path));
    auto* typed = dynamic_cast<T*>(c);
    if (!typed) throw EComponentError(std::string(path) + " is a " + c->ClassName());
    return typed;
}

} // namespace rt
