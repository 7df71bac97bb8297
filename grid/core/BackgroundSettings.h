#pragma once
// Two look settings of the grid: the picture or colour gradient behind its cells (BackGround)
// and the balloon tooltips over its cells (Balloon).
#include "platform/gfx/Graphics.h"

#include <cstdint>
#include <functional>
#include <memory>

enum TBackGroundDisplay { bdTile, bdFixed, bdGradientHorz, bdGradientVert };
enum TBackGroundCells { bcNormal, bcFixed, bcAll };

// Every setter stores the value and has the grid repaint (OnRepaint).
class TBackGround : public TPersistent {
public:
    TBackGround();
    ~TBackGround() override;
    // Position of a fixed (bdFixed) picture, client coordinates.
    int Top() const { return FTop; }
    void SetTop(int v);
    int Left() const { return FLeft; }
    void SetLeft(int v);
    TBackGroundDisplay Display() const { return FDisplay; }
    void SetDisplay(TBackGroundDisplay v);
    // Which cells show the background.
    TBackGroundCells Cells() const { return FBackgroundCells; }
    void SetCells(TBackGroundCells v);
    // The gradient's colours; a ColorTo of clNone paints no gradient.
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v);
    // Empty: no picture.
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(const TBitmap* v);
    void Assign(const TPersistent* Source) override;

    std::function<void()> OnRepaint;

private:
    void repaint();
    int FTop = 0;
    int FLeft = 0;
    TBackGroundDisplay FDisplay = bdTile;
    TBackGroundCells FBackgroundCells = bcNormal;
    TColor FColorTo = clBtnFace;
    TColor FColor = clWindow;
    std::unique_ptr<TBitmap> FBitmap;
};

class TBalloonSettings : public TPersistent {
public:
    // Setting it fires OnEnableChange, which the grid handles.
    bool Enable() const { return FEnable; }
    void SetEnable(bool v);
    // clNone: the platform's colour.
    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor v) { FBackgroundColor = v; }
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor v) { FTextColor = v; }
    // Milliseconds; -1: the platform's delay.
    int InitialDelay() const { return FInitialDelay; }
    void SetInitialDelay(int v) { FInitialDelay = v; }
    int ReshowDelay() const { return FReshowDelay; }
    void SetReshowDelay(int v) { FReshowDelay = v; }
    int AutoHideDelay() const { return FAutoHideDelay; }
    void SetAutoHideDelay(int v) { FAutoHideDelay = v; }
    // 0 opaque .. 255.
    std::uint8_t Transparency() const { return FTransparency; }
    void SetTransparency(std::uint8_t v) { FTransparency = v; }
    // The grid's balloon window is set up.
    bool Init() const { return FInit; }
    void SetInit(bool v) { FInit = v; }
    // Colours, delays and Enable (not Transparency).
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnEnableChange;

private:
    bool FInit = false;
    TColor FBackgroundColor = clNone;
    TColor FTextColor = clNone;
    int FReshowDelay = -1;
    int FInitialDelay = -1;
    int FAutoHideDelay = -1;
    std::uint8_t FTransparency = 0;
    bool FEnable = false;
};
