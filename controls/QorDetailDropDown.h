#pragma once
// A drop-down edit whose popup lists detail items: a caption, a picture or image-list image and
// notes in markup. Typing completes the text from the first caption that starts with it; keys
// and the wheel step through the items; keys typed while the list is open search it.
#include "controls/base/QorCustomDropDown.h"
#include "controls/base/QorItemSelector.h"

#include <functional>
#include <memory>
#include <string>

class TTimer;

class TDetailItem : public TCollectionItem {
public:
    explicit TDetailItem(TCollection* Collection);
    ~TDetailItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // Of the control's Images; none below 0.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Enabled() const { return FEnabled; }
    // Drawn instead of the image-list image when it holds a graphic.
    TPicture* Image() const { return FImage.get(); }
    void SetImage(const TPicture* Value) { FImage->Assign(Value); }
    // A second, smaller text; may carry markup.
    const std::string& Notes() const { return FNotes; }
    void SetNotes(const std::string& Value) { FNotes = Value; }
    // Not owned.
    TObject* ItemObject() const { return FItemObject; }
    void SetItemObject(TObject* Value) { FItemObject = Value; }
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

    void Assign(const TPersistent* Source) override;

private:
    std::string FCaption;
    int FImageIndex = -1;
    bool FEnabled = true;
    std::unique_ptr<TPicture> FImage;
    std::string FNotes;
    TObject* FItemObject = nullptr;
    int FTag = 0;
};

class TDetailItems : public TCollection {
public:
    explicit TDetailItems(TPersistent* AOwner);
    TPersistent* Owner() const { return FMyOwner; }
    TDetailItem* Items(int Index) const {
        return static_cast<TDetailItem*>(TCollection::Items(Index));
    }
    TDetailItem* Add() { return static_cast<TDetailItem*>(TCollection::Add()); }
    TDetailItem* Insert(int Index) { return static_cast<TDetailItem*>(TCollection::Insert(Index)); }
    // The first item whose caption equals AValue exactly; -1 when none.
    int IndexOf(const std::string& AValue) const;
    TNotifyEvent OnChange;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TPersistent* FMyOwner;
};

using TDrawSelectedImageEvent = std::function<void(TObject* Sender, TCanvas* Canvas, TRect& R)>;

class TQorDetailDropDown : public TQorCustomDropDown {
public:
    explicit TQorDetailDropDown(TComponent* AOwner);
    ~TQorDetailDropDown() override;

    // The list's item layout, taken at the next drop-down.
    TItemLayout Layout() const { return FLayout; }
    void SetLayout(TItemLayout Value) { FLayout = Value; }
    TDetailItems* Items() const { return FItems.get(); }
    void SetItems(const TDetailItems* Value) { FItems->Assign(Value); }
    // Setting an item shows its caption, selected, and fires OnSelect; -1 clears the text.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    TItemAppearance* ItemAppearance() const { return FItemAppearance.get(); }
    void SetItemAppearance(const TItemAppearance* Value) { FItemAppearance->Assign(Value); }
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value) { FItemHeight = Value; }
    TFont* CaptionFont() const { return FCaptionFont.get(); }
    void SetCaptionFont(const TFont* Value);
    TFont* NotesFont() const { return FNotesFont.get(); }
    void SetNotesFont(const TFont* Value);
    // Completion compares case-sensitively.
    bool MatchCase() const { return FMatchCase; }
    void SetMatchCase(bool Value) { FMatchCase = Value; }
    // The popup list (nullptr before the popup exists).
    TQorCustomItemSelector* ItemSelector() const { return FItemSelector; }

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();

    void SetComponentStyle(TQorStyle AStyle) override;

    TNotifyEvent OnSelect;
    // Draws every list item in place of the built-in drawing.
    TDrawSelectedImageEvent OnDrawSelectedImage;

protected:
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void UpdateDropDownSize() override;
    void DoShowDropDown() override;
    void DoHideDropDown(bool Cancelled) override;
    void DropDownFormDestroyed() override;
    void DropDownSizing() override;
    void HandleMouseWheelDown() override;
    void HandleMouseWheelUp() override;
    void SetSelectionColorStyle(TSelectionColorStyle Value) override;
    void DoEnter() override;
    void Change() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void Dispatch(TMessage& Message) override;

private:
    void fillList();
    void listSelect();
    void drawItem(TCanvas* Canvas, TRect R, int Index);
    void itemSize(TSize& Size);
    // Moves the list's index by Delta within the items (from -1 to 0), without closing.
    void stepList(int Delta);
    void setListIndex(int Index);
    // Handles a window key-down; true when the message ends here.
    bool windowKeyDown(WORD Key);
    TQorCustomItemSelector* FItemSelector = nullptr;
    TItemLayout FLayout = ilCaptionRight;
    std::unique_ptr<TDetailItems> FItems;
    int FItemIndex = -1;
    std::unique_ptr<TItemAppearance> FItemAppearance;
    bool FInternalCall = false;
    TTimer* FKeyTimer = nullptr;
    std::string FCurSearch;
    int FOldItemIndex = -1;
    int FItemHeight = 22;
    std::unique_ptr<TFont> FCaptionFont;
    std::unique_ptr<TFont> FNotesFont;
    bool FWorkMode = true;
    bool FItemChange = false;
    int FItemIdx = 0;
    // The text when the edit took the focus: Modified tells a change from it.
    std::string FOldValue;
    bool FMatchCase = false;
};
