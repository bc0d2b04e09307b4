#include "ui/Messages.h"

#include "os/SysInfo.h" // declares HWND too: both must agree
#include "ui/Controls.h"

#include <deque>
#include <unordered_map>

namespace rt {

namespace {

struct QueuedMessage {
    HWND Wnd;
    TMessage Message;
};

struct WindowTable {
    std::unordered_map<HWND, TWinControl*> Windows;
    HWND Next = 0x100;
};

WindowTable& Table() {
    static WindowTable table;
    return table;
}

std::deque<QueuedMessage>& Queue() {
    static std::deque<QueuedMessage> queue;
    return queue;
}

} // namespace

TWinControl* FindControl(HWND wnd) {
    auto& w = Table().Windows;
    auto it = w.find(wnd);
    return it == w.end() ? nullptr : it->second;
}

bool IsWindow(HWND wnd) {
    return FindControl(wnd) != nullptr;
}

LRESULT SendMessage(HWND wnd, uint32_t msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = FindControl(wnd);
    if (!control) return 0;
    return control->Perform(msg, wParam, lParam);
}

bool PostMessage(HWND wnd, uint32_t msg, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(wnd)) return false;
    Queue().push_back(QueuedMessage{wnd, TMessage{msg, wParam, lParam, 0}});
    return true;
}

namespace messagequeue {

int DeliverAll() {
    int delivered = 0;
    auto& queue = Queue();
    while (!queue.empty()) {
        QueuedMessage m = queue.front();
        queue.pop_front();
        TWinControl* control = FindControl(m.Wnd); // looked up again: the window may be gone
        if (!control) continue;
        control->Dispatch(m.Message);
        ++delivered;
    }
    return delivered;
}

bool Empty() {
    return Queue().empty();
}
size_t Size() {
    return Queue().size();
}

} // namespace messagequeue

namespace windowtable {

HWND Allocate(TWinControl* control) {
    auto& t = Table();
    HWND h = t.Next++;
    t.Windows[h] = control;
    return h;
}

void Release(HWND wnd) {
    Table().Windows.erase(wnd);
}

} // namespace windowtable

} // namespace rt
