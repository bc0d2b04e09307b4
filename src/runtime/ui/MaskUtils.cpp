#include "ui/MaskUtils.h"

#include "core/Utf8.h"

#include <algorithm>
#include <utility>

namespace rt {

namespace {

// ---- UTF-8 characters ------------------------------------------------------------------------------

// The length of the character at s[i]: a well-formed UTF-8 sequence, or one stray byte.
size_t CharLength(std::string_view s, size_t i) {
    size_t next = i;
    DecodeUtf8(s, next);
    return next - i;
}

// What a stray byte becomes (U+FFFD). Keeping stray bytes would not be safe: laid next to each other
// in a new order they can form a valid sequence, and the edit text would no longer split into the
// positions it was built from.
constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";

bool IsStray(std::string_view c) {
    return c.size() == 1 && static_cast<unsigned char>(c[0]) >= 0x80;
}

// The characters of a text, stray bytes replaced.
std::vector<std::string_view> SplitChars(std::string_view s) {
    std::vector<std::string_view> chars;
    chars.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const std::string_view c = s.substr(i, CharLength(s, i));
        chars.push_back(IsStray(c) ? kReplacementChar : c);
        i += c.size();
    }
    return chars;
}

bool IsEncodable(char32_t ch) {
    return ch <= 0x10FFFF && !(ch >= 0xD800 && ch <= 0xDFFF);
}

std::string EncodeChar(char32_t ch) {
    std::string out;
    AppendUtf8(ch, out);
    return out;
}

// The first character of a text (a stray byte replaced), or fallback for an empty text.
std::string_view FirstChar(std::string_view s, std::string_view fallback) {
    if (s.empty()) return fallback;
    const std::string_view c = s.substr(0, CharLength(s, 0));
    return IsStray(c) ? kReplacementChar : c;
}

// ---- Character classes -----------------------------------------------------------------------------

struct Range {
    char32_t lo, hi;
};

// Letters of the repertoires the module meets (code pages 936, 950, 437 and Latin-1).
constexpr Range kLetterRanges[] = {
    {U'A', U'Z'},       {U'a', U'z'},     {0x00AA, 0x00AA}, {0x00B5, 0x00B5}, {0x00BA, 0x00BA},
    {0x00C0, 0x00D6},   {0x00D8, 0x00F6}, {0x00F8, 0x024F}, {0x0386, 0x0386}, {0x0388, 0x03CE},
    {0x0400, 0x0481},   {0x048A, 0x052F}, {0x3005, 0x3007}, {0x3041, 0x3096}, {0x30A1, 0x30FA},
    {0x30FC, 0x30FF},   {0x3105, 0x312F}, {0x31A0, 0x31BF}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF},
    {0xAC00, 0xD7A3},   {0xF900, 0xFAFF}, {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A}, {0xFF66, 0xFF9F},
    {0x20000, 0x3134F},
};

bool IsLetter(char32_t ch) {
    return std::any_of(std::begin(kLetterRanges), std::end(kLetterRanges),
                       [ch](const Range& r) { return ch >= r.lo && ch <= r.hi; });
}

bool IsDigit(char32_t ch) {
    return ch >= U'0' && ch <= U'9';
}
bool IsFullWidthDigit(char32_t ch) {
    return ch >= 0xFF10 && ch <= 0xFF19;
}
bool IsControl(char32_t ch) {
    return ch < 0x20 || (ch >= 0x7F && ch < 0xA0);
}

// Case mapping for ASCII, Latin-1 and the full-width Latin letters.
char32_t ToUpper(char32_t ch) {
    if (ch >= U'a' && ch <= U'z') return ch - 0x20;
    if (ch >= 0xE0 && ch <= 0xFE && ch != 0xF7) return ch - 0x20;
    if (ch >= 0xFF41 && ch <= 0xFF5A) return ch - 0x20;
    return ch;
}

