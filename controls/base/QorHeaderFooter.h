#pragma once
// The header and footer bars of a drop-down's popup: each paints a solid or gradient background,
// a frame, an optional image and a caption that may carry the grid library's markup, and hosts
// a row of push buttons built from the button collection of the drop-down's DropDownHeader or
// DropDownFooter look. A header button reports its click to the drop-down's
// OnDropDownHeaderButtonClick, a footer button to OnDropDownFooterButtonClick, and a footer
// button with a modal result also ends the popup. The footer's size grip resizes the popup.
#include "controls/base/QorButton.h"
#include "grid/render/ControlLook.h"
#include "platform/ui/core/Controls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TQorCustomDropDown;
class TImageList;

// A list of controls whose indexed access refuses an index outside the list.
class TDbgList {
public:
    int Count() const { return int(items_.size()); }
    // Raise EListError "Index out of bounds in list read access" / "... write access".
    TControl* ItemsEx(int Index) const;
    void SetItemsEx(int Index, TControl* Value);
    void Add(TControl* Value) { items_.push_back(Value); }
    void Clear() { items_.clear(); }
    // Clears the list and appends every entry of ListA in order.
    void AssignList(const TDbgList& ListA);

private:
    std::vector<TControl*> items_;
};

using TDrawBackGroundEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect)>;
using TGetTextEvent = std::function<void(TObject* Sender, std::string& Text)>;

// What the header and the footer share: the look, the buttons and the painting.
class TQorPopupBar : public TCustomControl {
public:
    ~TQorPopupBar() override;

    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);
    TQorCustomDropDown* QorDropDown() const { return FQorDropDown; }
    // Stores the drop-down; the bar then takes its images and a copy of its look.
    void SetQorDropDown(TQorCustomDropDown* DropDown);
    // The drop-down's button collection for this bar; nullptr without a drop-down.
    virtual THeaderButtons* Buttons() const = 0;
    // The buttons currently made, in collection order.
    const TDbgList& ButtonList() const { return FButtonList; }
    // Makes the buttons when a drop-down is set.
    void InitButtons();
    virtual void CreateButtons();
    virtual void ClearButtons();
    virtual void ArrangeButtons();
    virtual void UpdateButtons();
    // Where the buttons go, in client coordinates.
    virtual TRect ButtonArea() const = 0;

    // Replaces the whole painting when assigned.
    TDrawBackGroundEvent OnDrawBackGround;
    // May change the caption before it is drawn.
    TGetTextEvent OnGetText;

protected:
    TQorPopupBar(TComponent* AOwner, std::unique_ptr<THeaderAppearance> Look);
    THeaderAppearance* look() const { return FAppearance.get(); }
    // The drop-down's look this bar copies.
    virtual const THeaderAppearance* dropDownLook() const = 0;
    // Footer buttons also carry the drop-down and their modal result.
    virtual void setUpButton(TQorButton* /*Button*/, int /*Index*/) {}
    virtual void buttonClicked(int Index) = 0;
    // The frame lines; PopupBorder: the popup draws a border of its own.
    virtual void drawFrame(TCanvas* C, const TRect& R, bool PopupBorder) = 0;
    // The drop-down draws a popup border of its own.
    bool popupHasBorder() const;
    void Paint() override;
    // A device context of another image gets the bar's picture and its windowless children.
    void WMPaint(TWMPaint& Message) override;
    void Resize() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Without buttons (-1, -1, -1, -1); else the button area ending 2 pixels before the last
    // listed button.
    TRect captionLimit() const;
    std::unique_ptr<THeaderAppearance> FAppearance;
    TImageList* FImages = nullptr;
    TQorCustomDropDown* FQorDropDown = nullptr;
    TDbgList FButtonList;
};

class TQorHeader : public TQorPopupBar {
public:
    explicit TQorHeader(TComponent* AOwner);
    THeaderAppearance* Appearance() const { return look(); }
    void SetAppearance(const THeaderAppearance* v) { look()->Assign(v); }
    THeaderButtons* Buttons() const override;
    void ArrangeButtons() override;
    TRect ButtonArea() const override;

protected:
    const THeaderAppearance* dropDownLook() const override;
    void buttonClicked(int Index) override;
    void drawFrame(TCanvas* C, const TRect& R, bool PopupBorder) override;
};

class TQorFooter : public TQorPopupBar {
public:
    explicit TQorFooter(TComponent* AOwner);
    TFooterAppearance* Appearance() const { return static_cast<TFooterAppearance*>(look()); }
    void SetAppearance(const TFooterAppearance* v) { look()->Assign(v); }
    THeaderButtons* Buttons() const override;
    TRect ButtonArea() const override;
    // The look asks for it and the drop-down's popup is sizeable.
    bool SizeGripShows() const;

protected:
    const THeaderAppearance* dropDownLook() const override;
    void setUpButton(TQorButton* Button, int Index) override;
    void buttonClicked(int Index) override;
    void drawFrame(TCanvas* C, const TRect& R, bool PopupBorder) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    bool inGrip(int X, int Y) const;
    void restoreCursor();
    TCursor FOldCursor = crDefault;
};
