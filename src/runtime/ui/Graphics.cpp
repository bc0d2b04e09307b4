#include "ui/Graphics.h"

#include "backend/Backend.h"

#include <cmath>
#include <fstream>
#include <iterator>

namespace rt {

KVRT_PUBLISHED(TGraphicsObject) {}

// --- TFont ---

KVRT_PUBLISHED(TFont) {
    P.Property("Charset", &TFont::Charset, &TFont::SetCharset);
    P.Property("Color", &TFont::Color, &TFont::SetColor);
    P.Property("Height", &TFont::Height, &TFont::SetHeight);
    P.Property("Name", &TFont::Name, &TFont::SetName);
    P.Property("Pitch", &TFont::Pitch, &TFont::SetPitch);
    P.Property("Size", &TFont::Size, &TFont::SetSize);
    P.Property("Style", &TFont::Style, &TFont::SetStyle);
}

TFont::TFont() = default;

void TFont::Assign(const TPersistent* source) {
    if (auto* f = dynamic_cast<const TFont*>(source)) {
        if (*this == *f) return;
        FCharset = f->FCharset;
        FColor = f->FColor;
        FHeight = f->FHeight;
        FName = f->FName;
        FPitch = f->FPitch;
        FStyle = f->FStyle;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

bool TFont::operator==(const TFont& o) const {
    return FCharset == o.FCharset && FColor == o.FColor && FHeight == o.FHeight && FName == o.FName &&
           FPitch == o.FPitch && FStyle == o.FStyle;
}

#define KVRT_FONT_SETTER(Func, Field)                                                                        \
    if (Field == v) return;                                                                                  \
    Field = v;                                                                                               \
    Changed();

void TFont::SetCharset(TFontCharset v) {
    KVRT_FONT_SETTER(SetCharset, FCharset)
}
void TFont::SetColor(TColor v) {
    KVRT_FONT_SETTER(SetColor, FColor)
}
void TFont::SetHeight(int v) {
    KVRT_FONT_SETTER(SetHeight, FHeight)
}
void TFont::SetName(const std::string& v) {
    KVRT_FONT_SETTER(SetName, FName)
}
void TFont::SetPitch(TFontPitch v) {
    KVRT_FONT_SETTER(SetPitch, FPitch)
}
void TFont::SetStyle(TFontStyles v) {
    KVRT_FONT_SETTER(SetStyle, FStyle)
}

int TFont::Size() const {
    return static_cast<int>(std::lround(-FHeight * 72.0 / 96.0));
}
void TFont::SetSize(int v) {
    SetHeight(-static_cast<int>(std::lround(v * 96.0 / 72.0)));
}

// --- TBrush, TPen ---

KVRT_PUBLISHED(TBrush) {
    P.Property("Color", &TBrush::Color, &TBrush::SetColor);
    P.Property("Style", &TBrush::Style, &TBrush::SetStyle);
}

void TBrush::Assign(const TPersistent* source) {
    if (auto* b = dynamic_cast<const TBrush*>(source)) {
        FColor = b->FColor;
        FStyle = b->FStyle;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}
void TBrush::SetColor(TColor v) {
    KVRT_FONT_SETTER(SetColor, FColor)
}
void TBrush::SetStyle(TBrushStyle v){KVRT_FONT_SETTER(SetStyle, FStyle)}

KVRT_PUBLISHED(TPen) {
    P.Property("Color", &TPen::Color, &TPen::SetColor);
    P.Property("Style", &TPen::Style, &TPen::SetStyle);
    P.Property("Width", &TPen::Width, &TPen::SetWidth);
}

void TPen::Assign(const TPersistent* source) {
    if (auto* p = dynamic_cast<const TPen*>(source)) {
        FColor = p->FColor;
        FStyle = p->FStyle;
        FWidth = p->FWidth;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}
void TPen::SetColor(TColor v) {
    KVRT_FONT_SETTER(SetColor, FColor)
}
void TPen::SetStyle(TPenStyle v) {
    KVRT_FONT_SETTER(SetStyle, FStyle)
}
void TPen::SetWidth(int v) {
    KVRT_FONT_SETTER(SetWidth, FWidth)
}

#undef KVRT_FONT_SETTER

// --- TCanvas ---

KVRT_PUBLISHED(TCanvas) {}

TCanvas::TCanvas() : FFont(new TFont), FBrush(new TBrush), FPen(new TPen) {}

TCanvas::TCanvas(TBitmap* bitmap) : TCanvas() {
    FBitmap = bitmap;
}

TCanvas::~TCanvas() {
    delete FFont;
    delete FBrush;
    delete FPen;
}

TColor TCanvas::Pixel(int x, int y) const {
    return FBitmap ? FBitmap->Pixel(x, y) : clNone;
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    if (FBitmap) FBitmap->SetPixel(x, y, color);
}

void TCanvas::FillRect(const TRect& r) {
    if (!FBitmap || FBrush->Style() == bsClear) return;
    TColor c = TColor(ColorToRGB(FBrush->Color()));
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) FBitmap->SetPixel(x, y, c);
}

void TCanvas::Rectangle(const TRect& r) {
    FillRect(r);
    if (!FBitmap || FPen->Style() == psClear) return;
    TColor c = TColor(ColorToRGB(FPen->Color()));
    for (int x = r.Left; x < r.Right; ++x) {
        FBitmap->SetPixel(x, r.Top, c);
        FBitmap->SetPixel(x, r.Bottom - 1, c);
    }
    for (int y = r.Top; y < r.Bottom; ++y) {
        FBitmap->SetPixel(r.Left, y, c);
        FBitmap->SetPixel(r.Right - 1, y, c);
    }
}

void TCanvas::Draw(int x, int y, const TBitmap* source) {
    if (!source) return;
    CopyRect(Rect(x, y, x + source->Width(), y + source->Height()), source,
             Rect(0, 0, source->Width(), source->Height()));
}

void TCanvas::CopyRect(const TRect& dest, const TBitmap* source, const TRect& src) {
    if (!FBitmap || !source) return;
    int w = std::min(dest.Width(), src.Width());
    int h = std::min(dest.Height(), src.Height());
    bool transparent = source->Transparent();
    TColor key = transparent ? TColor(ColorToRGB(source->TransparentColor())) : clNone;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            TColor c = source->Pixel(src.Left + x, src.Top + y);
            if (c == clNone || (transparent && c == key)) continue;
            FBitmap->SetPixel(dest.Left + x, dest.Top + y, c);
        }
}

void TCanvas::TextOut(int, int, const std::string&) {}
void TCanvas::TextRect(const TRect&, int, int, const std::string&) {}

int TCanvas::TextWidth(const std::string& text) const {
    return Backend().TextWidth(*FFont, text);
}
int TCanvas::TextHeight(const std::string& text) const {
    return Backend().TextHeight(*FFont, text);
}

// --- TGraphic, TBitmap ---

KVRT_PUBLISHED(TGraphic) {}

KVRT_PUBLISHED(TBitmap) {
    P.Property("Width", &TBitmap::Width, &TBitmap::SetWidth);
    P.Property("Height", &TBitmap::Height, &TBitmap::SetHeight);
    P.Property("PixelFormat", &TBitmap::PixelFormat, &TBitmap::SetPixelFormat);
    P.Property("Monochrome", &TBitmap::Monochrome, &TBitmap::SetMonochrome);
    P.Property("Transparent", &TBitmap::Transparent, &TBitmap::SetTransparent);
    P.Property("TransparentColor", &TBitmap::TransparentColor, &TBitmap::SetTransparentColor);
    P.Property("TransparentMode", &TBitmap::TransparentMode, &TBitmap::SetTransparentMode);
}

TBitmap::TBitmap() = default;
TBitmap::TBitmap(int width, int height) {
    SetSize(width, height);
}
TBitmap::~TBitmap() {
    delete FCanvas;
}

void TBitmap::Assign(const TPersistent* source) {
    if (auto* b = dynamic_cast<const TBitmap*>(source)) {
        if (b == this) return;
        FWidth = b->FWidth;
        FHeight = b->FHeight;
        FPixels = b->FPixels;
        FPixelFormat = b->FPixelFormat;
        FMonochrome = b->FMonochrome;
        FTransparent = b->FTransparent;
        FTransparentColor = b->FTransparentColor;
        FTransparentMode = b->FTransparentMode;
        Changed();
        return;
    }
    if (source == nullptr) {
        SetSize(0, 0);
        return;
    }
    TGraphic::Assign(source);
}

void TBitmap::SetWidth(int v) {
    SetSize(v, FHeight);
}
void TBitmap::SetHeight(int v) {
    SetSize(FWidth, v);
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == FWidth && height == FHeight) return;
    std::vector<int32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), clWhite);
    for (int y = 0; y < std::min(height, FHeight); ++y)
        for (int x = 0; x < std::min(width, FWidth); ++x)
            pixels[static_cast<size_t>(y) * width + x] = FPixels[static_cast<size_t>(y) * FWidth + x];
    FPixels.swap(pixels);
    FWidth = width;
    FHeight = height;
    Changed();
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) FCanvas = new TCanvas(this);
    return FCanvas;
}

