#include "ui/FormResourceParser.h"

#include "core/SysUtils.h"
#include "core/Utf8.h"

#include <charconv>
#include <cstdio>

namespace rt {

EFormResourceError::EFormResourceError(std::string file, int line, std::string property,
                                       const std::string& message)
    : EReadError(file + "(" + std::to_string(line) +
                 "): " + (property.empty() ? message : "Error reading " + property + ": " + message)),
      FFile(std::move(file)), FLine(line), FProperty(std::move(property)), FReason(message) {}

namespace {

constexpr int kMaxDepth = 100;

enum TTokenKind { tkEnd, tkIdent, tkString, tkInteger, tkFloat, tkSymbol, tkBinary };

struct TToken {
    TTokenKind Kind = tkEnd;
    std::string Text; // identifier, decoded string, symbol, binary digits
    int64_t Int = 0;
    double Float = 0;
    int Line = 1;
};

bool IsIdentStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentChar(char c) {
    return IsIdentStart(c) || (c >= '0' && c <= '9');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHex(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

class TLexer {
public:
    TLexer(std::string_view text, const std::string& file) : FText(text), FFile(file) {
        if (FText.substr(0, 3) == "\xEF\xBB\xBF") FPos = 3; // byte order mark
    }

    [[noreturn]] void Error(int line, const std::string& message) const {
        throw EFormResourceError(FFile, line, "", message);
    }

    TToken Next() {
        SkipBlanks();
        TToken t;
        t.Line = FLine;
        if (FPos >= FText.size()) return t;
        char c = FText[FPos];
        if (IsIdentStart(c)) {
            size_t start = FPos;
            while (FPos < FText.size() && (IsIdentChar(FText[FPos]) || FText[FPos] == '.')) ++FPos;
            t.Kind = tkIdent;
            t.Text = std::string(FText.substr(start, FPos - start));
            if (t.Text.back() == '.') Error(t.Line, "Invalid identifier '" + t.Text + "'");
            return t;
        }
        if (c == '\'' || c == '#') return String(t);
        if (IsDigit(c) || c == '$' ||
            ((c == '-' || c == '+') && FPos + 1 < FText.size() &&
             (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == '$')))
            return Number(t);
        if (c == '{') return Binary(t);
        if (c == '=' || c == ':' || c == '[' || c == ']' || c == '(' || c == ')' || c == '<' || c == '>' ||
            c == ',' || c == '+') {
            ++FPos;
            t.Kind = tkSymbol;
            t.Text = std::string(1, c);
            return t;
        }
        std::string shown = static_cast<unsigned char>(c) < 32 ? "#" + std::to_string(static_cast<int>(c))
                                                               : std::string(1, c);
        Error(t.Line, "Invalid character '" + shown + "'");
    }

private:
    void SkipBlanks() {
        while (FPos < FText.size()) {
            char c = FText[FPos];
            if (c == '\n') {
                ++FLine;
                ++FPos;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++FPos;
            } else {
                break;
            }
        }
    }

    TToken String(TToken& t) {
        t.Kind = tkString;
        while (FPos < FText.size()) {
            char c = FText[FPos];
            if (c == '\'') {
                ++FPos;
                while (true) {
                    if (FPos >= FText.size() || FText[FPos] == '\n' || FText[FPos] == '\r')
                        Error(t.Line, "Unterminated string");
                    if (FText[FPos] == '\'') {
                        if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
                            t.Text += '\'';
                            FPos += 2;
                            continue;
                        }
                        ++FPos;
                        break;
                    }
                    t.Text += FText[FPos++];
                }
            } else if (c == '#') {
                ++FPos;
                uint32_t code = 0;
                size_t start = FPos;
                bool hex = FPos < FText.size() && FText[FPos] == '$';
                if (hex) ++FPos;
                size_t digits = FPos;
                while (FPos < FText.size() && (hex ? IsHex(FText[FPos]) : IsDigit(FText[FPos]))) ++FPos;
                if (FPos == digits || FPos - digits > 8) Error(t.Line, "Invalid character code");
                std::from_chars(FText.data() + digits, FText.data() + FPos, code, hex ? 16 : 10);
                if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                    Error(t.Line, "Invalid character code " + std::string(FText.substr(start, FPos - start)));
                AppendUtf8(code, t.Text);
            } else {
                break;
            }
        }
        return t;
    }

    TToken Number(TToken& t) {
        size_t start = FPos;
        bool negative = false;
        if (FText[FPos] == '-' || FText[FPos] == '+') {
            negative = FText[FPos] == '-';
            ++FPos;
        }
        if (FText[FPos] == '$') {
            ++FPos;
            size_t digits = FPos;
            while (FPos < FText.size() && IsHex(FText[FPos])) ++FPos;
            uint64_t v = 0;
            auto [p, ec] = std::from_chars(FText.data() + digits, FText.data() + FPos, v, 16);
            if (FPos == digits || ec != std::errc() || FPos - digits > 16) Error(t.Line, "Invalid number");
            t.Kind = tkInteger;
            t.Int = static_cast<int64_t>(v);
            if (negative) t.Int = -t.Int;
            return t;
        }
        while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
        bool isFloat = false;
        if (FPos < FText.size() && FText[FPos] == '.') {
            isFloat = true;
            ++FPos;
            while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
        }
        if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
            isFloat = true;
            ++FPos;
            if (FPos < FText.size() && (FText[FPos] == '-' || FText[FPos] == '+')) ++FPos;
            while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
        }
        std::string_view num = FText.substr(start, FPos - start);
        if (!num.empty() && num.front() == '+') num.remove_prefix(1);
        // A suffix the platform writes after some floats (s single, c currency, d date) is ignored.
        if (isFloat && FPos < FText.size() &&
            (FText[FPos] == 's' || FText[FPos] == 'c' || FText[FPos] == 'd'))
            ++FPos;
        if (FPos < FText.size() && IsIdentChar(FText[FPos])) Error(t.Line, "Invalid number");
        if (isFloat) {
            auto [p, ec] = std::from_chars(num.data(), num.data() + num.size(), t.Float);
            if (ec != std::errc() || p != num.data() + num.size()) Error(t.Line, "Invalid number");
            t.Kind = tkFloat;
        } else {
            auto [p, ec] = std::from_chars(num.data(), num.data() + num.size(), t.Int);
            if (ec != std::errc() || p != num.data() + num.size()) Error(t.Line, "Invalid number");
            t.Kind = tkInteger;
        }
        return t;
    }

    TToken Binary(TToken& t) {
        ++FPos;
        t.Kind = tkBinary;
        while (true) {
            if (FPos >= FText.size()) Error(t.Line, "Unterminated binary data");
            char c = FText[FPos++];
            if (c == '}') break;
            if (c == '\n') {
                ++FLine;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\r') continue;
            if (!IsHex(c)) Error(FLine, "Invalid binary data");
            t.Text += c;
        }
        return t;
    }

    std::string_view FText;
    const std::string& FFile;
    size_t FPos = 0;
    int FLine = 1;
};

class TParser {
public:
    TParser(std::string_view text, const std::string& file) : FLexer(text, file) { Advance(); }

    TResObject ParseRoot() {
        TResObject root = ParseObject(0);
        if (FToken.Kind != tkEnd) FLexer.Error(FToken.Line, "Text after the final 'end'");
        return root;
    }

private:
    void Advance() { FToken = FLexer.Next(); }

    bool IsSymbol(char c) const { return FToken.Kind == tkSymbol && FToken.Text[0] == c; }
    bool IsKeyword(const char* word) const { return FToken.Kind == tkIdent && SameText(FToken.Text, word); }
    bool IsObjectStart() const {
        return IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline");
    }

    void Expect(char c, const char* what) {
        if (!IsSymbol(c)) FLexer.Error(FToken.Line, std::string("'") + c + "' expected " + what + Found());
        Advance();
    }

    std::string Found() const {
        switch (FToken.Kind) {
        case tkEnd:
            return " but the text ended";
        case tkIdent:
            return " but '" + FToken.Text + "' found";
        case tkString:
            return " but a string found";
        case tkInteger:
        case tkFloat:
            return " but a number found";
        case tkSymbol:
            return " but '" + FToken.Text + "' found";
        case tkBinary:
            return " but binary data found";
        }
        return {};
    }

    std::string ExpectIdent(const char* what) {
        if (FToken.Kind != tkIdent)
            FLexer.Error(FToken.Line, std::string("Identifier expected ") + what + Found());
        std::string s = FToken.Text;
        Advance();
        return s;
    }

    TResObject ParseObject(int depth) {
        if (depth > kMaxDepth) FLexer.Error(FToken.Line, "Components nested too deeply");
        TResObject obj;
        obj.Line = FToken.Line;
        if (IsKeyword("object"))
            obj.Kind = TResObject::rkObject;
        else if (IsKeyword("inherited"))
            obj.Kind = TResObject::rkInherited;
        else if (IsKeyword("inline"))
            obj.Kind = TResObject::rkInline;
        else
            FLexer.Error(FToken.Line, "'object' expected" + Found());
        Advance();
        std::string first = ExpectIdent("after 'object'");
        if (IsSymbol(':')) {
            Advance();
            obj.Name = first;
            obj.ClassName = ExpectIdent("as the class name");
        } else {
            obj.ClassName = first;
        }
        if (obj.Name.find('.') != std::string::npos || obj.ClassName.find('.') != std::string::npos)
            FLexer.Error(obj.Line, "Invalid component name or class name");
        if (IsSymbol('[')) { // position of an inherited component: not needed here
            Advance();
            if (FToken.Kind != tkInteger) FLexer.Error(FToken.Line, "Number expected in '[ ]'" + Found());
            Advance();
            Expect(']', "after the position");
        }
        while (!IsKeyword("end")) {
            if (FToken.Kind == tkEnd) FLexer.Error(FToken.Line, "'end' expected for '" + obj.Name + "'");
            if (IsObjectStart()) {
                obj.Children.push_back(ParseObject(depth + 1));
            } else {
                obj.Properties.push_back(ParseProperty(depth));
            }
        }
        Advance(); // end
        return obj;
    }

    TResProperty ParseProperty(int depth) {
        TResProperty p;
        p.Line = FToken.Line;
        p.Name = ExpectIdent("as a property name");
        if (!IsSymbol('=')) FLexer.Error(p.Line, "'=' expected after the property name " + p.Name + Found());
        Advance();
        p.Value = ParseValue(depth);
        return p;
    }

    void Expect(char c, const std::string& what) { Expect(c, what.c_str()); }

    TResValue ParseValue(int depth) {
        if (depth > kMaxDepth) FLexer.Error(FToken.Line, "Values nested too deeply");
        TResValue v;
        v.Line = FToken.Line;
        switch (FToken.Kind) {
        case tkInteger:
            v.Kind = TResValue::vkInteger;
            v.Int = FToken.Int;
            Advance();
            return v;
        case tkFloat:
            v.Kind = TResValue::vkFloat;
            v.Float = FToken.Float;
            Advance();
            return v;
        case tkString:
            v.Kind = TResValue::vkString;
            v.Str = FToken.Text;
            Advance();
            while (IsSymbol('+')) {
                Advance();
                if (FToken.Kind != tkString) FLexer.Error(FToken.Line, "String expected after '+'" + Found());
                v.Str += FToken.Text;
                Advance();
            }
            return v;
        case tkIdent:
            v.Kind = TResValue::vkIdent;
            v.Str = FToken.Text;
            Advance();
            return v;
        case tkBinary:
            v.Kind = TResValue::vkBinary;
            v.Str = FToken.Text;
            Advance();
            return v;
        case tkSymbol:
            break;
        case tkEnd:
            FLexer.Error(FToken.Line, "Value expected but the text ended");
        }
        if (IsSymbol('[')) {
            v.Kind = TResValue::vkSet;
            Advance();
            while (!IsSymbol(']')) {
                v.Names.push_back(ExpectIdent("in a set"));
                if (IsSymbol(',')) {
                    Advance();
                    if (IsSymbol(']')) FLexer.Error(FToken.Line, "Set element expected after ','");
                } else if (!IsSymbol(']')) {
                    FLexer.Error(FToken.Line, "',' or ']' expected in a set" + Found());
                }
            }
            Advance();
            return v;
        }
        if (IsSymbol('(')) {
            v.Kind = TResValue::vkList;
            Advance();
            while (!IsSymbol(')')) {
                if (FToken.Kind == tkEnd) FLexer.Error(FToken.Line, "')' expected to end the list");
                v.List.push_back(ParseValue(depth + 1));
            }
            Advance();
            return v;
        }
        if (IsSymbol('<')) {
            v.Kind = TResValue::vkCollection;
            Advance();
            while (!IsSymbol('>')) {
                if (!IsKeyword("item"))
                    FLexer.Error(FToken.Line, "'item' expected in a collection" + Found());
                TResItem item;
                item.Line = FToken.Line;
                Advance();
                while (!IsKeyword("end")) {
                    if (FToken.Kind == tkEnd)
                        FLexer.Error(FToken.Line, "'end' expected for the collection item");
                    item.Properties.push_back(ParseProperty(depth + 1));
                }
                Advance();
                v.Items.push_back(std::move(item));
            }
            Advance();
            return v;
        }
        FLexer.Error(FToken.Line, "Value expected" + Found());
    }

    TLexer FLexer;
    TToken FToken;
};

} // namespace

TResObject ParseFormResource(std::string_view text, const std::string& fileName) {
    TParser parser(text, fileName);
    return parser.ParseRoot();
}

std::string ResourceClassName(std::string_view text) {
    try {
        std::string file;
        TLexer lexer(text, file);
        TToken t = lexer.Next();
        if (t.Kind != tkIdent ||
            !(SameText(t.Text, "object") || SameText(t.Text, "inherited") || SameText(t.Text, "inline")))
            return {};
        TToken name = lexer.Next();
        if (name.Kind != tkIdent) return {};
        TToken colon = lexer.Next();
        if (colon.Kind == tkSymbol && colon.Text == ":") {
            TToken cls = lexer.Next();
            return cls.Kind == tkIdent ? cls.Text : std::string();
        }
        return name.Text;
    } catch (const EFormResourceError&) {
        return {};
    }
}

std::string DescribeValue(const TResValue& v) {
    switch (v.Kind) {
    case TResValue::vkInteger:
        return std::to_string(v.Int);
    case TResValue::vkFloat: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%g", v.Float);
        return buf;
    }
    case TResValue::vkString:
        return "'" + v.Str + "'";
    case TResValue::vkIdent:
        return v.Str;
    case TResValue::vkSet: {
        std::string s = "[";
        for (size_t i = 0; i < v.Names.size(); ++i) s += (i ? ", " : "") + v.Names[i];
        return s + "]";
    }
    case TResValue::vkList:
        return "(list of " + std::to_string(v.List.size()) + ")";
    case TResValue::vkCollection:
        return "<collection of " + std::to_string(v.Items.size()) + ">";
    case TResValue::vkBinary:
        return "{binary}";
    }
    return {};
}

} // namespace rt