char32_t ToLower(char32_t ch) {
    if (ch >= U'A' && ch <= U'Z') return ch + 0x20;
    if (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7) return ch + 0x20;
    if (ch >= 0xFF21 && ch <= 0xFF3A) return ch + 0x20;
    return ch;
}

bool IsRuleChar(std::string_view c) {
    return c.size() == 1 && std::string_view("LlAaCc09#").find(c[0]) != std::string_view::npos;
}

// ---- Edit text against the mask --------------------------------------------------------------------

std::string_view BlankOf(const EditMask& mask) {
    return FirstChar(mask.blank, "_");
}

// The character an untouched position shows: the literal, or the blank.
std::string_view SkeletonChar(const EditMask& mask, const MaskPosition& p) {
    return p.IsLiteral() ? std::string_view(p.literal) : BlankOf(mask);
}

// An edit text cut into characters and laid against the mask (see the header on alignment).
struct Aligned {
    std::vector<std::string_view> chars;
    size_t first = 0; // chars[first + p] shows mask position p

    bool IsLiteral(const EditMask& mask, size_t i) const {
        return i >= first && i - first < mask.positions.size() && mask.positions[i - first].IsLiteral();
    }
};

Aligned AlignEditText(const EditMask& mask, std::string_view editText) {
    Aligned a;
    a.chars = SplitChars(editText);
    const size_t m = mask.positions.size();
    const size_t n = a.chars.size();
    if (n < m) {
        // Complete the missing positions with the skeleton: at the end, or at the start in reverse mode.
        std::vector<std::string_view> full;
        full.reserve(m);
        const size_t missing = m - n;
        if (mask.reverse) {
            for (size_t p = 0; p < missing; ++p) full.push_back(SkeletonChar(mask, mask.positions[p]));
            full.insert(full.end(), a.chars.begin(), a.chars.end());
        } else {
            full = a.chars;
            for (size_t p = n; p < m; ++p) full.push_back(SkeletonChar(mask, mask.positions[p]));
        }
        a.chars = std::move(full);
    } else if (mask.reverse) {
        a.first = n - m;
    }
    return a;
}

// The data characters of an edit text: literal positions dropped, blanks stripped at the end (at the
// start in reverse mode), remaining blanks as spaces.
std::vector<std::string_view> DataChars(const EditMask& mask, std::string_view editText) {
    const Aligned a = AlignEditText(mask, editText);
    const std::string_view blank = BlankOf(mask);
    std::vector<std::string_view> data;
    data.reserve(a.chars.size());
    for (size_t i = 0; i < a.chars.size(); ++i)
        if (!a.IsLiteral(mask, i)) data.push_back(a.chars[i]);
    if (mask.reverse) {
        const auto keep =
            std::find_if(data.begin(), data.end(), [&](std::string_view c) { return c != blank; });
        data.erase(data.begin(), keep);
    } else {
        while (!data.empty() && data.back() == blank) data.pop_back();
    }
    for (auto& c : data)
        if (c == blank) c = " ";
    return data;
}

std::string Join(const std::vector<std::string_view>& chars) {
    size_t size = 0;
    for (const auto c : chars) size += c.size();
    std::string out;
    out.reserve(size);
    for (const auto c : chars) out += c;
    return out;
}

// Lays characters into the mask's input positions in order (from the right in reverse mode), the
// literals in between; missing characters become fill, surplus ones are kept outside the mask.
std::string LayIntoMask(const EditMask& mask, const std::vector<std::string_view>& value,
                        std::string_view fill) {
    const size_t m = mask.positions.size();
    std::vector<std::string_view> out(m);
    std::vector<std::string_view> surplus;
    if (mask.reverse) {
        size_t k = value.size();
        for (size_t p = m; p-- > 0;) {
            const MaskPosition& pos = mask.positions[p];
            out[p] = pos.IsLiteral() ? std::string_view(pos.literal) : k > 0 ? value[--k] : fill;
        }
        surplus.assign(value.begin(), value.begin() + static_cast<std::ptrdiff_t>(k));
        surplus.insert(surplus.end(), out.begin(), out.end());
        return Join(surplus);
    }
    size_t k = 0;
    for (size_t p = 0; p < m; ++p) {
        const MaskPosition& pos = mask.positions[p];
        out[p] = pos.IsLiteral() ? std::string_view(pos.literal) : k < value.size() ? value[k++] : fill;
    }
    out.insert(out.end(), value.begin() + static_cast<std::ptrdiff_t>(k), value.end());
    return Join(out);
}

