#pragma once
// Integer types whose values have names: colours, cursors and font character sets, with the tables the
// by-name setter and the resource reader use ("clBtnFace", "crHourGlass", "GB2312_CHARSET").
#include "rtti/Idents.h"
#include "rtti/TypInfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rt {

// A colour: $00BBGGRR, or a system colour (clSystemColor | index), or clNone / clDefault.
enum TColor : int32_t {
    clBlack = 0x000000,
    clMaroon = 0x000080,
    clGreen = 0x008000,
    clOlive = 0x008080,
    clNavy = 0x800000,
    clPurple = 0x800080,
    clTeal = 0x808000,
    clGray = 0x808080,
    clSilver = 0xC0C0C0,
    clRed = 0x0000FF,
    clLime = 0x00FF00,
    clYellow = 0x00FFFF,
    clBlue = 0xFF0000,
    clFuchsia = 0xFF00FF,
    clAqua = 0xFFFF00,
    clLtGray = 0xC0C0C0,
    clDkGray = 0x808080,
    clWhite = 0xFFFFFF,
    clMoneyGreen = 0xC0DCC0,
    clSkyBlue = 0xF0CAA6,
    clCream = 0xF0FBFF,
    clMedGray = 0xA4A0A0,
    clNone = 0x1FFFFFFF,
    clDefault = 0x20000000,

    clSystemColor = -0x7FFFFFFF - 1,
    clScrollBar = clSystemColor | 0,
    clBackground = clSystemColor | 1,
    clActiveCaption = clSystemColor | 2,
    clInactiveCaption = clSystemColor | 3,
    clMenu = clSystemColor | 4,
    clWindow = clSystemColor | 5,
    clWindowFrame = clSystemColor | 6,
    clMenuText = clSystemColor | 7,
    clWindowText = clSystemColor | 8,
    clCaptionText = clSystemColor | 9,
    clActiveBorder = clSystemColor | 10,
    clInactiveBorder = clSystemColor | 11,
    clAppWorkSpace = clSystemColor | 12,
    clHighlight = clSystemColor | 13,
    clHighlightText = clSystemColor | 14,
    clBtnFace = clSystemColor | 15,
    clBtnShadow = clSystemColor | 16,
    clGrayText = clSystemColor | 17,
    clBtnText = clSystemColor | 18,
    clInactiveCaptionText = clSystemColor | 19,
    clBtnHighlight = clSystemColor | 20,
    cl3DDkShadow = clSystemColor | 21,
    cl3DLight = clSystemColor | 22,
    clInfoText = clSystemColor | 23,
    clInfoBk = clSystemColor | 24,
};
const TTypeInfo* KvrtTypeInfoFor(TColor*);

// "clRed" or, for a colour without a name, "$00FF8040".
std::string ColorToString(TColor color);
// A colour name or a number ("$FF", "255"); raises EConvertError otherwise.
TColor StringToColor(std::string_view text);
std::optional<TColor> IdentToColor(std::string_view ident);
// The RGB value a system colour shows as (a fixed palette, as on a default desktop).
int32_t ColorToRGB(TColor color);
inline int32_t GetRValue(int32_t rgb) {
    return rgb & 0xFF;
}
inline int32_t GetGValue(int32_t rgb) {
    return (rgb >> 8) & 0xFF;
}
inline int32_t GetBValue(int32_t rgb) {
    return (rgb >> 16) & 0xFF;
}
inline TColor RGB(int r, int g, int b) {
    return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

enum TCursor : int16_t {
    crDefault = 0,
    crNone = -1,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crUpArrow = -10,
    crHourGlass = -11,
    crDrag = -12,
    crNoDrop = -13,
    crHSplit = -14,
    crVSplit = -15,
    crMultiDrag = -16,
    crSQLWait = -17,
    crNo = -18,
    crAppStart = -19,
    crHelp = -20,
    crHandPoint = -21,
    crSizeAll = -22,
    crSize = -22,
};
const TTypeInfo* KvrtTypeInfoFor(TCursor*);
std::string CursorToString(TCursor cursor);
TCursor StringToCursor(std::string_view text); // raises EConvertError for an unknown name

enum TFontCharset : uint8_t {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SYMBOL_CHARSET = 2,
    MAC_CHARSET = 77,
    SHIFTJIS_CHARSET = 128,
    HANGEUL_CHARSET = 129,
    JOHAB_CHARSET = 130,
    GB2312_CHARSET = 134,
    CHINESEBIG5_CHARSET = 136,
    GREEK_CHARSET = 161,
    TURKISH_CHARSET = 162,
    VIETNAMESE_CHARSET = 163,
    HEBREW_CHARSET = 177,
    ARABIC_CHARSET = 178,
    BALTIC_CHARSET = 186,
    RUSSIAN_CHARSET = 204,
    THAI_CHARSET = 222,
    EASTEUROPE_CHARSET = 238,
    OEM_CHARSET = 255,
};
const TTypeInfo* KvrtTypeInfoFor(TFontCharset*);

extern const TIdentMapEntry ColorIdents[];
extern const TIdentMapEntry CursorIdents[];
extern const TIdentMapEntry CharsetIdents[];

} // namespace rt
