#pragma once
// THTMLHintWindow: the grid's tooltip window. It measures and paints its text with the markup
// renderer; a packed wide hint ("|\" and packed characters) is shown as one plain line in the
// font of the grid that asked for the hint.
#include "platform/ui/core/Forms.h"

#include <string>

class TImageList;
struct HTMLRenderOptions;
class TPictureContainer;

class THTMLHintWindow : public THintWindow {
public:
    explicit THTMLHintWindow(TComponent* AOwner);
    // Packed wide hints: their single-line size; other hints: the markup measured wrapped in
    // MaxWidth.
    TRect CalcHintRect(int MaxWidth, const std::string& AHint) override;
    // Measures the hint wrapped at 1008 pixels and shows the window there, kept 2 pixels inside
    // the screen.
    void ActivateHint(const TRect& Rect, const std::string& AHint) override;
    // A grid as Data lends its image list and picture container to the window.
    void ActivateHintData(const TRect& Rect, const std::string& AHint, TObject* Data) override;
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v) { FImages = v; }
    TPictureContainer* PictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* v) { FPictureContainer = v; }
    int TextWidth() const { return FTextWidth; }
    int TextHeight() const { return FTextHeight; }
    // The window's widest text line and the text margin around it.
    static constexpr int MaxTextWidth = 1008;

protected:
    void Paint() override;

private:
    // The text's size: single-line for a packed wide hint, else wrapped in MaxWidth.
    TSize measure(const std::string& AHint, int MaxWidth);
    // The hint's markup pictures; none before a grid lends them.
    void pictures(HTMLRenderOptions& Options);
    TImageList* FImages = nullptr;
    TPictureContainer* FPictureContainer = nullptr;
    int FTextHeight = 0;
    int FTextWidth = 0;
    std::u16string FWideCaption;
};
