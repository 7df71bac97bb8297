#pragma once
// Building blocks of the grid: integer lists for selections and hidden rows and columns, the
// multi-column sort list, the list of controls placed in cells, the line-wise file list, and
// the arrow and focus windows.
#include "platform/base/Classes.h"
#include "platform/gfx/Graphics.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/core/Controls.h"

#include <array>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using TImageChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;

// 32-bit integers belonging to cell (Col, Row); changes through Add, Delete and SetInteger
// fire OnChange with that cell.
class TIntList : public TObject {
public:
    TIntList(int ACol, int ARow) : FCol(ACol), FRow(ARow) {}
    int Col() const { return FCol; }
    int Row() const { return FRow; }
    int Count() const { return int(items_.size()); }
    int GetInteger(int Index) const;
    void SetInteger(int Index, int Value);
    int Add(int Value);
    void Delete(int Index);
    void Insert(int Index, int Value); // no event
    void Clear() { items_.clear(); }   // no event
    void DeleteValue(int Value);
    bool HasValue(int Value) const;
    int IndexOf(int Value) const;
    // The values joined by "," without blanks.
    std::string StrValue() const;
    // Clears without event, then adds each comma-text item (one event each); raises
    // EConvertError at an item that is no integer, keeping the items before it.
    void SetStrValue(const std::string& Value);

    TImageChangeEvent OnChange;

private:
    void checkIndex(int Index) const;
    void changed();
    int FCol;
    int FRow;
    std::vector<int> items_;
};

// Sort columns: bits 0-30 hold the column, bit 31 is set for a descending one.
class TSortIndexList : public TIntList {
public:
    TSortIndexList() : TIntList(0, 0) {}
    void AddIndex(int ACol, bool Ascending);
    int FindIndex(int ACol) const;
    void ToggleIndex(int ACol);
    int GetSortColumns(int Index) const;
    void SetSortColumns(int Index, int ACol);
    bool GetSortDirections(int Index) const; // true: ascending
    void SetSortDirections(int Index, bool Ascending);
    // "u3;d5": direction letter and the entry's low 16 bits.
    std::string SaveToString() const;
    // Items shorter than 2 characters are skipped; only "u" means ascending.
    void LoadFromString(const std::string& Value);
};

// A control placed in cell (X, Y); the control is not owned.
class TControlItem : public TObject {
public:
    TControlItem(int AX, int AY, TControl* AControl) : FX(AX), FY(AY), FObject(AControl) {}
    int X() const { return FX; }
    int Y() const { return FY; }
    // The grid moves an item with its cell when rows or columns move.
    void SetX(int v) { FX = v; }
    void SetY(int v) { FY = v; }
    TControl* Control() const { return FObject; }

private:
    int FX;
    int FY;
    TControl* FObject;
};

// Owns its items, never their controls.
class TControlList {
public:
    int Count() const { return int(items_.size()); }
    void AddControl(int ACol, int ARow, TControl* AControl);
    int ControlIndex(int ACol, int ARow) const;
    TControlItem* GetControl(int Index) const;
    // An item's windowed control has this handle (asking creates a control's window).
    bool HasHandle(HWND Handle) const;
    void RemoveControl(int Index);

private:
    std::vector<std::unique_ptr<TControlItem>> items_;
};

// A string list read and written line by line by the grid's file formats.
class TFileStringList : public TStringList {
public:
    void Reset();
    bool Eof() const { return fp >= Count(); }
    // Raises EStringListError past the last line.
    void ReadLn(std::string& Line);
    void Write(const std::string& Text) { cache += Text; }
    void WriteLn(const std::string& Text);

private:
    int fp = 0;
    std::string cache;
};

// A picture cell's file: only the name and size are kept; the file is loaded when drawn.
class TFilePicture : public TPersistent {
public:
    const std::string& Filename() const { return FFilename; }
    // Stores the name and reads the picture's size; the loader's error reaches the caller. An
    // empty name has size 0 x 0.
    void SetFilename(const std::string& Value);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Loads the file and stretches it into R; nothing without a name.
    void DrawPicture(TCanvas* Canvas, const TRect& R) const;
    // Copies name, width and height from another file picture.
    void Assign(const TPersistent* Source) override;

private:
    std::string FFilename;
    int FWidth = 0;
    int FHeight = 0;
};

enum TArrowDirection { arrUp, arrDown, arrLeft, arrRight };

// The drop-position marker of column and row moving: a lime pop-up window shaped as an arrow.
class TArrowWindow : public TPanel {
public:
    // Init (owner, direction): parented to the owner (a windowed control) and hidden.
    TArrowWindow(TComponent* AOwner, TArrowDirection Direction);

    TArrowDirection Dir;
    std::array<TPoint, 7> Arrow; // the outline, in window pixels

protected:
    void CreateParams(TCreateParams& Params) override;
    // Shapes the new window to the arrow.
    void CreateWnd() override;
    void Paint() override;
};

// The window of the focus frame around the edited cell: a red, disabled, top-most pop-up,
// 0 x 0 until the frame is shown.
class TGridFocusWindow : public TCustomControl {
public:
    explicit TGridFocusWindow(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& Params) override;
};
