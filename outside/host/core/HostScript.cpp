#include "HostScript.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

namespace kvx::host {
namespace {

constexpr int kMaxArrayDepth = 32;
constexpr int kMaxBlockDepth = 8;

// ---- names -----------------------------------------------------------------------------------------

struct OpName {
    const char* Name;
    ControllerOp Op;
};
constexpr std::array kOps{
    OpName{"GetVersion", ControllerOp::GetVersion},   OpName{"GetVisible", ControllerOp::GetVisible},
    OpName{"SetVisible", ControllerOp::SetVisible},   OpName{"GetHandle", ControllerOp::GetHandle},
    OpName{"CreateForm", ControllerOp::CreateForm},   OpName{"Execute", ControllerOp::Execute},
    OpName{"Notify", ControllerOp::Notify},           OpName{"ShowModal", ControllerOp::ShowModal},
    OpName{"FreeForm", ControllerOp::FreeForm},       OpName{"GetInfo", ControllerOp::GetInfo},
    OpName{"IsFormFreed", ControllerOp::IsFormFreed},
};

struct ButtonName {
    const char* Name;
    DialogButton Button;
};
constexpr std::array kButtons{
    ButtonName{"ok", DialogButton::Ok},           ButtonName{"cancel", DialogButton::Cancel},
    ButtonName{"abort", DialogButton::Abort},     ButtonName{"retry", DialogButton::Retry},
    ButtonName{"ignore", DialogButton::Ignore},   ButtonName{"yes", DialogButton::Yes},
    ButtonName{"no", DialogButton::No},           ButtonName{"all", DialogButton::All},
    ButtonName{"notoall", DialogButton::NoToAll}, ButtonName{"yestoall", DialogButton::YesToAll},
};

struct KeyName {
    const char* Name;
    uint16_t Code;
};
// The platform's virtual-key codes of the keys a session presses by name.
constexpr std::array kKeys{
    KeyName{"Backspace", 0x08}, KeyName{"Tab", 0x09},    KeyName{"Enter", 0x0D},    KeyName{"Esc", 0x1B},
    KeyName{"Space", 0x20},     KeyName{"PageUp", 0x21}, KeyName{"PageDown", 0x22}, KeyName{"End", 0x23},
    KeyName{"Home", 0x24},      KeyName{"Left", 0x25},   KeyName{"Up", 0x26},       KeyName{"Right", 0x27},
    KeyName{"Down", 0x28},      KeyName{"Insert", 0x2D}, KeyName{"Delete", 0x2E},
};

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool ParseKeyName(std::string_view name, uint16_t& code) {
    for (const auto& k : kKeys)
        if (EqualsNoCase(name, k.Name)) {
            code = k.Code;
            return true;
        }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        code = static_cast<uint16_t>(std::toupper(static_cast<unsigned char>(name[0])));
        return true;
    }
    if (name.size() >= 2 && name.size() <= 3 && (name[0] == 'F' || name[0] == 'f')) {
        int n = 0;
        auto [end, ec] = std::from_chars(name.data() + 1, name.data() + name.size(), n);
        if (ec == std::errc() && end == name.data() + name.size() && n >= 1 && n <= 12) {
            code = static_cast<uint16_t>(0x6F + n);
            return true;
        }
    }
    return false;
}

// ---- tokens ----------------------------------------------------------------------------------------

enum class Tok { Word, Text, WideText, Open, Close, Comma };

struct Token {
    Tok Kind;
    std::string Text;
};

bool ValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int extra = 0;
        uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static constexpr uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

class LineReader {
public:
    LineReader(const std::string& file, int line) : FFile(file), FLine(line) {}

    [[noreturn]] void Fail(const std::string& message) const { throw ScriptError(FFile, FLine, message); }

