#pragma once
// Image lists: numbered images of one size (tool bars, list views and menus refer to them by index).
#include "ui/Component.h"
#include "ui/Graphics.h"

#include <memory>
#include <vector>

namespace rt {

KVRT_ENUM(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)
KVRT_ENUM(TImageType, itImage, itMask)

class TCustomImageList : public TComponent {
    KVRT_CLASS(TCustomImageList, TComponent)
public:
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;

    int Width() const { return FWidth; }
    void SetWidth(int v);
    int Height() const { return FHeight; }
    void SetHeight(int v);
    int Count() const { return static_cast<int>(FImages.size()); }
    bool Masked() const { return FMasked; }
    void SetMasked(bool v) { FMasked = v; }
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor v) { FBkColor = v; }
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle v) { FDrawingStyle = v; }
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType v) { FImageType = v; }
    int AllocBy() const { return FAllocBy; }
    void SetAllocBy(int v) { FAllocBy = v; }
    bool ShareImages() const { return FShareImages; }
    void SetShareImages(bool v) { FShareImages = v; }

    // Adds the images of a bitmap: a bitmap n times as wide as the list adds n images. Answers the index
    // of the first, or -1 for an empty bitmap. The mask (optional) is kept with the image.
    int Add(const TBitmap* image, const TBitmap* mask = nullptr);
    // Adds with the given colour as transparent colour.
    int AddMasked(const TBitmap* image, TColor maskColor);
    void Replace(int index, const TBitmap* image, const TBitmap* mask = nullptr);
    void Delete(int index);
    void Clear();
    // Copies image index into bitmap (sized to the list); false for a bad index.
    bool GetBitmap(int index, TBitmap* bitmap) const;
    const TBitmap* Image(int index) const;

    TNotifyEvent OnChange;

private:
    void Changed() { OnChange(this); }
    std::vector<std::unique_ptr<TBitmap>> FImages;
    int FWidth = 16;
    int FHeight = 16;
    bool FMasked = true;
    TColor FBkColor = clNone;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    int FAllocBy = 4;
    bool FShareImages = false;
};

class TImageList : public TCustomImageList {
    KVRT_CLASS(TImageList, TCustomImageList)
public:
    explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};

} // namespace rt
