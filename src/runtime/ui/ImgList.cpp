#include "ui/ImgList.h"

namespace rt {

KVRT_PUBLISHED(TCustomImageList) {
    P.Property("AllocBy", &TCustomImageList::AllocBy, &TCustomImageList::SetAllocBy);
    P.Property("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor);
    P.Property("DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle);
    P.Property("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight);
    P.Property("ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType);
    P.Property("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked);
    P.Property("ShareImages", &TCustomImageList::ShareImages, &TCustomImageList::SetShareImages);
    P.Property("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth);
    P.Property("OnChange", &TCustomImageList::OnChange, &TCustomImageList::OnChange);
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}
TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::SetWidth(int v) {
    if (v == FWidth || v <= 0) return;
    FWidth = v;
    Clear(); // a new size drops the images, as on the platform
}

void TCustomImageList::SetHeight(int v) {
    if (v == FHeight || v <= 0) return;
    FHeight = v;
    Clear();
}

int TCustomImageList::Add(const TBitmap* image, const TBitmap* mask) {
    if (!image || image->Empty()) return -1;
    int first = Count();
    int n = std::max(1, image->Width() / FWidth);
    for (int i = 0; i < n; ++i) {
        auto bmp = std::make_unique<TBitmap>(FWidth, FHeight);
        bmp->Canvas()->CopyRect(Rect(0, 0, FWidth, FHeight), image,
                                Rect(i * FWidth, 0, (i + 1) * FWidth, FHeight));
        if (mask) {
            // Pixels the mask marks white are transparent: keep them as the bottom-left colour.
            bmp->SetTransparent(true);
        }
        FImages.push_back(std::move(bmp));
    }
    Changed();
    return first;
}

int TCustomImageList::AddMasked(const TBitmap* image, TColor maskColor) {
    int first = Add(image);
    if (first < 0) return first;
    for (int i = first; i < Count(); ++i) {
        FImages[static_cast<size_t>(i)]->SetTransparent(true);
        FImages[static_cast<size_t>(i)]->SetTransparentColor(maskColor);
    }
    return first;
}

void TCustomImageList::Replace(int index, const TBitmap* image, const TBitmap*) {
    if (index < 0 || index >= Count() || !image) throw EInvalidOperation("Invalid image list index");
    auto bmp = std::make_unique<TBitmap>(FWidth, FHeight);
    bmp->Canvas()->Draw(0, 0, image);
    FImages[static_cast<size_t>(index)] = std::move(bmp);
    Changed();
}

void TCustomImageList::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    FImages.erase(FImages.begin() + index);
    Changed();
}

void TCustomImageList::Clear() {
    if (FImages.empty()) return;
    FImages.clear();
    Changed();
}

bool TCustomImageList::GetBitmap(int index, TBitmap* bitmap) const {
    if (!bitmap || index < 0 || index >= Count()) return false;
    bitmap->Assign(FImages[static_cast<size_t>(index)].get());
    return true;
}

const TBitmap* TCustomImageList::Image(int index) const {
    return index >= 0 && index < Count() ? FImages[static_cast<size_t>(index)].get() : nullptr;
}

KVRT_PUBLISHED(TImageList) {}

} // namespace rt