    std::vector<Token> Tokenize(std::string_view s) const {
        std::vector<Token> tokens;
        size_t i = 0;
        while (i < s.size()) {
            const char c = s[i];
            if (c == ' ' || c == '\t') {
                ++i;
            } else if (c == '#') {
                break;
            } else if (c == '[') {
                tokens.push_back({Tok::Open, "["});
                ++i;
            } else if (c == ']') {
                tokens.push_back({Tok::Close, "]"});
                ++i;
            } else if (c == ',') {
                tokens.push_back({Tok::Comma, ","});
                ++i;
            } else if (c == '"') {
                tokens.push_back({Tok::Text, ReadText(s, i)});
            } else if ((c == 'w' || c == 'W') && i + 1 < s.size() && s[i + 1] == '"') {
                ++i;
                tokens.push_back({Tok::WideText, ReadText(s, i)});
            } else {
                const size_t start = i;
                while (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != '[' && s[i] != ']' &&
                       s[i] != ',') {
                    if (s[i] == '"') Fail("a quotation mark inside a word; put the whole text in quotes");
                    ++i;
                }
                tokens.push_back({Tok::Word, std::string(s.substr(start, i - start))});
            }
        }
        return tokens;
    }

private:
    // Reads a quoted text starting at s[i] == '"'; leaves i after the closing quote.
    std::string ReadText(std::string_view s, size_t& i) const {
        std::string out;
        ++i;
        while (i < s.size()) {
            const char c = s[i++];
            if (c == '"') return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i >= s.size()) break;
            const char e = s[i++];
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                int value = 0;
                if (i + 2 > s.size()) Fail("\\x needs two hexadecimal digits");
                auto [end, ec] = std::from_chars(s.data() + i, s.data() + i + 2, value, 16);
                if (ec != std::errc() || end != s.data() + i + 2) Fail("\\x needs two hexadecimal digits");
                if (value >= 0x80) Fail("\\x escapes stand for ASCII characters only (00 to 7F)");
                out += static_cast<char>(value);
                i += 2;
                break;
            }
            default:
                Fail(std::string("unknown escape \\") + e + " in a text");
            }
        }
        Fail("text without its closing quotation mark");
    }

    const std::string& FFile;
    int FLine;
};

// ---- values ----------------------------------------------------------------------------------------

class ArgReader {
public:
    ArgReader(const LineReader& line, std::vector<Token> tokens, std::string verb)
        : FLine(line), FTokens(std::move(tokens)), FVerb(std::move(verb)) {}

    [[noreturn]] void Fail(const std::string& message) const { FLine.Fail(FVerb + ": " + message); }

    bool AtEnd() const { return FPos >= FTokens.size(); }
    void ExpectEnd() const {
        if (!AtEnd()) Fail("unexpected \"" + FTokens[FPos].Text + "\" after the arguments");
    }

    // A word or a text (paths, names, texts).
    std::string Name(const char* what) {
        if (AtEnd()) Fail(std::string("missing ") + what);
        const Token& t = FTokens[FPos];
        if (t.Kind != Tok::Word && t.Kind != Tok::Text)
            Fail(std::string("expected ") + what + ", got \"" + t.Text + "\"");
        ++FPos;
        if (t.Text.empty()) Fail(std::string("empty ") + what);
        return t.Text;
    }

    std::string Text(const char* what) {
        if (AtEnd()) Fail(std::string("missing ") + what);
        const Token& t = FTokens[FPos];
        if (t.Kind != Tok::Text && t.Kind != Tok::WideText)
            Fail(std::string("expected ") + what + " in quotation marks, got \"" + t.Text + "\"");
        ++FPos;
        return t.Text;
    }

    std::string Word(const char* what) {
        if (AtEnd()) Fail(std::string("missing ") + what);
        const Token& t = FTokens[FPos];
        if (t.Kind != Tok::Word) Fail(std::string("expected ") + what + ", got \"" + t.Text + "\"");
        ++FPos;
        return t.Text;
    }

    bool PeekWord(std::string_view word) const {
        return !AtEnd() && FTokens[FPos].Kind == Tok::Word && EqualsNoCase(FTokens[FPos].Text, word);
    }
    bool PeekText() const {
        return !AtEnd() && (FTokens[FPos].Kind == Tok::Text || FTokens[FPos].Kind == Tok::WideText);
    }

    bool OnOff() {
        const std::string w = Word("on or off");
        if (EqualsNoCase(w, "on")) return true;
        if (EqualsNoCase(w, "off")) return false;
        Fail("expected on or off, got \"" + w + "\"");
    }

    bool Boolean() {
        const std::string w = Word("true or false");
        if (EqualsNoCase(w, "true")) return true;
        if (EqualsNoCase(w, "false")) return false;
        Fail("expected true or false, got \"" + w + "\"");
    }

    int Integer(const char* what) {
        const std::string w = Word(what);
        int value = 0;
        auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
        if (ec != std::errc() || end != w.data() + w.size())
            Fail(std::string("expected ") + what + " (a 32-bit integer), got \"" + w + "\"");
        return value;
    }