// The segment rules of saved literals: the value is split at each of the mask's literals in turn.
std::string SplitIntoMask(const EditMask& mask, const std::vector<std::string_view>& value,
                          std::string_view blank) {
    const size_t m = mask.positions.size();
    std::vector<std::string_view> out;
    out.reserve(m);
    size_t k = 0; // next unread character of the value
    for (size_t p = 0; p <= m;) {
        size_t q = p;
        while (q < m && !mask.positions[q].IsLiteral()) ++q;
        const size_t width = q - p;
        // The piece of the value up to the literal that closes this field, or the whole rest when that
        // literal is missing (or there is none): then nothing is left for the fields after it.
        size_t end = value.size();
        size_t next = value.size();
        if (q < m) {
            const auto it = std::find(value.begin() + static_cast<std::ptrdiff_t>(k), value.end(),
                                      std::string_view(mask.positions[q].literal));
            if (it != value.end()) {
                end = static_cast<size_t>(it - value.begin());
                next = end + 1;
            }
        }
        const size_t len = end - k;
        const size_t take = std::min(len, width);
        const size_t from = mask.reverse ? end - take : k;
        if (mask.reverse)
            for (size_t i = take; i < width; ++i) out.push_back(blank);
        for (size_t i = 0; i < take; ++i) out.push_back(value[from + i]);
        if (!mask.reverse)
            for (size_t i = take; i < width; ++i) out.push_back(blank);
        k = next;
        if (q < m) out.push_back(mask.positions[q].literal);
        p = q + 1;
    }
    return Join(out);
}

std::string AssignText(const EditMask& mask, std::string_view text, bool saveLiterals,
                       std::string_view blank) {
    if (mask.IsEmpty()) return std::string(text);
    const auto value = SplitChars(text);
    return saveLiterals ? SplitIntoMask(mask, value, blank) : LayIntoMask(mask, value, blank);
}

} // namespace

// ---- Parsing ---------------------------------------------------------------------------------------

EditMask ParseEditMask(std::string_view maskText, const MaskSeparators& separators) {
    EditMask mask;
    const auto chars = SplitChars(maskText);
    const size_t n = chars.size();

    size_t sep = n;
    bool escaped = false;
    for (size_t i = 0; i < n; ++i) {
        if (escaped) {
            escaped = false;
        } else if (chars[i] == "\\") {
            escaped = true;
        } else if (chars[i] == ";" && i + 4 >= n) {
            sep = i;
            break;
        }
    }
    if (sep < n) {
        size_t i = sep + 1;
        const size_t saveStart = i;
        while (i < n && chars[i] != ";") ++i;
        mask.saveLiterals = !(i > saveStart && chars[saveStart] == "0");
        if (i + 1 < n) mask.blank = std::string(chars[i + 1]);
    }

    const std::string timeSep(FirstChar(separators.time, ":"));
    const std::string dateSep(FirstChar(separators.date, "/"));
    MaskCase charCase = MaskCase::None;
    const auto addLiteral = [&](std::string literal) {
        mask.positions.push_back(MaskPosition{0, std::move(literal), charCase});
    };
    for (size_t i = 0; i < sep; ++i) {
        const std::string_view c = chars[i];
        if (c == "!") {
            mask.reverse = true;
        } else if (c == ">") {
            charCase = MaskCase::Upper;
        } else if (c == "<") {
            if (i + 1 < sep && chars[i + 1] == ">") {
                charCase = MaskCase::None;
                ++i;
            } else {
                charCase = MaskCase::Lower;
            }
        } else if (c == "\\") {
            if (i + 1 < sep) addLiteral(std::string(chars[++i]));
        } else if (IsRuleChar(c)) {
            mask.positions.push_back(MaskPosition{c[0], {}, charCase});
        } else if (c == ":") {
            addLiteral(timeSep);
        } else if (c == "/") {
            addLiteral(dateSep);
        } else {
            addLiteral(std::string(c));
        }
    }
    return mask;
}

