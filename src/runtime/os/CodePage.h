#pragma once
// Conversions between our texts (UTF-8 byte texts, UTF-16 wide texts) and the byte encodings of the
// platform's code pages, through iconv.
//
// Code page numbers are the platform's: 936 (GBK), 950 (BIG5), 437, 1252, 65001 (UTF-8), 1200/1201
// (UTF-16LE/BE) and any other "CP<n>" that iconv knows. CP_ACP and CP_OEMCP stand for the system code
// pages. An unknown code page falls back to the system ANSI code page (GetACP), and to 1252 when even
// that is unusable.
//
// Nothing here raises for bad data: a character the target code page lacks becomes "?" (the platform's
// default character), and an invalid input byte becomes "?" too.
#include <string>
#include <string_view>

namespace rt {

inline constexpr int CP_ACP = 0;
inline constexpr int CP_OEMCP = 1;
inline constexpr int CP_THREAD_ACP = 3;
inline constexpr int CP_UTF16LE = 1200;
inline constexpr int CP_UTF16BE = 1201;
inline constexpr int CP_UTF8 = 65001;

// The iconv name used for a code page number ("CP936", "CP950", "CP437", "UTF-8", "CP<n>").
std::string CodePageCharsetName(int codePage);
// True when iconv can convert to and from the code page. CP_ACP and CP_OEMCP are not code pages.
bool IsValidCodePage(int codePage);
// The code page a conversion really uses: CP_ACP/CP_OEMCP resolved, unknown numbers replaced by GetACP().
int ResolveCodePage(int codePage);

std::string WideToCodePage(std::u16string_view text, int codePage);
std::u16string CodePageToWide(std::string_view bytes, int codePage);
std::string Utf8ToCodePage(std::string_view text, int codePage);
std::string CodePageToUtf8(std::string_view bytes, int codePage);

// Decodes bytes strictly: false (and out unspecified) when any byte sequence is invalid in the code page.
bool TryCodePageToUtf8(std::string_view bytes, int codePage, std::string& out);

// The number of bytes the UTF-8 text takes in the code page ("at most 20 bytes in the user interface's
// code page").
size_t ByteLength(std::string_view text, int codePage);

// Strict UTF-8 check: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// The text of a file as UTF-8. A byte-order mark decides first (UTF-8, UTF-16LE, UTF-16BE) and is
// dropped. Without one, a non-zero codePage decodes the bytes; with codePage 0 the bytes are taken as
// UTF-8 when they are valid UTF-8, otherwise as legacy text in the system code page when that is 936 or
// 950, else in 936, else in 950 (the first that decodes without error; if none does, the first with
// replacements).
std::string TextFileToUtf8(std::string_view bytes, int codePage = 0);

} // namespace rt
