#pragma once
// Window messages: numbers, window handles and the message queue.
//
// A window handle is a number from the runtime's window table, given to a windowed control when its
// handle is first needed and never reused. SendMessage delivers at once to the control's message
// handlers (TObject::Dispatch); PostMessage queues, and TApplication::ProcessMessages (and every modal
// loop) delivers the queue in order. A message posted to a window that has been destroyed in the
// meantime is dropped.
#include "rtti/Object.h"

#include <cstdint>

namespace rt {

class TWinControl;

using HWND = std::intptr_t; // the same as os/SysInfo.h declares
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using Word = uint16_t;

enum : uint32_t {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_ENABLE = 0x000A,
    WM_SETTEXT = 0x000C,
    WM_GETTEXT = 0x000D,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_SHOWWINDOW = 0x0018,
    WM_NEXTDLGCTL = 0x0028,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_COMMAND = 0x0111,
    WM_SYSCOMMAND = 0x0112,
    WM_TIMER = 0x0113,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_USER = 0x0400,

    // The runtime's own control messages.
    CM_BASE = 0xB000,
    CM_ACTIVATE = CM_BASE + 0,
    CM_DEACTIVATE = CM_BASE + 1,
    CM_ENTER = CM_BASE + 2,
    CM_EXIT = CM_BASE + 3,
    CM_DIALOGKEY = CM_BASE + 4,
    CM_DIALOGCHAR = CM_BASE + 5,
    CM_RELEASE = CM_BASE + 6,
    CM_TEXTCHANGED = CM_BASE + 7,
    CM_ENABLEDCHANGED = CM_BASE + 8,
    CM_VISIBLECHANGED = CM_BASE + 9,
    CM_FONTCHANGED = CM_BASE + 10,
    CM_COLORCHANGED = CM_BASE + 11,
    CM_CHILDKEY = CM_BASE + 12,
    CM_WANTSPECIALKEY = CM_BASE + 13,
    CM_SHOWINGCHANGED = CM_BASE + 14,
    CM_FOCUSCHANGED = CM_BASE + 15, // sent to the form after the focus moved; LParam is the new control
    CM_MOUSEENTER = CM_BASE + 16,
    CM_MOUSELEAVE = CM_BASE + 17,
    CM_HINTSHOW = CM_BASE + 18,
};

// Key codes.
enum : Word {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_F1 = 0x70,
    VK_F2 = 0x71,
    VK_F3 = 0x72,
    VK_F4 = 0x73,
    VK_F5 = 0x74,
    VK_F6 = 0x75,
    VK_F7 = 0x76,
    VK_F8 = 0x77,
    VK_F9 = 0x78,
    VK_F10 = 0x79,
    VK_F11 = 0x7A,
    VK_F12 = 0x7B,
};

// Synchronous delivery; 0 when the handle names no window.
LRESULT SendMessage(HWND wnd, uint32_t msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Queues a message; false when the handle names no window.
bool PostMessage(HWND wnd, uint32_t msg, WPARAM wParam = 0, LPARAM lParam = 0);
// The control a handle belongs to, or null.
TWinControl* FindControl(HWND wnd);
bool IsWindow(HWND wnd);

// The queue itself (used by TApplication and the modal loops).
namespace messagequeue {
// Delivers every message queued so far and the ones their handlers post; answers how many were
// delivered (dropped ones not counted).
int DeliverAll();
bool Empty();
size_t Size();
} // namespace messagequeue

// The window table (used by TWinControl).
namespace windowtable {
HWND Allocate(TWinControl* control);
void Release(HWND wnd);
} // namespace windowtable

} // namespace rt