TColor TBitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return clNone;
    return TColor(FPixels[static_cast<size_t>(y) * FWidth + x]);
}

void TBitmap::SetPixel(int x, int y, TColor color) {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
    int32_t rgb = ColorToRGB(color);
    if (FMonochrome || FPixelFormat == pf1bit) rgb = rgb == clWhite ? clWhite : clBlack;
    FPixels[static_cast<size_t>(y) * FWidth + x] = rgb;
}

void TBitmap::SetPixelFormat(TPixelFormat v) {
    if (v == FPixelFormat) return;
    FPixelFormat = v;
    if (v == pf1bit) {
        for (int32_t& p : FPixels) {
            int lum = (GetRValue(p) * 30 + GetGValue(p) * 59 + GetBValue(p) * 11) / 100;
            p = lum >= 128 ? clWhite : clBlack;
        }
    }
    Changed();
}

void TBitmap::SetMonochrome(bool v) {
    if (v == FMonochrome) return;
    FMonochrome = v;
    if (v)
        for (int32_t& p : FPixels) p = p == clWhite ? clWhite : clBlack;
    Changed();
}

void TBitmap::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
    if (Empty()) return clDefault;
    return Pixel(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor v) {
    FTransparentColor = v;
    FTransparentMode = v == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode v) {
    if (v == FTransparentMode) return;
    FTransparentMode = v;
    if (v == tmAuto) FTransparentColor = clDefault;
    Changed();
}

