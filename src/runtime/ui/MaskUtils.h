#pragma once
// The edit-mask engine behind TMaskEdit, free of any control: parsing a mask text, laying a value into
// the mask (Text -> EditText), reading it back (EditText -> Text), reformatting under another mask, and
// typing one character at a time. Everything here is pure; the masked edit wraps it.
//
// Mask text: "mask;save;blank". The first ';' that is not escaped by '\' and stands among the last four
// characters separates the fields. save "0" means literals are not saved; anything else, or no field,
// means saved. blank is the first character of the third field; without it (or without the save field)
// the blank is '_'.
//
// Mask characters: '!' reverse mode (anywhere); '>' upper case, '<' lower case, "<>" no case for the
// positions after it (typed characters only); '\' makes the next character a literal; L l letter, A a
// letter or digit, C c any character, 0 9 digit, # digit, '+', '-' or space (upper case: required); ':'
// and '/' are literals shown as the time and date separators; every other character ('_' included) is a
// literal. A trailing '\' is ignored.
//
// Characters and positions: texts are UTF-8 and one position holds one character (one code point). A
// Chinese character therefore takes one position, where the single-byte platform needed two adjacent
// positions with the same mask letter for a double-byte character; the module's masks (dates, slip
// numbers) never relied on that pairing, and counting one position per character keeps a position from
// ever holding half a character. A byte that does not belong to a valid UTF-8 sequence counts as one
// character and comes out as U+FFFD: stray bytes laid side by side in a new order could form a valid
// sequence and shift every position after them. Texts are only passed through unchanged where no mask
// applies. MaxLength of a masked edit is the number of positions.
//
// Edit text alignment: the edit text's characters map onto the mask's positions from the left, or from
// the right in reverse mode. An edit text longer than the mask (an over-long value assigned without
// saved literals) keeps its extra characters after the last position, or before the first in reverse
// mode; they are plain data. A shorter one is completed with the mask's blank skeleton.
//
// No function here raises: every mask text, value and edit text is accepted.
#include <string>
#include <string_view>
#include <vector>

namespace rt {

enum class MaskCase { None, Upper, Lower };

struct MaskPosition {
    char rule = 0;       // 'L' 'l' 'A' 'a' 'C' 'c' '0' '9' '#'; 0 at a literal position
    std::string literal; // the one character a literal position shows
    MaskCase charCase = MaskCase::None;

    bool IsLiteral() const { return rule == 0; }
    bool IsRequired() const { return rule == 'L' || rule == 'A' || rule == 'C' || rule == '0'; }
};

// The characters shown for the mask's ':' and '/' literals (the locale's time and date separators).
// Only the first character of each counts; an empty text keeps the mask's own character.
struct MaskSeparators {
    std::string time = ":";
    std::string date = "/";
};

struct EditMask {
    std::vector<MaskPosition> positions;
    bool saveLiterals = true;
    std::string blank = "_"; // one character
    bool reverse = false;

    // A mask without positions (empty text, only fields or only '!', '<', '>') acts as no mask at all:
    // texts pass through unchanged and MaxLength is 0.
    bool IsEmpty() const { return positions.empty(); }
    int Length() const { return static_cast<int>(positions.size()); }
};

EditMask ParseEditMask(std::string_view maskText, const MaskSeparators& separators = {});

// Assigning Text: the edit text a masked edit shows after Text := text. No validation, no case change.
// Without saved literals the mask's literals are inserted between the value's characters and missing
// positions get the blank (right-aligned in reverse mode); a longer value is kept whole. With saved
// literals the value is split at each of the mask's literals in turn and every piece is padded with the
// blank or cut to its field's width (leftmost characters kept, rightmost in reverse mode); once a literal
// is missing from the value, the rest of the value is lost. "" gives the all-blank skeleton.
std::string MaskEditTextFromText(const EditMask& mask, std::string_view text);

// The characters of an edit text without the mask's literals: literal positions dropped, blanks stripped
// from the end (from the start in reverse mode), the remaining blanks turned into spaces. This is Text
// when literals are not saved, and the first step of a reformat.
std::string UnmaskEditText(const EditMask& mask, std::string_view editText);

// Reading Text. With saved literals the unmasked characters are laid back around the mask's literals and
// padded with spaces to the mask's full length (at the start in reverse mode).
std::string MaskTextFromEditText(const EditMask& mask, std::string_view editText);

// The platform's FormatMaskText: the value laid into the mask by the mask's own save rule (segments with
// saved literals, insertion without), with a space as blank whatever the mask says.
std::string FormatMaskText(std::string_view maskText, std::string_view value,
                           const MaskSeparators& separators = {});

// A mask change at run time: the edit text is unmasked with the old mask, then laid into the new mask by
// the insertion rules whatever the new save flag says, with the new blank. An empty new mask leaves the
// bare characters. maxLength is the new mask's length, 0 for no mask.
struct MaskReformat {
    std::string editText;
    int maxLength = 0;
};
MaskReformat ReformatEditText(const EditMask& oldMask, const EditMask& newMask, std::string_view editText);
MaskReformat ReformatEditText(std::string_view oldMask, std::string_view newMask, std::string_view editText,
                              const MaskSeparators& separators = {});

// The bare value of a text under a mask: the text assigned to an edit with that mask, then unmasked
// (literals dropped, blanks stripped at the end or the start, inner blanks as spaces). A text without a
// mask is its own bare value.
std::string MaskBareValue(std::string_view maskText, std::string_view text,
                          const MaskSeparators& separators = {});

// Whether a typed character suits a mask character (case aside). Letters are those of the Latin, Greek
// and Cyrillic alphabets, kana, Hangul and CJK ideographs (full-width forms included); digits are '0' to
// '9' ('A'/'a' also take full-width digits). Control characters suit no position.
bool MaskCharAccepts(char rule, char32_t ch);

// The index (in characters of the edit text) of the first required position (L A C 0) that holds the
// blank, or a space unless it is a C position; -1 when every required position is filled.
int ValidateEditText(const EditMask& mask, std::string_view editText);

// Typing into a masked edit. The cursor is a character index into the edit text. Typed characters are
// checked against the position's rule and take the case mode in force; the cursor skips literals. A
// character that does not suit the position but equals a literal at or after the cursor moves the cursor
// just past that literal. A rejected key (the control beeps) changes nothing and returns false.
// Backspace and Delete put the blank back and keep literals in place. Without a mask, typing inserts and
// deletes like a plain edit.
class MaskTyping {
public:
    MaskTyping(EditMask mask, std::string_view editText, int cursor = 0);

    const EditMask& Mask() const { return FMask; }
    std::string EditText() const;
    int Cursor() const { return FCursor; }
    void SetCursor(int cursor); // clamped to the edit text

    bool TypeChar(char32_t ch);
    // Types every character of a UTF-8 text (a paste); returns how many were rejected.
    int TypeText(std::string_view text);
    bool Backspace();
    bool Delete();
    // Clears the characters in [from, to) (a selection) and puts the cursor at from.
    void ClearRange(int from, int to);

    int Validate() const;

private:
    bool IsMaskCell(int index) const;
    bool IsInputCell(int index) const;
    const MaskPosition& PositionAt(int index) const { return FMask.positions[index - FFirst]; }
    int NextInputCell(int from) const;
    void SkipLiterals();
    void EraseCell(int index);

    EditMask FMask;
    std::vector<std::string> FCells; // one character of the edit text each
    int FFirst = 0;                  // FCells[FFirst + p] shows mask position p
    int FCursor = 0;
};

} // namespace rt
