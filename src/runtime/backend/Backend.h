#pragma once
// The view side of the user interface. The model (the controls) owns all state; a backend shows it.
//
// A control gets a peer from the active backend when its window handle is first needed; the peer is
// then told about every aspect at once (paAll) and reads what it shows from the control. Afterwards
// property setters tell the peer which aspect changed, and only when a peer exists. User input from a
// rendering backend comes back through the simulated-input functions of ui/Input.h, as tests' input does.
//
// The default backend is headless: it records what it was asked to show (see HeadlessBackend.h) and
// has a fixed screen of 1024 by 768 pixels.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

class TControl;
class TFont;

enum TPeerAspect {
    paAll,     // everything, when the peer is created
    paBounds,  // Left, Top, Width, Height
    paText,    // Caption / Text
    paVisible, // shown or hidden (for a form: shown, shown modal, hidden)
    paEnabled,
    paFont,
    paColor,
    paHint,
    paItems,     // list contents: items, lines, columns, cells, pages, menu items
    paSelection, // item index, selected items, active page, current cell, caret
    paChecked,   // check state, Down state of buttons
    paState,     // anything else a view may show (style, read-only, glyph, ...)
    paFocus,     // the control received the focus
    paParent,    // moved to another parent
};
const char* PeerAspectName(TPeerAspect aspect);

class TControlPeer {
public:
    virtual ~TControlPeer() = default;
    virtual void Update(TPeerAspect aspect) = 0;
};

class TBackend {
public:
    virtual ~TBackend() = default;
    virtual std::unique_ptr<TControlPeer> CreatePeer(TControl& control) = 0;
    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;
    virtual std::vector<std::string> FontNames() const = 0;
    virtual int TextWidth(const TFont& font, std::string_view text) const = 0;
    virtual int TextHeight(const TFont& font, std::string_view text) const = 0;
    virtual void Beep() = 0;
    // A rendering backend delivers the input its windows received (through the simulated-input
    // functions) when the runtime processes messages; the headless backend has none.
    virtual void PumpEvents() {}
};

// The active backend (headless unless another was installed).
TBackend& Backend();
// Installs a backend; returns the previous one. Install before the first window handle is created.
std::unique_ptr<TBackend> SetBackend(std::unique_ptr<TBackend> backend);

} // namespace rt
