#pragma once
// The window a tree's hints and tooltips show in: it draws the text the tree gives (or lets
// the application draw) and can fade or slide in.
#include "platform/ui/core/Forms.h"
#include "treeview/LazyTree.h"

#include <memory>

class TLazyTreeHintWindow : public THintWindow {
public:
    explicit TLazyTreeHintWindow(TComponent* AOwner);
    ~TLazyTreeHintWindow() override;
    // AData is the tree's TLTHintData; the empty rectangle means no hint.
    TRect CalcHintRectData(int MaxWidth, const std::string& AHint, TObject* AData) override;
    TRect CalcHintRect(int MaxWidth, const std::string& AHint) override;
    void ActivateHintData(const TRect& Rect, const std::string& AHint, TObject* AData) override;
    void ActivateHint(const TRect& Rect, const std::string& AHint) override;
    const TLTHintData& HintData() const { return FHintData; }
    // A mouse move over a frame and keys do not end the tree's hints.
    bool IsHintMsg(const TMessage& Msg) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void WndProc(TMessage& Message) override;

private:
    // Draws step Step of StepSize into the frame the window shows (step 0: the whole hint).
    void internalPaint(int Step, int StepSize);
    bool animationStep(int Step, int StepSize);
    TLTHintData FHintData;
    std::unique_ptr<TBitmap> FBackground;
    std::unique_ptr<TBitmap> FDrawBuffer;
    std::unique_ptr<TBitmap> FTarget;
    int FTextHeight = 0;
};
