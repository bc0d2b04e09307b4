#pragma once
// Host session scripts (docs/host-script.md): one command per line, arguments separated by blanks,
// "#" comments, blocks closed by "end". The parser checks every line before anything runs, so a
// malformed script fails with its file and line and no side effect.
#include "core/Variant.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kvx::host {

class ScriptError : public std::runtime_error {
public:
    ScriptError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(file + ":" + std::to_string(line) + ": " + message), FFile(file), FLine(line) {}
    const std::string& File() const { return FFile; }
    int Line() const { return FLine; }

private:
    std::string FFile;
    int FLine;
};

enum class Verb {
    Load,    // load PATH
    Free,    // free
    HostApp, // hostapp on|off
    Events,  // events on|off
    Params,  // params VALUE...
    Call,    // call OPERATION [ARGUMENTS]
    Modal,   // modal ... end
    OnModal, // on-modal CLASS ... end
    Focus,   // focus PATH
    Set,     // set PATH VALUE
    Type,    // type PATH TEXT
    Key,     // key PATH KEYS
    Click,   // click PATH
    Check,   // check PATH true|false
    Choose,  // choose PATH INDEX|TEXT
    Close,   // close PATH
    Process, // process
    Answer,  // answer BUTTON
    Lookup,  // lookup VALUE
    Expect,  // expect WHAT ...
    Echo,    // echo TEXT
};

// The controller operations a session can call, by their names in the controller contract.
enum class ControllerOp {
    GetVersion,
    GetVisible,
    SetVisible,
    GetHandle,
    CreateForm,
    Execute,
    Notify,
    ShowModal,
    FreeForm,
    GetInfo,
    IsFormFreed,
};

enum class ExpectKind {
    Event,  // expect event CODE|none
    Return, // expect return VALUE
    Out,    // expect out VALUE
    Code,   // expect code N
    Data,   // expect data VALUE
    Dialog, // expect dialog TEXT|none
    Text,   // expect text PATH TEXT
    Error,  // expect error TEXT
};

// Message-dialog buttons a session can answer with; the values are the platform's modal results.
enum class DialogButton : int {
    Ok = 1,
    Cancel = 2,
    Abort = 3,
    Retry = 4,
    Ignore = 5,
    Yes = 6,
    No = 7,
    All = 8,
    NoToAll = 9,
    YesToAll = 10,
};

// A key with its shift state; Key is the platform's virtual-key code.
struct KeyStroke {
    uint16_t Key = 0;
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

struct ScriptCommand {
    int Line = 0;
    Verb Kind = Verb::Echo;
    ControllerOp Op = ControllerOp::GetVersion; // Call
    ExpectKind Expect = ExpectKind::Event;      // Expect
    std::string Path;                           // control path, module path, form class, or echo text
    std::string Text;  // text argument (type, expect dialog/text/error, choose by text)
    rt::Variant Value; // value argument (set, lookup, expect return/data, Execute, Notify data, SetVisible)
    std::vector<rt::Variant> Values; // params
    int Number = 0;                  // event code, result code, Notify kind, choose index, dialog button
    bool Flag = false;               // on/off, check state, "none" in expect event/dialog, choose by index
    KeyStroke Keys;
    std::vector<ScriptCommand> Body; // modal, on-modal
};

struct Script {
    std::string File;
    std::vector<ScriptCommand> Commands;
};

// Parses a whole script; raises ScriptError naming file and line on the first malformed line.
Script ParseScript(std::string_view text, const std::string& file);
// Reads and parses a script file; a file that cannot be read raises ScriptError with line 0.
Script LoadScript(const std::string& path);

// Names, as written in scripts and in the session's output.
const char* ControllerOpName(ControllerOp op);
const char* DialogButtonName(DialogButton button);
std::string KeyStrokeName(const KeyStroke& keys);

} // namespace kvx::host