// ---- Text and EditText -----------------------------------------------------------------------------

std::string MaskEditTextFromText(const EditMask& mask, std::string_view text) {
    return AssignText(mask, text, mask.saveLiterals, BlankOf(mask));
}

std::string UnmaskEditText(const EditMask& mask, std::string_view editText) {
    if (mask.IsEmpty()) return std::string(editText);
    return Join(DataChars(mask, editText));
}

std::string MaskTextFromEditText(const EditMask& mask, std::string_view editText) {
    if (mask.IsEmpty()) return std::string(editText);
    const auto data = DataChars(mask, editText);
    if (!mask.saveLiterals) return Join(data);
    return LayIntoMask(mask, data, " ");
}

std::string FormatMaskText(std::string_view maskText, std::string_view value,
                           const MaskSeparators& separators) {
    const EditMask mask = ParseEditMask(maskText, separators);
    return AssignText(mask, value, mask.saveLiterals, " ");
}

MaskReformat ReformatEditText(const EditMask& oldMask, const EditMask& newMask, std::string_view editText) {
    const std::string bare = UnmaskEditText(oldMask, editText);
    if (newMask.IsEmpty()) return {bare, 0};
    return {AssignText(newMask, bare, false, BlankOf(newMask)), newMask.Length()};
}

MaskReformat ReformatEditText(std::string_view oldMask, std::string_view newMask, std::string_view editText,
                              const MaskSeparators& separators) {
    return ReformatEditText(ParseEditMask(oldMask, separators), ParseEditMask(newMask, separators), editText);
}

std::string MaskBareValue(std::string_view maskText, std::string_view text,
                          const MaskSeparators& separators) {
    const EditMask mask = ParseEditMask(maskText, separators);
    return UnmaskEditText(mask, MaskEditTextFromText(mask, text));
}

// ---- Typing and validation -------------------------------------------------------------------------

bool MaskCharAccepts(char rule, char32_t ch) {
    if (!IsEncodable(ch) || IsControl(ch)) return false;
    switch (rule) {
    case 'L':
    case 'l':
        return IsLetter(ch);
    case 'A':
    case 'a':
        return IsLetter(ch) || IsDigit(ch) || IsFullWidthDigit(ch);
    case 'C':
    case 'c':
        return true;
    case '0':
    case '9':
        return IsDigit(ch);
    case '#':
        return IsDigit(ch) || ch == U'+' || ch == U'-' || ch == U' ';
    default:
        return false;
    }
}

int ValidateEditText(const EditMask& mask, std::string_view editText) {
    const Aligned a = AlignEditText(mask, editText);
    const std::string_view blank = BlankOf(mask);
    for (size_t p = 0; p < mask.positions.size(); ++p) {
        const MaskPosition& pos = mask.positions[p];
        if (!pos.IsRequired()) continue;
        const std::string_view c = a.chars[a.first + p];
        if (c == blank || (c == " " && pos.rule != 'C')) return static_cast<int>(a.first + p);
    }
    return -1;
}

MaskTyping::MaskTyping(EditMask mask, std::string_view editText, int cursor) : FMask(std::move(mask)) {
    const Aligned a = AlignEditText(FMask, editText);
    FCells.assign(a.chars.begin(), a.chars.end());
    FFirst = static_cast<int>(a.first);
    SetCursor(cursor);
}

std::string MaskTyping::EditText() const {
    std::string out;
    for (const auto& c : FCells) out += c;
    return out;
}

void MaskTyping::SetCursor(int cursor) {
    FCursor = std::clamp(cursor, 0, static_cast<int>(FCells.size()));
}

