#pragma once
// A drop-down edit that picks a colour: the edit paints a box of the chosen colour and its
// text; the popup holds a list of named colours, the discrete palette, the colour cube or the
// spectrum, by ColorSelectionStyle.
#include "controls/ColorSelectorPanels.h"
#include "controls/QorImagePickerDropDown.h"
#include "controls/base/QorCustomDropDown.h"
#include "controls/base/QorItemSelector.h"

#include <memory>
#include <string>

class TTimer;

class TColorItem : public TCollectionItem {
public:
    explicit TColorItem(TCollection* Collection) : TCollectionItem(Collection) {}
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool Enabled() const { return FEnabled; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    void Assign(const TPersistent* Source) override;

private:
    std::string FCaption;
    TColor FColor = clNone;
    bool FEnabled = true;
    std::string FHint;
};

class TColorItems : public TCollection {
public:
    explicit TColorItems(TPersistent* AOwner);
    TPersistent* Owner() const { return FMyOwner; }
    TColorItem* Items(int Index) const {
        return static_cast<TColorItem*>(TCollection::Items(Index));
    }
    TColorItem* Add() { return static_cast<TColorItem*>(TCollection::Add()); }
    TColorItem* Insert(int Index) { return static_cast<TColorItem*>(TCollection::Insert(Index)); }
    TNotifyEvent OnChange;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TPersistent* FMyOwner;
};

enum TColorSelectionStyle { csList, csDiscrete, csColorCube, csSpectrum };
enum TColorValueText { cvtNone, cvtHex, cvtWebName, cvtRGB, cvtHTML };

class TQorColorPickerDropDown : public TQorCustomDropDown {
public:
    explicit TQorColorPickerDropDown(TComponent* AOwner);
    ~TQorColorPickerDropDown() override;

    // Columns and layout of the list, taken at the next drop-down.
    int Columns() const { return FColumns; }
    void SetColumns(int Value) { FColumns = Value; }
    TItemLayout Layout() const { return FLayout; }
    void SetLayout(TItemLayout Value) { FLayout = Value; }
    TColorItems* Colors() const { return FColors.get(); }
    void SetColors(const TColorItems* Value) { FColors->Assign(Value); }
    // An entry sets SelectedColor; every setting within the entries fires OnSelect.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int Value) { FColorBoxWidth = Value; }
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int Value) { FColorBoxHeight = Value; }
    TColorSelectionStyle ColorSelectionStyle() const { return FColorSelectionStyle; }
    void SetColorSelectionStyle(TColorSelectionStyle Value);
    // The first entry of this colour becomes ItemIndex; a colour of no entry clears it.
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value);
    TItemAppearance* ItemAppearance() const { return FItemAppearance.get(); }
    void SetItemAppearance(const TItemAppearance* Value) { FItemAppearance->Assign(Value); }
    TColorValueText ColorValueText() const { return FColorValueText; }
    void SetColorValueText(TColorValueText Value);
    // The chosen entry's caption in the list style, else the colour's text by ColorValueText.
    std::string SelectedColorText() const;

    // Appends the sixteen basic colours.
    void AddDefaultColors();

    // The style controls (nullptr until first needed).
    TQorCustomItemSelector* ItemSelector() const { return FItemSelector; }
    TCustomColorSelector* ColorSelector() const { return FColorSelector; }
    TQorColorCubePanel* ColorCubePanel() const { return FColorCubePanel; }
    TQorColorSpectrumPanel* SpectrumPanel() const { return FSpectrumPanel; }

    void SetComponentStyle(TQorStyle AStyle) override;

    TNotifyEvent OnSelect;
    TOnDrawSelectedItem OnDrawSelectedColor;
    TSelectorDrawItemEvent OnDrawColor;

protected:
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void UpdateDropDownSize() override;
    void UpdateDropDownContent() override;
    void DoHideDropDown(bool Cancelled) override;
    void DropDownFormDestroyed() override;
    void HandleMouseWheelDown() override;
    void HandleMouseWheelUp() override;
    void SetSelectionColorStyle(TSelectionColorStyle Value) override;
    void DrawFocusText() override;
    void Dispatch(TMessage& Message) override;

private:
    // Makes, shows and hands over the control of the style.
    void prepareStyle();
    void prepareList();
    void prepareDiscrete();
    void prepareCube();
    void prepareSpectrum();
    void fillList();
    // Shows the control of the style and hides the others.
    void showOnly(TControl* Control);
    TControl* styleControl() const;
    void panelChosen(TColor Colour, bool Close);
    void keyDown(WORD Key, bool EnterHandled);
    void wheel(bool Down);
    TQorCustomItemSelector* FItemSelector = nullptr;
    TQorColorCubePanel* FColorCubePanel = nullptr;
    TQorColorSpectrumPanel* FSpectrumPanel = nullptr;
    TCustomColorSelector* FColorSelector = nullptr;
    int FColumns = 1;
    TItemLayout FLayout = ilCaptionRight;
    std::unique_ptr<TColorItems> FColors;
    int FItemIndex = -1;
    int FColorBoxWidth = 14;
    int FColorBoxHeight = 14;
    TColorSelectionStyle FColorSelectionStyle = csList;
    TColor FSelectedColor = clNone;
    bool FShowText = true;
    std::unique_ptr<TItemAppearance> FItemAppearance;
    bool FInternalCall = false;
    TTimer* FKeyTimer = nullptr;
    std::string FCurSearch;
    int FOldItemIndex = -1;
    TColor FOldSelectedColor = clNone;
    TColorValueText FColorValueText = cvtNone;
};