    rt::Variant Value(int depth = 0) {
        if (AtEnd()) Fail("missing value");
        const Token& t = FTokens[FPos++];
        switch (t.Kind) {
        case Tok::Text:
            return rt::Variant(t.Text);
        case Tok::WideText:
            return rt::Variant(rt::Utf8ToUtf16(t.Text));
        case Tok::Word:
            return WordValue(t.Text);
        case Tok::Open:
            return ArrayValue(depth + 1);
        default:
            Fail("expected a value, got \"" + t.Text + "\"");
        }
    }

private:
    rt::Variant ArrayValue(int depth) {
        if (depth > kMaxArrayDepth) Fail("arrays nested deeper than " + std::to_string(kMaxArrayDepth));
        std::vector<rt::Variant> items;
        if (!AtEnd() && FTokens[FPos].Kind == Tok::Close) {
            ++FPos;
            return rt::VarArrayCreate({0, -1});
        }
        for (;;) {
            items.push_back(Value(depth));
            if (AtEnd()) Fail("array without its closing ]");
            const Token& t = FTokens[FPos++];
            if (t.Kind == Tok::Close) break;
            if (t.Kind != Tok::Comma) Fail("expected , or ] in an array, got \"" + t.Text + "\"");
        }
        return rt::VarArrayOf(items);
    }

    rt::Variant WordValue(const std::string& w) {
        if (EqualsNoCase(w, "true")) return rt::Variant(true);
        if (EqualsNoCase(w, "false")) return rt::Variant(false);
        if (EqualsNoCase(w, "null")) return rt::Null();
        if (EqualsNoCase(w, "empty")) return rt::Variant();
        if (w.size() > 6 && EqualsNoCase(std::string_view(w).substr(0, 5), "date(") && w.back() == ')') {
            double serial = 0;
            if (!ParseDouble(std::string_view(w).substr(5, w.size() - 6), serial))
                Fail("bad date \"" + w + "\"");
            return rt::Variant(rt::TDateTime(serial));
        }
        const bool looksNumeric = !w.empty() && (std::isdigit(static_cast<unsigned char>(w[0])) ||
                                                 ((w[0] == '-' || w[0] == '+') && w.size() > 1));
        if (looksNumeric) {
            const char* begin = w.data() + (w[0] == '+' ? 1 : 0);
            const char* end = w.data() + w.size();
            if (w.find_first_of(".eE") == std::string::npos) {
                long long value = 0;
                auto [p, ec] = std::from_chars(begin, end, value);
                if (ec == std::errc::result_out_of_range) Fail("integer out of range \"" + w + "\"");
                if (ec == std::errc() && p == end) {
                    if (value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max())
                        return rt::Variant(static_cast<int>(value));
                    return rt::Variant(value);
                }
            } else {
                double value = 0;
                if (ParseDouble(std::string_view(begin, static_cast<size_t>(end - begin)), value))
                    return rt::Variant(value);
            }
            Fail("bad number \"" + w + "\"");
        }
        Fail("\"" + w + "\" is not a value (texts go in quotation marks)");
    }

    static bool ParseDouble(std::string_view s, double& value) {
        auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
        return ec == std::errc() && p == s.data() + s.size() && std::isfinite(value);
    }

    const LineReader& FLine;
    std::vector<Token> FTokens;
    std::string FVerb;
    size_t FPos = 0;
};

// ---- commands --------------------------------------------------------------------------------------

struct VerbName {
    const char* Name;
    Verb Kind;
};
constexpr std::array kVerbs{
    VerbName{"load", Verb::Load},     VerbName{"free", Verb::Free},        VerbName{"hostapp", Verb::HostApp},
    VerbName{"events", Verb::Events}, VerbName{"params", Verb::Params},    VerbName{"call", Verb::Call},
    VerbName{"modal", Verb::Modal},   VerbName{"on-modal", Verb::OnModal}, VerbName{"focus", Verb::Focus},
    VerbName{"set", Verb::Set},       VerbName{"type", Verb::Type},        VerbName{"key", Verb::Key},
    VerbName{"click", Verb::Click},   VerbName{"check", Verb::Check},      VerbName{"choose", Verb::Choose},
    VerbName{"close", Verb::Close},   VerbName{"process", Verb::Process},  VerbName{"answer", Verb::Answer},
    VerbName{"lookup", Verb::Lookup}, VerbName{"expect", Verb::Expect},    VerbName{"echo", Verb::Echo},
};

