#pragma once
// The owner-drawn push button of every form, its fade ticker thread and its painting routines.
#include "platform/base/Threads.h"
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/Forms.h"

#include <condition_variable>
#include <memory>
#include <mutex>

enum TPbButtonStyle { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken };
enum TPbButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TPbButtonKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};
enum TPbColorStyle {
    lcsCustom,
    lcsGold,
    lcsChrome,
    lcsBlue,
    lcsRed,
    lcsUltraFlat1,
    lcsUltraFlat2,
    lcsUltraFlatXP,
    lcsAqua,
    lcsDefault,
    lcsQuicken
};

class TPbButton;

// The fade ticker: while running, every 30 ms of the application clock it hands FNotify to
// the UI thread (queued, never waited for, so ending the thread from the UI thread cannot
// deadlock). It is made suspended and starts a system thread only when first resumed.
class TPbButtonThread : public TThread {
public:
    TPbButtonThread(TNotifyEvent Notify, TObject* Target);
    ~TPbButtonThread() override;
    // UI thread: start or continue ticking.
    void ResumeTicking();
    // UI thread: stop ticking after the current tick.
    void SuspendTicking();
    bool Ticking() const;
    // Terminates and waits for the thread; ticks still queued are dropped by the destructor.
    void End();

protected:
    void Execute() override;

private:
    TNotifyEvent FNotify;
    TObject* FTarget;
    mutable std::mutex m_;
    std::condition_variable cv_;
    bool running_ = false;
    bool ending_ = false;
};

class TPbButton : public TCustomControl {
public:
    explicit TPbButton(TComponent* AOwner);
    ~TPbButton() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor v);
    TColor ColorWhenDown() const { return FColorWhenDown; }
    void SetColorWhenDown(TColor v) { FColorWhenDown = v; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    // The glyph strip: NumGlyphs cells side by side.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* v);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int v);
    TColor HotTrackColor() const { return FHotTrackColor; }
    void SetHotTrackColor(TColor v) { FHotTrackColor = v; }
    TFont* HotTrackFont() const { return FHTFont.get(); }
    void SetHotTrackFont(const TFont* v) { FHTFont->Assign(v); }
    bool UseHotTrackFont() const { return FUseHTFont; }
    void SetUseHotTrackFont(bool v) { FUseHTFont = v; }
    TPbButtonKind Kind() const { return FKind; }
    void SetKind(TPbButtonKind v);
    TPbButtonLayout Layout() const { return FLayout; }
    void SetLayout(TPbButtonLayout v);
    TColor LightColor() const { return FLightColor; }
    void SetLightColor(TColor v);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v);
    // Reads back lcsCustom whatever preset was applied.
    TPbColorStyle ColorStyle() const { return FDummyStyle; }
    void SetColorStyle(TPbColorStyle v);
    TPbButtonStyle Style() const { return FStyle; }
    void SetStyle(TPbButtonStyle v);
    // Transparent styles (bsModern, bsShape, bsQuicken) let the parent show around the face.
    bool TransparentStyle() const { return FTransparent; }
    bool Default() const { return FDefault; }
    void SetDefault(bool v) { FDefault = v; }
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    bool SlowDecease() const { return FSlowDecease; }
    void SetSlowDecease(bool v);
    void SetEnabled(bool v) override;

    // Hot-tracking strength 0 .. 8 and the pressed state.
    int HotTrackStep() const { return FHotTrackStep; }
    bool Down() const { return bDown; }
    // Mouse over the button or focused.
    bool Hot() const;
    TPbButtonThread* Ticker() const { return FThread.get(); }

    void Click() override;
    // One step of the fade; the ticker calls it on the UI thread.
    void FadeTick();

    TNotifyEvent OnMouseExit;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Dispatch(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CNKeyDown(TWMKey& Message) override;
    void CNKeyUp(TWMKey& Message) override;
    void CMDialogChar(TWMKey& Message) override;
    void CMDialogKey(TWMKey& Message) override;
    void PerformClick();
    // The action was linked: besides its caption, enabled state, hint and visibility the button
    // takes its image as the glyph while the button has none.
    void ActionChange(TBasicAction* Sender, bool CheckDefaults) override;
    // A link that also follows the action's image.
    std::unique_ptr<TControlActionLink> CreateActionLink() override;

private:
    friend class TPbButtonActionLink;
    // The image Index of the action's list as the glyph, while the button has none.
    void takeActionGlyph(TBasicAction* Action, int Index);
    friend void Pb_Draw_Button(TCanvas* Canvas, TPbButton* Button, int W, int H, TFont* AFont);
    void endTicker();
    void repaintNow();
    bool parentShowing() const;

    TAlignment FAlignment = taCenter;
    TColor FShadowColor = 0x808080;
    TColor FColorWhenDown = clNone;
    bool FEnabled = true;
    bool FFlat = false;
    bool FWordWrap = false;
    std::unique_ptr<TBitmap> FGlyph;
    TColor FHotTrackColor = clNone;
    std::unique_ptr<TFont> FHTFont;
    TPbButtonKind FKind = bkCustom;
    TPbButtonLayout FLayout = blGlyphLeft;
    TColor FLightColor = 0xFFFFFF;
    TModalResult FModalResult = mrNone;
    int FNumGlyphs = 0;
    bool FUseHTFont = false;
    TPbColorStyle FDummyStyle = lcsCustom;
    TPbButtonStyle FStyle = bsNormal;
    bool FDefault = false;
    bool FCancel = false;
    bool FSlowDecease = false;
    bool bDown = false;
    bool bCursorOnButton = false;
    std::unique_ptr<TPbButtonThread> FThread;
    int FHotTrackStep = 0;
    bool FTransparent = false;
    bool FDestroying = false;
};

// Applies a colour preset (lcsCustom changes nothing).
void Pb_Style_Colors(TPbButton* Button, TPbColorStyle Style);
// 32 horizontal bands from `From` at the top to `To` at the bottom.
void Pb_Gradient_Fill(TCanvas* Canvas, TColor From, TColor To, const TRect& R);
// C1 moved towards C2 by Step / 8 per channel.
TColor Pb_Blend_Color(TColor C1, TColor C2, int Step);
// Draws one cell of the glyph strip transparently (its bottom-left pixel is transparent).
void Pb_Draw_Glyph(TCanvas* Canvas, const TBitmap* Glyph, int X, int Y, int CellX, int Height,
                   int CellWidth);
// Draws the button's face, frame, caption and glyph on Canvas in a W x H area.
void Pb_Draw_Button(TCanvas* Canvas, TPbButton* Button, int W, int H, TFont* AFont);
