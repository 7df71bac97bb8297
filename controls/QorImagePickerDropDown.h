#pragma once
// A drop-down edit that picks one picture out of a list: the popup holds the item selector with
// the picker's items, the edit shows the chosen item's picture. Items come from the picker's
// image list or from the picture files of a folder.
#include "controls/base/QorCustomDropDown.h"
#include "controls/base/QorItemSelector.h"

#include <functional>
#include <memory>
#include <string>

class TTimer;

class TImageItem : public TCollectionItem {
public:
    explicit TImageItem(TCollection* Collection);
    ~TImageItem() override;

    // May carry markup.
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Enabled() const { return FEnabled; }
    TPicture* Image() const { return FImage.get(); }
    void SetImage(const TPicture* Value) { FImage->Assign(Value); }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }

    void Assign(const TPersistent* Source) override;

private:
    std::string FCaption;
    int FImageIndex = -1;
    bool FEnabled = true;
    std::unique_ptr<TPicture> FImage;
    std::string FHint;
};

class TImageItems : public TCollection {
public:
    explicit TImageItems(TPersistent* AOwner);
    TPersistent* Owner() const { return FMyOwner; }
    TImageItem* Items(int Index) const {
        return static_cast<TImageItem*>(TCollection::Items(Index));
    }
    TImageItem* Add() { return static_cast<TImageItem*>(TCollection::Add()); }
    TImageItem* Insert(int Index) { return static_cast<TImageItem*>(TCollection::Insert(Index)); }
    TNotifyEvent OnChange;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TPersistent* FMyOwner;
};

// Replaces the drawing of the chosen item (or colour) in the edit.
using TOnDrawSelectedItem = std::function<void(TObject* Sender, TCanvas* Canvas, TRect R)>;

class TQorImagePickerDropDown : public TQorCustomDropDown {
public:
    explicit TQorImagePickerDropDown(TComponent* AOwner);
    ~TQorImagePickerDropDown() override;

    // Columns and layout of the list, taken at the next drop-down.
    int Columns() const { return FColumns; }
    void SetColumns(int Value) { FColumns = Value; }
    TItemLayout Layout() const { return FLayout; }
    void SetLayout(TItemLayout Value) { FLayout = Value; }
    TImageItems* Items() const { return FItems.get(); }
    void SetItems(const TImageItems* Value) { FItems->Assign(Value); }
    // A change repaints and fires OnChange, then OnSelect; a negative value chooses none.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // The chosen item's image index (-1 without one); setting it chooses the first item that
    // has it, or none.
    int ImageIndex() const;
    void SetImageIndex(int Value);
    TItemAppearance* ItemAppearance() const { return FItemAppearance.get(); }
    void SetItemAppearance(const TItemAppearance* Value) { FItemAppearance->Assign(Value); }
    TQorCustomItemSelector* ItemSelector() const { return FItemSelector; }

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    // One item per image of Images, with an empty caption.
    void AddImagesFromImageList();
    // One item per picture file matching AFolder (a folder and a file mask); sub-folders and
    // files that are no readable pictures are left out. SetImageCaption: the file name becomes
    // the caption.
    void AddImagesFromFolder(const std::string& AFolder, bool SetImageCaption);

    void SetComponentStyle(TQorStyle AStyle) override;

    TNotifyEvent OnSelect;
    TOnDrawSelectedItem OnDrawSelectedImage;
    TSelectorDrawItemEvent OnDrawItem;

protected:
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool Cancelled) override;
    void DropDownFormDestroyed() override;
    void HandleMouseWheelDown() override;
    void HandleMouseWheelUp() override;
    void SetSelectionColorStyle(TSelectionColorStyle Value) override;
    void DrawFocusText() override;
    void Dispatch(TMessage& Message) override;

private:
    void fillList();
    void keyDown(WORD Key, bool EnterHandled);
    TQorCustomItemSelector* FItemSelector = nullptr;
    int FColumns = 1;
    TItemLayout FLayout = ilCaptionRight;
    std::unique_ptr<TImageItems> FItems;
    int FItemIndex = -1;
    std::unique_ptr<TItemAppearance> FItemAppearance;
    bool FInternalCall = false;
    TTimer* FKeyTimer = nullptr;
    std::string FCurSearch;
    int FOldItemIndex = -1;
};