bool TBitmap::SamePixels(const TBitmap& other) const {
    return FWidth == other.FWidth && FHeight == other.FHeight && FPixels == other.FPixels;
}

namespace {

uint32_t ReadLE(const std::vector<uint8_t>& d, size_t at, int bytes) {
    if (at + static_cast<size_t>(bytes) > d.size()) throw EInvalidGraphic("Bitmap image is not valid");
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | d[at + static_cast<size_t>(i)];
    return v;
}

void WriteLE(std::vector<uint8_t>& d, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) d.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

} // namespace

void TBitmap::LoadFromBytes(const std::vector<uint8_t>& data) {
    if (data.size() < 54 || data[0] != 'B' || data[1] != 'M')
        throw EInvalidGraphic("Bitmap image is not valid");
    uint32_t offset = ReadLE(data, 10, 4);
    uint32_t headerSize = ReadLE(data, 14, 4);
    if (headerSize < 40) throw EInvalidGraphic("Bitmap image is not valid");
    auto width = static_cast<int32_t>(ReadLE(data, 18, 4));
    auto height = static_cast<int32_t>(ReadLE(data, 22, 4));
    uint32_t bits = ReadLE(data, 28, 2);
    uint32_t compression = ReadLE(data, 30, 4);
    uint32_t colorsUsed = ReadLE(data, 46, 4);
    bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || compression != 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        throw EInvalidGraphic("Bitmap image is not valid");
    std::vector<int32_t> palette;
    if (bits <= 8) {
        uint32_t n = colorsUsed ? colorsUsed : (1u << bits);
        if (n > 256) throw EInvalidGraphic("Bitmap image is not valid");
        size_t at = 14 + headerSize;
        for (uint32_t i = 0; i < n; ++i) {
            uint32_t bgr = ReadLE(data, at + 4 * i, 4);
            palette.push_back(
                static_cast<int32_t>(((bgr >> 16) & 0xFF) | (bgr & 0xFF00) | ((bgr & 0xFF) << 16)));
        }
    }
    size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    if (offset + stride * static_cast<size_t>(height) > data.size())
        throw EInvalidGraphic("Bitmap image is not valid");
    std::vector<int32_t> pixels(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        size_t line = offset + stride * static_cast<size_t>(row);
        int y = topDown ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
            int32_t c = 0;
            if (bits >= 24) {
                size_t p = line + static_cast<size_t>(x) * (bits / 8);
                c = data[p + 2] | (data[p + 1] << 8) | (data[p] << 16);
            } else {
                size_t bitPos = static_cast<size_t>(x) * bits;
                uint8_t byte = data[line + bitPos / 8];
                unsigned shift = 8 - bits - (bitPos % 8);
                unsigned index = (byte >> shift) & ((1u << bits) - 1);
                if (index >= palette.size()) throw EInvalidGraphic("Bitmap image is not valid");
                c = palette[index];
            }
            pixels[static_cast<size_t>(y) * width + x] = c;
        }
    }
    FWidth = width;
    FHeight = height;
    FPixels.swap(pixels);
    FPixelFormat = bits == 1    ? pf1bit
                   : bits == 4  ? pf4bit
                   : bits == 8  ? pf8bit
                   : bits == 24 ? pf24bit
                                : pf32bit;
    FMonochrome = false;
    Changed();
}

