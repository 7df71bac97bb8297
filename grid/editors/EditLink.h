#pragma once
// TEditLink: the base of external editors an application links into a grid for the editor kind
// edCustom. The grid drives the link through its virtual operations; a descendant supplies the
// control (CreateEditor, GetEditControl, the value in and out) and assigns EditKeyDown to the
// control's key-down event, which ends the edit on the navigation keys it does not want.
// In place (esInplace) the control lies over the cell; as a popup (esPopup) it lies on a
// borderless stay-on-top form, "gridform", whose deactivation ends the edit.
#include "platform/base/Classes.h"
#include "platform/gfx/Graphics.h"
#include "platform/ui/core/Controls.h"

#include <string>

class TQorStringGrid;
class TForm;

enum TEditStyle { esInplace, esPopup };

class TEditLink : public TComponent {
public:
    explicit TEditLink(TComponent* AOwner);
    ~TEditLink() override;

    // The keys the control keeps instead of ending the edit.
    bool WantKeyLeftRight() const { return FWantKeyLeftRight; }
    void SetWantKeyLeftRight(bool v) { FWantKeyLeftRight = v; }
    bool WantKeyUpDown() const { return FWantKeyUpDown; }
    void SetWantKeyUpDown(bool v) { FWantKeyUpDown = v; }
    bool WantKeyHomeEnd() const { return FWantKeyHomeEnd; }
    void SetWantKeyHomeEnd(bool v) { FWantKeyHomeEnd = v; }
    bool WantKeyPriorNext() const { return FWantKeyPriorNext; }
    void SetWantKeyPriorNext(bool v) { FWantKeyPriorNext = v; }
    bool WantKeyReturn() const { return FWantKeyReturn; }
    void SetWantKeyReturn(bool v) { FWantKeyReturn = v; }
    bool WantKeyEscape() const { return FWantKeyEscape; }
    void SetWantKeyEscape(bool v) { FWantKeyEscape = v; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool v) { FWantTabs = v; }
    // For descendants whose control takes line breaks.
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool v) { FWantReturns = v; }
    TEditStyle EditStyle() const { return FEditStyle; }
    void SetEditStyle(TEditStyle v) { FEditStyle = v; }
    // Screen position of the popup form; -1: at the cell's top-left corner.
    int PopupLeft() const { return FPopupLeft; }
    void SetPopupLeft(int v) { FPopupLeft = v; }
    int PopupTop() const { return FPopupTop; }
    void SetPopupTop(int v) { FPopupTop = v; }
    // Size of the control on the popup form; AutoPopupWidth: as wide as the cell.
    int PopupWidth() const { return FPopupWidth; }
    void SetPopupWidth(int v) { FPopupWidth = v; }
    int PopupHeight() const { return FPopupHeight; }
    void SetPopupHeight(int v) { FPopupHeight = v; }
    bool AutoPopupWidth() const { return FAutoPopupWidth; }
    void SetAutoPopupWidth(bool v) { FAutoPopupWidth = v; }
    TQorStringGrid* Grid() const { return FGrid; }
    // The cell being edited (real column, row), set by the grid.
    TPoint EditCell() const { return FEditCell; }
    // The popup form while the link has one.
    TForm* PopupForm() const { return FPopupForm; }

    // Ends the edit on the navigation keys the control does not want.
    virtual void EditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    virtual TWinControl* GetEditControl() { return nullptr; }
    virtual void CreateEditor(TWinControl* /*AParent*/) {}
    virtual void DestroyEditor() {}
    // Value: the control shows, is enabled and takes the focus; else the grid takes it.
    virtual void SetFocus(bool Value);
    // The control's window at the rectangle, less the grid's line width.
    virtual void SetRect(TRect R);
    virtual void SetVisible(bool Value);
    virtual void SetProperties() {}
    virtual void SetCellProps(TColor /*AColor*/, TFont* /*AFont*/) {}
    virtual std::string GetEditorValue() { return {}; }
    virtual void SetEditorValue(const std::string& /*Value*/) {}

    // The popup form for esPopup, else the grid.
    TWinControl* GetParent();
    // The text of the grid's current cell.
    std::string GetCellValue();
    void SetCellValue(const std::string& Value);
    // The editor's value into the cell, and the edit ends.
    void HideEditor();
    // HideEditor; a popup's control is destroyed and its form hidden.
    void EditExit(TObject* Sender);
    // The popup form lost the activation.
    void FormExit(TObject* Sender);
    // The control's own window procedure back, its window hidden (in place).
    void RestoreWinProc();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TQorStringGrid;
    // The grid's part of the control's window procedure: with goTabs it wants arrows, Tab and
    // characters.
    void linkedWndProc(TMessage& Message);
    void showPopup(const TRect& CellScreen);
    bool FWantKeyLeftRight = false;
    bool FWantKeyUpDown = false;
    bool FWantKeyHomeEnd = false;
    bool FWantKeyPriorNext = false;
    bool FWantKeyReturn = false;
    bool FWantKeyEscape = false;
    bool FWantTabs = false;
    bool FWantReturns = false;
    TEditStyle FEditStyle = esInplace;
    int FPopupLeft = -1;
    int FPopupTop = -1;
    int FPopupWidth = 0;
    int FPopupHeight = 0;
    bool FAutoPopupWidth = false;
    TQorStringGrid* FGrid = nullptr;
    TPoint FEditCell{-1, -1};
    TForm* FPopupForm = nullptr;
    TWinControl* FSubclassed = nullptr;
    TWndMethod FOldWinProc;
    // EditExit runs; the popup form's deactivation while it hides is no new exit.
    bool FExiting = false;
};