KeyStroke ParseKeys(ArgReader& args) {
    const std::string spec = args.Name("key");
    KeyStroke keys;
    size_t start = 0;
    for (;;) {
        const size_t plus = spec.find('+', start);
        const std::string part =
            spec.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        if (plus == std::string::npos) {
            if (!ParseKeyName(part, keys.Key)) args.Fail("unknown key \"" + part + "\"");
            return keys;
        }
        if (EqualsNoCase(part, "Shift"))
            keys.Shift = true;
        else if (EqualsNoCase(part, "Ctrl"))
            keys.Ctrl = true;
        else if (EqualsNoCase(part, "Alt"))
            keys.Alt = true;
        else
            args.Fail("unknown shift key \"" + part + "\" (Shift, Ctrl or Alt)");
        start = plus + 1;
    }
}

void ParseCall(ArgReader& args, ScriptCommand& cmd) {
    const std::string name = args.Word("operation");
    auto it =
        std::find_if(kOps.begin(), kOps.end(), [&](const OpName& o) { return EqualsNoCase(o.Name, name); });
    if (it == kOps.end()) args.Fail("unknown controller operation \"" + name + "\"");
    cmd.Op = it->Op;
    switch (cmd.Op) {
    case ControllerOp::SetVisible:
        cmd.Flag = args.Boolean();
        break;
    case ControllerOp::Execute:
        cmd.Value = args.Value();
        break;
    case ControllerOp::Notify:
        cmd.Number = args.Integer("kind");
        cmd.Value = args.Value();
        break;
    default:
        break;
    }
}

void ParseExpect(ArgReader& args, ScriptCommand& cmd) {
    const std::string what =
        args.Word("what to expect (event, return, out, code, data, dialog, text, error)");
    if (EqualsNoCase(what, "event")) {
        cmd.Expect = ExpectKind::Event;
        if (args.PeekWord("none")) {
            args.Word("none");
            cmd.Flag = true;
        } else {
            cmd.Number = args.Integer("event code");
        }
    } else if (EqualsNoCase(what, "return")) {
        cmd.Expect = ExpectKind::Return;
        cmd.Value = args.Value();
    } else if (EqualsNoCase(what, "out")) {
        cmd.Expect = ExpectKind::Out;
        cmd.Value = args.Value();
    } else if (EqualsNoCase(what, "code")) {
        cmd.Expect = ExpectKind::Code;
        cmd.Number = args.Integer("result code");
    } else if (EqualsNoCase(what, "data")) {
        cmd.Expect = ExpectKind::Data;
        cmd.Value = args.Value();
    } else if (EqualsNoCase(what, "dialog")) {
        cmd.Expect = ExpectKind::Dialog;
        if (args.PeekWord("none")) {
            args.Word("none");
            cmd.Flag = true;
        } else {
            cmd.Text = args.Text("dialog text");
        }
    } else if (EqualsNoCase(what, "text")) {
        cmd.Expect = ExpectKind::Text;
        cmd.Path = args.Name("control path");
        cmd.Text = args.Text("control text");
    } else if (EqualsNoCase(what, "error")) {
        cmd.Expect = ExpectKind::Error;
        cmd.Text = args.Text("error text");
    } else {
        args.Fail("cannot expect \"" + what + "\" (event, return, out, code, data, dialog, text, error)");
    }
}

void ParseArguments(ArgReader& args, ScriptCommand& cmd) {
    switch (cmd.Kind) {
    case Verb::Load:
        cmd.Path = args.Name("module path");
        break;
    case Verb::Free:
    case Verb::Modal:
    case Verb::Process:
        break;
    case Verb::HostApp:
    case Verb::Events:
        cmd.Flag = args.OnOff();
        break;
    case Verb::Params:
        while (!args.AtEnd()) cmd.Values.push_back(args.Value());
        break;
    case Verb::Call:
        ParseCall(args, cmd);
        break;
    case Verb::OnModal:
        cmd.Path = args.Word("form class");
        break;
    case Verb::Focus:
    case Verb::Click:
    case Verb::Close:
        cmd.Path = args.Name("control path");
        break;
    case Verb::Set:
        cmd.Path = args.Name("control path");
        cmd.Value = args.Value();
        break;
    case Verb::Type:
        cmd.Path = args.Name("control path");
        cmd.Text = args.Text("text to type");
        break;
    case Verb::Key:
        cmd.Path = args.Name("control path");
        cmd.Keys = ParseKeys(args);
        break;
    case Verb::Check:
        cmd.Path = args.Name("control path");
        cmd.Flag = args.Boolean();
        break;
    case Verb::Choose:
        cmd.Path = args.Name("control path");
        if (args.PeekText()) {
            cmd.Text = args.Text("item");
        } else {
            cmd.Number = args.Integer("item index");
            if (cmd.Number < 0) args.Fail("an item index is 0 or more");
            cmd.Flag = true;
        }
        break;
    case Verb::Answer: {
        const std::string name = args.Word("button");
        auto it = std::find_if(kButtons.begin(), kButtons.end(),
                               [&](const ButtonName& b) { return EqualsNoCase(b.Name, name); });
        if (it == kButtons.end()) args.Fail("unknown button \"" + name + "\"");
        cmd.Number = static_cast<int>(it->Button);
        break;
    }
    case Verb::Lookup:
        cmd.Value = args.Value();
        break;
    case Verb::Expect:
        ParseExpect(args, cmd);
        break;
    case Verb::Echo:
        cmd.Path = args.Text("text");
        break;
    }
    args.ExpectEnd();
}

