#pragma once
// Panels, shapes, images, bevels and link labels, painted in the classic look.
#include "platform/gfx/Imaging.h"
#include "platform/ui/StdCtrls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using TPanelBevel = TBevelCut;
using TBevelWidth = int;

// Draws Width nested frames, top-left in TopColor and bottom-right in BottomColor, and shrinks
// Rect by them.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel v);
    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel v);
    TBevelWidth BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(TBevelWidth v);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);
    // bsSingle draws a sunken edge around the panel.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TVerticalAlignment VerticalAlignment() const { return verticalAlignment_; }
    void SetVerticalAlignment(TVerticalAlignment v);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool v);
    // Kept for the forms; without visual styles the panel paints its Color either way.
    bool ParentBackground() const { return parentBackground_; }
    void SetParentBackground(bool v) { parentBackground_ = v; }
    bool FullRepaint() const { return fullRepaint_; }
    void SetFullRepaint(bool v) { fullRepaint_ = v; }

protected:
    void Paint() override;
    void Dispatch(TMessage& Message) override;

private:
    TPanelBevel bevelOuter_ = bvRaised;
    TPanelBevel bevelInner_ = bvNone;
    TBevelWidth bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
    TAlignment alignment_ = taCenter;
    TVerticalAlignment verticalAlignment_ = taVerticalCenter;
    bool showCaption_ = true;
    bool parentBackground_ = true;
    bool fullRepaint_ = true;
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;
};

// --- shape -----------------------------------------------------------------------------------
enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    ~TShape() override;
    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType v);
    // Changes of the pen or brush repaint the shape.
    TPen* Pen() const { return pen_.get(); }
    void SetPen(const TPen* v) { pen_->Assign(v); }
    TBrush* Brush() const { return brush_.get(); }
    void SetBrush(const TBrush* v) { brush_->Assign(v); }

protected:
    void Paint() override;

private:
    TShapeType shape_ = stRectangle;
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TBrush> brush_;
};

// --- image -----------------------------------------------------------------------------------
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    // A change of the picture repaints (and with AutoSize resizes) the image.
    TPicture* Picture() const { return picture_.get(); }
    void SetPicture(const TPicture* v) { picture_->Assign(v); }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    // Keeps the aspect ratio when stretching, and shrinks a picture larger than the control.
    bool Proportional() const { return proportional_; }
    void SetProportional(bool v);
    bool Center() const { return center_; }
    void SetCenter(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    // Where the picture is drawn, in client coordinates.
    TRect DestRect() const;

protected:
    void Paint() override;

private:
    void pictureChanged();
    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool proportional_ = false;
    bool center_ = false;
    bool transparent_ = false;
    bool autoSize_ = false;
};

// --- bevel -----------------------------------------------------------------------------------
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape v);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle v);

protected:
    void Paint() override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};

// --- link label ------------------------------------------------------------------------------
enum TSysLinkType { sltURL, sltID };
using TSysLinkEvent =
    std::function<void(TObject* Sender, const std::string& Link, TSysLinkType LinkType)>;

// A label whose caption may hold anchors (<a href="...">text</a>); the anchors' texts are
// shown as links and a click on one fires OnLinkClick with its href (or its id).
class TLinkLabel : public TCustomLabel {
public:
    explicit TLinkLabel(TComponent* AOwner);

    struct Segment {
        std::string text;
        bool link = false;
        std::string href;
        std::string id;
    };
    // The caption split into plain and link parts.
    std::vector<Segment> Segments() const;
    // The link part under a client point, -1 when none.
    int LinkAtPos(TPoint p) const;

    TSysLinkEvent OnLinkClick;

protected:
    std::string GetLabelText() const override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    virtual void DoOnLinkClick(const std::string& Link, TSysLinkType LinkType);

private:
    // Left and right of each segment, from the label's left edge.
    std::vector<std::pair<int, int>> segmentSpans() const;
    int pressedLink_ = -1;
};