bool MaskTyping::IsMaskCell(int index) const {
    return index >= FFirst && index - FFirst < FMask.Length() && index < static_cast<int>(FCells.size());
}

bool MaskTyping::IsInputCell(int index) const {
    return IsMaskCell(index) && !PositionAt(index).IsLiteral();
}

int MaskTyping::NextInputCell(int from) const {
    for (int i = std::max(from, FFirst); IsMaskCell(i); ++i)
        if (!PositionAt(i).IsLiteral()) return i;
    return -1;
}

void MaskTyping::SkipLiterals() {
    while (IsMaskCell(FCursor) && PositionAt(FCursor).IsLiteral()) ++FCursor;
}

void MaskTyping::EraseCell(int index) {
    if (IsInputCell(index)) {
        FCells[index] = std::string(BlankOf(FMask));
    } else if (!IsMaskCell(index)) {
        // A character outside the mask (an over-long value) goes away like in a plain edit.
        FCells.erase(FCells.begin() + index);
        if (index < FFirst) --FFirst;
    }
}

bool MaskTyping::TypeChar(char32_t ch) {
    if (!IsEncodable(ch) || IsControl(ch)) return false;
    if (FMask.IsEmpty()) {
        FCells.insert(FCells.begin() + FCursor, EncodeChar(ch));
        ++FCursor;
        return true;
    }
    const int cell = NextInputCell(FCursor);
    if (cell >= 0 && MaskCharAccepts(PositionAt(cell).rule, ch)) {
        const MaskCase mode = PositionAt(cell).charCase;
        const char32_t shown = mode == MaskCase::Upper   ? ToUpper(ch)
                               : mode == MaskCase::Lower ? ToLower(ch)
                                                         : ch;
        FCells[cell] = EncodeChar(shown);
        FCursor = cell + 1;
        SkipLiterals();
        return true;
    }
    // A separator typed on an input position jumps just past the next literal of that character.
    const std::string typed = EncodeChar(ch);
    for (int i = std::max(FCursor, FFirst); IsMaskCell(i); ++i) {
        if (PositionAt(i).IsLiteral() && PositionAt(i).literal == typed) {
            FCursor = i + 1;
            return true;
        }
    }
    return false;
}

int MaskTyping::TypeText(std::string_view text) {
    int rejected = 0;
    for (size_t i = 0; i < text.size();)
        if (!TypeChar(DecodeUtf8(text, i))) ++rejected; // a stray byte is no character: rejected
    return rejected;
}

bool MaskTyping::Backspace() {
    for (int i = FCursor - 1; i >= 0; --i) {
        if (IsMaskCell(i) && PositionAt(i).IsLiteral()) continue;
        EraseCell(i);
        FCursor = i;
        return true;
    }
    return false;
}

bool MaskTyping::Delete() {
    for (int i = FCursor; i < static_cast<int>(FCells.size()); ++i) {
        if (IsMaskCell(i) && PositionAt(i).IsLiteral()) continue;
        EraseCell(i);
        return true;
    }
    return false;
}

void MaskTyping::ClearRange(int from, int to) {
    const int size = static_cast<int>(FCells.size());
    from = std::clamp(from, 0, size);
    to = std::clamp(to, from, size);
    std::vector<std::string> kept(FCells.begin(), FCells.begin() + from);
    int firstShift = 0;
    for (int i = from; i < to; ++i) {
        if (IsInputCell(i))
            kept.emplace_back(BlankOf(FMask));
        else if (IsMaskCell(i))
            kept.push_back(std::move(FCells[i]));
        else if (i < FFirst)
            ++firstShift;
    }
    kept.insert(kept.end(), std::make_move_iterator(FCells.begin() + to),
                std::make_move_iterator(FCells.end()));
    FCells = std::move(kept);
    FFirst -= firstShift;
    FCursor = from;
}

int MaskTyping::Validate() const {
    return ValidateEditText(FMask, EditText());
}

} // namespace rt
