#pragma once
// Fonts, brushes, pens, canvases and bitmaps. Bitmaps hold their pixels (one RGB colour per pixel) and
// know their pixel format, transparent colour and monochrome state, enough for glyph handling: the
// disabled-glyph picture is made from a monochrome copy of the normal one.
#include "rtti/Publish.h"
#include "rtti/StdIdents.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rt {

KVRT_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
KVRT_SET(TFontStyles, TFontStyle)
KVRT_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
KVRT_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
          bsDiagCross)
KVRT_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
KVRT_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom)
KVRT_ENUM(TTransparentMode, tmAuto, tmFixed)

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    bool operator==(const TRect&) const = default;
};

inline TRect Rect(int left, int top, int right, int bottom) {
    return TRect{left, top, right, bottom};
}
inline TPoint Point(int x, int y) {
    return TPoint{x, y};
}

// Shared base of the drawing tools: a change notification for the owner.
class TGraphicsObject : public TPersistent {
    KVRT_CLASS(TGraphicsObject, TPersistent)
public:
    TNotifyEvent OnChange;

protected:
    void Changed() { OnChange(this); }
};

class TFont : public TGraphicsObject {
    KVRT_CLASS(TFont, TGraphicsObject)
public:
    TFont();
    void Assign(const TPersistent* source) override;

    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    // Height in pixels; negative for the character height (the usual form), as the platform stores it.
    int Height() const { return FHeight; }
    void SetHeight(int v);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& v);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch v);
    // Size in points at 96 pixels per inch: Size = -Height * 72 / 96, rounded.
    int Size() const;
    void SetSize(int v);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles v);

    bool operator==(const TFont& other) const;

private:
    TFontCharset FCharset = DEFAULT_CHARSET;
    TColor FColor = clWindowText;
    int FHeight = -11;
    std::string FName = "MS Sans Serif";
    TFontPitch FPitch = fpDefault;
    TFontStyles FStyle;
};

class TBrush : public TGraphicsObject {
    KVRT_CLASS(TBrush, TGraphicsObject)
public:
    TBrush() = default;
    void Assign(const TPersistent* source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle v);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};

class TPen : public TGraphicsObject {
    KVRT_CLASS(TPen, TGraphicsObject)
public:
    TPen() = default;
    void Assign(const TPersistent* source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle v);
    int Width() const { return FWidth; }
    void SetWidth(int v);

private:
    TColor FColor = clBlack;
    TPenStyle FStyle = psSolid;
    int FWidth = 1;
};

class TBitmap;

// A drawing surface. On a bitmap it writes pixels; on a control (owner-drawn and self-drawn controls)
// it has no pixels and records nothing: the headless backend shows the model, not paintings.
class TCanvas : public TPersistent {
    KVRT_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    explicit TCanvas(TBitmap* bitmap);
    ~TCanvas() override;

    TFont* Font() const { return FFont; }
    TBrush* Brush() const { return FBrush; }
    TPen* Pen() const { return FPen; }

    TColor Pixel(int x, int y) const; // clNone outside the surface
    void SetPixel(int x, int y, TColor color);
    void FillRect(const TRect& r);
    void Rectangle(const TRect& r);
    void Draw(int x, int y, const TBitmap* source);
    void CopyRect(const TRect& dest, const TBitmap* source, const TRect& src);
    void TextOut(int x, int y, const std::string& text);
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    // Measured by the active backend (the headless one approximates from the font height).
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;

private:
    TBitmap* FBitmap = nullptr;
    TFont* FFont;
    TBrush* FBrush;
    TPen* FPen;
};

class TGraphic : public TPersistent {
    KVRT_CLASS(TGraphic, TPersistent)
public:
    TNotifyEvent OnChange;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const = 0;

protected:
    void Changed() { OnChange(this); }
};

class TBitmap : public TGraphic {
    KVRT_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    void Assign(const TPersistent* source) override;

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    bool Empty() const override { return FWidth == 0 || FHeight == 0; }
    void SetWidth(int v);
    void SetHeight(int v);
    void SetSize(int width, int height);

    TCanvas* Canvas();
    // Pixel access (clNone outside the bitmap).
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    const std::vector<int32_t>& Pixels() const { return FPixels; }

    // Changing the format converts the pixels: pf1bit makes every pixel black or white by brightness,
    // pf4bit/pf8bit keep the colours (no palette reduction), pf24bit/pf32bit keep them.
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat v);
    // Monochrome: white stays white and every other colour becomes black, as a colour bitmap copied into
    // a monochrome one with a white background.
    bool Monochrome() const { return FMonochrome; }
    void SetMonochrome(bool v);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    // With tmAuto, the colour of the bottom-left pixel; setting a colour switches to tmFixed.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor v);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode v);

    // Uncompressed 24- or 32-bit and 1/4/8-bit paletted Windows bitmap files; EInvalidGraphic otherwise.
    void LoadFromBytes(const std::vector<uint8_t>& data);
    void LoadFromFile(const std::string& fileName);
    std::vector<uint8_t> SaveToBytes() const; // 24-bit
    void SaveToFile(const std::string& fileName) const;

    bool SamePixels(const TBitmap& other) const;

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<int32_t> FPixels; // RGB ($00BBGGRR), row by row from the top
    TPixelFormat FPixelFormat = pfDevice;
    bool FMonochrome = false;
    bool FTransparent = false;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    TCanvas* FCanvas = nullptr;
};

KVRT_EXCEPTION(EInvalidGraphic, Exception)

// A picture holder as published by image controls: holds one bitmap.
class TPicture : public TPersistent {
    KVRT_CLASS(TPicture, TPersistent)
public:
    TPicture();
    ~TPicture() override;
    void Assign(const TPersistent* source) override;
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* v);
    TNotifyEvent OnChange;

private:
    TBitmap* FBitmap;
};

} // namespace rt
