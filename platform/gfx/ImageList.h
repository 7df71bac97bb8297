#pragma once
// A list of same-sized images with transparency, as the model's TImageList.
#include "platform/gfx/Graphics.h"

#include <memory>
#include <vector>

class TIcon;

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner = nullptr);
    ~TImageList() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changing the size clears the list, as the model does.
    void SetWidth(int v);
    void SetHeight(int v);
    void SetSize(int width, int height);
    int Count() const { return int(images_.size()); }
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor v) { bkColor_ = v; }
    TDrawingStyle DrawingStyle() const { return drawingStyle_; }
    void SetDrawingStyle(TDrawingStyle v) { drawingStyle_ = v; }
    bool Masked() const { return masked_; }
    void SetMasked(bool v) { masked_ = v; }

    // A bitmap wider than Width adds one image per Width columns; returns the first index.
    // mask: black = opaque, white = transparent; nullptr: the image's own alpha or opaque.
    int Add(const TBitmap* image, const TBitmap* mask);
    // Pixels of maskColor become transparent; clDefault takes the bottom-left pixel.
    int AddMasked(const TBitmap* image, TColor maskColor);
    int AddIcon(const TIcon* icon);
    void Replace(int index, const TBitmap* image, const TBitmap* mask);
    void Delete(int index);
    void Clear();
    void Move(int from, int to);

    // Disabled images are drawn embossed in the classic way (highlight and shadow); a BkColor
    // other than clNone fills the image's square first unless the style is dsTransparent.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;
    void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
              bool enabled = true) const;
    // Saturated (grey) drawing of an image.
    void DrawGrayed(TCanvas* canvas, int x, int y, int index) const;
    // Sizes bitmap to the list and draws the image on it, over BkColor unless that is clNone.
    bool GetBitmap(int index, TBitmap* bitmap) const;
    // The image with straight alpha, nullptr for a bad index.
    const TBitmap* Image(int index) const;

    TNotifyEvent OnChange;

private:
    void changed();
    int width_ = 16;
    int height_ = 16;
    TColor bkColor_ = clNone;
    TDrawingStyle drawingStyle_ = dsNormal;
    bool masked_ = true;
    std::vector<std::unique_ptr<TBitmap>> images_;
};
