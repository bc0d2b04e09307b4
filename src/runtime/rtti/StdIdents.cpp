#include "rtti/StdIdents.h"

#include "core/Exceptions.h"

#include <charconv>
#include <cstdio>

namespace rt {

#define KVRT_IDENT(x)                                                                                        \
    { x, #x }

const TIdentMapEntry ColorIdents[] = {
    KVRT_IDENT(clBlack),         KVRT_IDENT(clMaroon),
    KVRT_IDENT(clGreen),         KVRT_IDENT(clOlive),
    KVRT_IDENT(clNavy),          KVRT_IDENT(clPurple),
    KVRT_IDENT(clTeal),          KVRT_IDENT(clGray),
    KVRT_IDENT(clSilver),        KVRT_IDENT(clRed),
    KVRT_IDENT(clLime),          KVRT_IDENT(clYellow),
    KVRT_IDENT(clBlue),          KVRT_IDENT(clFuchsia),
    KVRT_IDENT(clAqua),          KVRT_IDENT(clWhite),
    KVRT_IDENT(clMoneyGreen),    KVRT_IDENT(clSkyBlue),
    KVRT_IDENT(clCream),         KVRT_IDENT(clMedGray),
    KVRT_IDENT(clLtGray),        KVRT_IDENT(clDkGray),
    KVRT_IDENT(clNone),          KVRT_IDENT(clDefault),
    KVRT_IDENT(clScrollBar),     KVRT_IDENT(clBackground),
    KVRT_IDENT(clActiveCaption), KVRT_IDENT(clInactiveCaption),
    KVRT_IDENT(clMenu),          KVRT_IDENT(clWindow),
    KVRT_IDENT(clWindowFrame),   KVRT_IDENT(clMenuText),
    KVRT_IDENT(clWindowText),    KVRT_IDENT(clCaptionText),
    KVRT_IDENT(clActiveBorder),  KVRT_IDENT(clInactiveBorder),
    KVRT_IDENT(clAppWorkSpace),  KVRT_IDENT(clHighlight),
    KVRT_IDENT(clHighlightText), KVRT_IDENT(clBtnFace),
    KVRT_IDENT(clBtnShadow),     KVRT_IDENT(clGrayText),
    KVRT_IDENT(clBtnText),       KVRT_IDENT(clInactiveCaptionText),
    KVRT_IDENT(clBtnHighlight),  KVRT_IDENT(cl3DDkShadow),
    KVRT_IDENT(cl3DLight),       KVRT_IDENT(clInfoText),
    KVRT_IDENT(clInfoBk),        {0, nullptr},
};

const TIdentMapEntry CursorIdents[] = {
    KVRT_IDENT(crDefault),   KVRT_IDENT(crNone),      KVRT_IDENT(crArrow),    KVRT_IDENT(crCross),
    KVRT_IDENT(crIBeam),     KVRT_IDENT(crSizeAll),   KVRT_IDENT(crSizeNESW), KVRT_IDENT(crSizeNS),
    KVRT_IDENT(crSizeNWSE),  KVRT_IDENT(crSizeWE),    KVRT_IDENT(crUpArrow),  KVRT_IDENT(crHourGlass),
    KVRT_IDENT(crDrag),      KVRT_IDENT(crNoDrop),    KVRT_IDENT(crHSplit),   KVRT_IDENT(crVSplit),
    KVRT_IDENT(crMultiDrag), KVRT_IDENT(crSQLWait),   KVRT_IDENT(crNo),       KVRT_IDENT(crAppStart),
    KVRT_IDENT(crHelp),      KVRT_IDENT(crHandPoint), KVRT_IDENT(crSize),     {0, nullptr},
};

const TIdentMapEntry CharsetIdents[] = {
    KVRT_IDENT(ANSI_CHARSET),        KVRT_IDENT(DEFAULT_CHARSET),
    KVRT_IDENT(SYMBOL_CHARSET),      KVRT_IDENT(MAC_CHARSET),
    KVRT_IDENT(SHIFTJIS_CHARSET),    KVRT_IDENT(HANGEUL_CHARSET),
    KVRT_IDENT(JOHAB_CHARSET),       KVRT_IDENT(GB2312_CHARSET),
    KVRT_IDENT(CHINESEBIG5_CHARSET), KVRT_IDENT(GREEK_CHARSET),
    KVRT_IDENT(TURKISH_CHARSET),     KVRT_IDENT(VIETNAMESE_CHARSET),
    KVRT_IDENT(HEBREW_CHARSET),      KVRT_IDENT(ARABIC_CHARSET),
    KVRT_IDENT(BALTIC_CHARSET),      KVRT_IDENT(RUSSIAN_CHARSET),
    KVRT_IDENT(THAI_CHARSET),        KVRT_IDENT(EASTEUROPE_CHARSET),
    KVRT_IDENT(OEM_CHARSET),         {0, nullptr},
};

#undef KVRT_IDENT

const TTypeInfo* KvrtTypeInfoFor(TColor*) {
    static const TTypeInfo info = MakeIdentIntegerTypeInfo("TColor", ColorIdents, INT32_MIN, INT32_MAX);
    return &info;
}

const TTypeInfo* KvrtTypeInfoFor(TCursor*) {
    static const TTypeInfo info = MakeIdentIntegerTypeInfo("TCursor", CursorIdents, -32768, 32767);
    return &info;
}

const TTypeInfo* KvrtTypeInfoFor(TFontCharset*) {
    static const TTypeInfo info = MakeIdentIntegerTypeInfo("TFontCharset", CharsetIdents, 0, 255);
    return &info;
}

std::string ColorToString(TColor color) {
    if (const char* name = IntToIdent(color, ColorIdents)) return name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%.8X", static_cast<uint32_t>(color));
    return buf;
}

std::optional<TColor> IdentToColor(std::string_view ident) {
    if (auto v = IdentToInt(ident, ColorIdents)) return TColor(*v);
    return std::nullopt;
}

TColor StringToColor(std::string_view text) {
    if (auto c = IdentToColor(text)) return *c;
    std::string_view s = text;
    bool hex = !s.empty() && s.front() == '$';
    if (hex) s.remove_prefix(1);
    bool negative = !hex && !s.empty() && s.front() == '-';
    if (negative) s.remove_prefix(1);
    uint32_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, hex ? 16 : 10);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        throw EConvertError("'" + std::string(text) + "' is not a valid colour");
    return TColor(static_cast<int32_t>(negative ? 0u - v : v));
}

int32_t ColorToRGB(TColor color) {
    static const int32_t system[] = {
        0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000,
        0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xC0C0C0, 0x808080, 0x808080,
        0x000000, 0x000000, 0xFFFFFF, 0x404040, 0xE3E3E3, 0x000000, 0xE1FFFF,
    };
    if (color < 0) {
        int index = color & 0xFF;
        return index < static_cast<int>(sizeof system / sizeof system[0]) ? system[index] : 0;
    }
    return color & 0xFFFFFF;
}

std::string CursorToString(TCursor cursor) {
    if (const char* name = IntToIdent(cursor, CursorIdents)) return name;
    return std::to_string(static_cast<int>(cursor));
}

TCursor StringToCursor(std::string_view text) {
    if (auto v = IdentToInt(text, CursorIdents)) return TCursor(*v);
    int v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < -32768 || v > 32767)
        throw EConvertError("'" + std::string(text) + "' is not a valid cursor");
    return TCursor(v);
}

} // namespace rt