void TBitmap::LoadFromFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EInvalidGraphic("Cannot open file " + fileName);
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LoadFromBytes(data);
}

std::vector<uint8_t> TBitmap::SaveToBytes() const {
    size_t stride = ((static_cast<size_t>(FWidth) * 24 + 31) / 32) * 4;
    uint32_t imageSize = static_cast<uint32_t>(stride * FHeight);
    std::vector<uint8_t> d;
    d.push_back('B');
    d.push_back('M');
    WriteLE(d, 54 + imageSize, 4);
    WriteLE(d, 0, 4);
    WriteLE(d, 54, 4);
    WriteLE(d, 40, 4);
    WriteLE(d, static_cast<uint32_t>(FWidth), 4);
    WriteLE(d, static_cast<uint32_t>(FHeight), 4);
    WriteLE(d, 1, 2);
    WriteLE(d, 24, 2);
    WriteLE(d, 0, 4);
    WriteLE(d, imageSize, 4);
    WriteLE(d, 3780, 4);
    WriteLE(d, 3780, 4);
    WriteLE(d, 0, 4);
    WriteLE(d, 0, 4);
    for (int y = FHeight - 1; y >= 0; --y) {
        size_t start = d.size();
        for (int x = 0; x < FWidth; ++x) {
            int32_t c = FPixels[static_cast<size_t>(y) * FWidth + x];
            d.push_back(static_cast<uint8_t>(GetBValue(c)));
            d.push_back(static_cast<uint8_t>(GetGValue(c)));
            d.push_back(static_cast<uint8_t>(GetRValue(c)));
        }
        while (d.size() - start < stride) d.push_back(0);
    }
    return d;
}

void TBitmap::SaveToFile(const std::string& fileName) const {
    std::ofstream out(fileName, std::ios::binary);
    if (!out) throw EInvalidGraphic("Cannot create file " + fileName);
    auto d = SaveToBytes();
    out.write(reinterpret_cast<const char*>(d.data()), static_cast<std::streamsize>(d.size()));
}

// --- TPicture ---

KVRT_PUBLISHED(TPicture) {
    P.Property("Bitmap", &TPicture::Bitmap, &TPicture::SetBitmap);
}

TPicture::TPicture() : FBitmap(new TBitmap) {}
TPicture::~TPicture() {
    delete FBitmap;
}

void TPicture::Assign(const TPersistent* source) {
    if (auto* p = dynamic_cast<const TPicture*>(source)) {
        FBitmap->Assign(p->FBitmap);
    } else if (auto* b = dynamic_cast<const TBitmap*>(source)) {
        FBitmap->Assign(b);
    } else if (!source) {
        FBitmap->Assign(nullptr);
    } else {
        TPersistent::Assign(source);
    }
    OnChange(this);
}

void TPicture::SetBitmap(TBitmap* v) {
    Assign(v);
}

} // namespace rt