class Parser {
public:
    Parser(std::string_view text, std::string file) : FText(text), FFile(std::move(file)) {}

    Script Run() {
        Script script;
        script.File = FFile;
        int openLine = 0;
        script.Commands = Block(0, openLine);
        return script;
    }

private:
    // Reads commands up to "end" (inside a block) or the end of the text (at the top).
    std::vector<ScriptCommand> Block(int depth, int openLine) {
        std::vector<ScriptCommand> commands;
        std::string_view line;
        while (NextLine(line)) {
            LineReader reader(FFile, FLineNo);
            if (line.find('\0') != std::string_view::npos) reader.Fail("the line holds a NUL character");
            if (!ValidUtf8(line)) reader.Fail("the line is not valid UTF-8");
            std::vector<Token> tokens = reader.Tokenize(line);
            if (tokens.empty()) continue;
            if (tokens[0].Kind != Tok::Word) reader.Fail("a line starts with a command word");
            const std::string verb = tokens[0].Text;
            if (verb == "end") {
                if (depth == 0) reader.Fail("end without modal or on-modal");
                if (tokens.size() > 1) reader.Fail("end takes no arguments");
                return commands;
            }
            auto it =
                std::find_if(kVerbs.begin(), kVerbs.end(), [&](const VerbName& v) { return verb == v.Name; });
            if (it == kVerbs.end()) reader.Fail("unknown command \"" + verb + "\"");
            ScriptCommand cmd;
            cmd.Line = FLineNo;
            cmd.Kind = it->Kind;
            ArgReader args(reader, std::vector<Token>(tokens.begin() + 1, tokens.end()), verb);
            ParseArguments(args, cmd);
            if (cmd.Kind == Verb::Modal || cmd.Kind == Verb::OnModal) {
                if (depth + 1 > kMaxBlockDepth)
                    reader.Fail("blocks nested deeper than " + std::to_string(kMaxBlockDepth));
                cmd.Body = Block(depth + 1, FLineNo);
            }
            commands.push_back(std::move(cmd));
        }
        if (depth > 0) throw ScriptError(FFile, openLine, "block without its end");
        return commands;
    }

    bool NextLine(std::string_view& line) {
        if (FPos >= FText.size()) return false;
        size_t end = FText.find('\n', FPos);
        if (end == std::string_view::npos) end = FText.size();
        line = FText.substr(FPos, end - FPos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        FPos = end + 1;
        ++FLineNo;
        return true;
    }

    std::string_view FText;
    std::string FFile;
    size_t FPos = 0;
    int FLineNo = 0;
};

} // namespace

Script ParseScript(std::string_view text, const std::string& file) {
    return Parser(text, file).Run();
}

Script LoadScript(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ScriptError(path, 0, "cannot read the script");
    std::stringstream ss;
    ss << in.rdbuf();
    return ParseScript(ss.str(), path);
}

const char* ControllerOpName(ControllerOp op) {
    for (const auto& o : kOps)
        if (o.Op == op) return o.Name;
    return "?";
}

const char* DialogButtonName(DialogButton button) {
    for (const auto& b : kButtons)
        if (b.Button == button) return b.Name;
    return "none";
}

std::string KeyStrokeName(const KeyStroke& keys) {
    std::string name;
    if (keys.Ctrl) name += "Ctrl+";
    if (keys.Alt) name += "Alt+";
    if (keys.Shift) name += "Shift+";
    for (const auto& k : kKeys)
        if (k.Code == keys.Key) return name + k.Name;
    if (keys.Key >= 0x70 && keys.Key <= 0x7B) return name + "F" + std::to_string(keys.Key - 0x6F);
    return name + static_cast<char>(keys.Key);
}

} // namespace kvx::host
