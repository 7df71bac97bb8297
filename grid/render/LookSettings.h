#pragma once
// Small settings objects the grid publishes and reads while painting: the background picture
// or gradient, the balloon tooltips of cells and the look of progress-bar cells.
#include "platform/base/Classes.h"
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

enum TProgressStyle { psXP, psClassic };

// Every setter fires OnChange on a change; Assign copies everything and fires it once.
class TGridProgressAppearance : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;

    TColor CompleteColor() const { return FCompleteColor; }
    void SetCompleteColor(TColor v) { set(FCompleteColor, v); }
    TColor CompleteFontColor() const { return FCompleteFontColor; }
    void SetCompleteFontColor(TColor v) { set(FCompleteFontColor, v); }
    TColor UnCompleteColor() const { return FUnCompleteColor; }
    void SetUnCompleteColor(TColor v) { set(FUnCompleteColor, v); }
    TColor UnCompleteFontColor() const { return FUnCompleteFontColor; }
    void SetUnCompleteFontColor(TColor v) { set(FUnCompleteFontColor, v); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { set(FBorderColor, v); }
    bool ShowBorder() const { return FShowBorder; }
    void SetShowBorder(bool v) { set(FShowBorder, v); }
    bool Stacked() const { return FStacked; }
    void SetStacked(bool v) { set(FStacked, v); }
    bool ShowPercentage() const { return FShowPercentage; }
    void SetShowPercentage(bool v) { set(FShowPercentage, v); }
    bool CompletionSmooth() const { return FCompletionSmooth; }
    void SetCompletionSmooth(bool v) { set(FCompletionSmooth, v); }
    bool ShowGradient() const { return FShowGradient; }
    void SetShowGradient(bool v) { set(FShowGradient, v); }
    int Steps() const { return FSteps; }
    void SetSteps(int v) { set(FSteps, v); }
    TColor Level0Color() const { return FLevel0Color; }
    void SetLevel0Color(TColor v) { set(FLevel0Color, v); }
    TColor Level0ColorTo() const { return FLevel0ColorTo; }
    void SetLevel0ColorTo(TColor v) { set(FLevel0ColorTo, v); }
    TColor Level1Color() const { return FLevel1Color; }
    void SetLevel1Color(TColor v) { set(FLevel1Color, v); }
    TColor Level1ColorTo() const { return FLevel1ColorTo; }
    void SetLevel1ColorTo(TColor v) { set(FLevel1ColorTo, v); }
    TColor Level2Color() const { return FLevel2Color; }
    void SetLevel2Color(TColor v) { set(FLevel2Color, v); }
    TColor Level2ColorTo() const { return FLevel2ColorTo; }
    void SetLevel2ColorTo(TColor v) { set(FLevel2ColorTo, v); }
    TColor Level3Color() const { return FLevel3Color; }
    void SetLevel3Color(TColor v) { set(FLevel3Color, v); }
    TColor Level3ColorTo() const { return FLevel3ColorTo; }
    void SetLevel3ColorTo(TColor v) { set(FLevel3ColorTo, v); }
    int Level1Perc() const { return FLevel1Perc; }
    void SetLevel1Perc(int v) { set(FLevel1Perc, v); }
    int Level2Perc() const { return FLevel2Perc; }
    void SetLevel2Perc(int v) { set(FLevel2Perc, v); }
    TProgressStyle Style() const { return FStyle; }
    void SetStyle(TProgressStyle v) { set(FStyle, v); }

    TNotifyEvent OnChange;

private:
    template <typename T> void set(T& field, T v) {
        if (field == v) return;
        field = v;
        if (OnChange) OnChange(this);
    }
    TColor FCompleteColor = clRed;
    TColor FCompleteFontColor = clBlue;
    TColor FUnCompleteColor = clNone;
    TColor FUnCompleteFontColor = clWindowText;
    TColor FBorderColor = clBlack;
    bool FShowBorder = false;
    bool FStacked = false;
    bool FShowPercentage = true;
    bool FCompletionSmooth = true;
    bool FShowGradient = true;
    int FSteps = 11;
    TColor FLevel0Color = clLime;
    TColor FLevel0ColorTo = 0xE1FFE1;
    TColor FLevel1Color = clYellow;
    TColor FLevel1ColorTo = 0xCAFFFF;
    TColor FLevel2Color = 0x53A9FF;
    TColor FLevel2ColorTo = 0xA8D3FF;
    TColor FLevel3Color = clRed;
    TColor FLevel3ColorTo = 0xCACAFF;
    int FLevel1Perc = 70;
    int FLevel2Perc = 90;
    TProgressStyle FStyle = psXP;
};
