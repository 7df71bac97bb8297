#include "grid/render/LookSettings.h"

TBackGround::TBackGround() : FBitmap(std::make_unique<TBitmap>()) {}
TBackGround::~TBackGround() = default;

void TBackGround::repaint() {
    if (OnRepaint) OnRepaint();
}

void TBackGround::SetTop(int v) {
    FTop = v;
    repaint();
}
void TBackGround::SetLeft(int v) {
    FLeft = v;
    repaint();
}
void TBackGround::SetDisplay(TBackGroundDisplay v) {
    FDisplay = v;
    repaint();
}
void TBackGround::SetCells(TBackGroundCells v) {
    FBackgroundCells = v;
    repaint();
}
void TBackGround::SetColor(TColor v) {
    FColor = v;
    repaint();
}
void TBackGround::SetColorTo(TColor v) {
    FColorTo = v;
    repaint();
}
void TBackGround::SetBitmap(const TBitmap* v) {
    if (v)
        FBitmap->Assign(v);
    else
        FBitmap->SetSize(0, 0);
    repaint();
}

void TBackGround::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TBackGround*>(Source);
    if (!src) return;
    FTop = src->FTop;
    FLeft = src->FLeft;
    FDisplay = src->FDisplay;
    FBackgroundCells = src->FBackgroundCells;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FBitmap->Assign(src->FBitmap.get());
    repaint();
}

void TBalloonSettings::SetEnable(bool v) {
    FEnable = v;
    if (OnEnableChange) OnEnableChange(this);
}

void TBalloonSettings::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TBalloonSettings*>(Source);
    if (!src) return;
    FBackgroundColor = src->FBackgroundColor;
    FTextColor = src->FTextColor;
    FInitialDelay = src->FInitialDelay;
    FReshowDelay = src->FReshowDelay;
    FAutoHideDelay = src->FAutoHideDelay;
    SetEnable(src->FEnable);
}

// --- TGridProgressAppearance ------------------------------------------------------------------
void TGridProgressAppearance::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TGridProgressAppearance*>(Source);
    if (!src) return;
    FCompleteColor = src->FCompleteColor;
    FCompleteFontColor = src->FCompleteFontColor;
    FUnCompleteColor = src->FUnCompleteColor;
    FUnCompleteFontColor = src->FUnCompleteFontColor;
    FBorderColor = src->FBorderColor;
    FShowBorder = src->FShowBorder;
    FStacked = src->FStacked;
    FShowPercentage = src->FShowPercentage;
    FCompletionSmooth = src->FCompletionSmooth;
    FShowGradient = src->FShowGradient;
    FSteps = src->FSteps;
    FLevel0Color = src->FLevel0Color;
    FLevel0ColorTo = src->FLevel0ColorTo;
    FLevel1Color = src->FLevel1Color;
    FLevel1ColorTo = src->FLevel1ColorTo;
    FLevel2Color = src->FLevel2Color;
    FLevel2ColorTo = src->FLevel2ColorTo;
    FLevel3Color = src->FLevel3Color;
    FLevel3ColorTo = src->FLevel3ColorTo;
    FLevel1Perc = src->FLevel1Perc;
    FLevel2Perc = src->FLevel2Perc;
    FStyle = src->FStyle;
    if (OnChange) OnChange(this);
}
