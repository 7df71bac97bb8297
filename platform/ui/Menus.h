#pragma once
// Menu items and popup menus. A popup menu is shown by the installed presenter (the back end's
// native menu, or a test's scripted choice); the chosen item is clicked.
#include "platform/base/Classes.h"
#include "platform/base/Types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A key code with modifier bits, as the model's TShortCut.
using TShortCut = std::uint16_t;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

TShortCut ShortCut(std::uint16_t Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, std::uint16_t& Key, TShiftState& Shift);
// "Ctrl+Shift+F5", "Del", "A"; empty for scNone.
std::string ShortCutToText(TShortCut ShortCut);
// The inverse of ShortCutToText (case-insensitive); scNone when the text is not a shortcut.
TShortCut TextToShortCut(const std::string& Text);

class TMenu;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    // Frees the sub-items and leaves the parent item.
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v) { caption_ = v; }
    // A caption of "-" makes the item a separator line.
    bool IsLine() const { return caption_ == "-"; }
    bool Checked() const { return checked_; }
    // Checking a radio item unchecks the other radio items of its group under the same parent.
    void SetChecked(bool v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut v) { shortCut_ = v; }
    bool Default() const { return default_; }
    void SetDefault(bool v) { default_ = v; }
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool v) { radioItem_ = v; }
    std::uint8_t GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(std::uint8_t v) { groupIndex_ = v; }
    bool AutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool v) { autoCheck_ = v; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& v) { hint_ = v; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v) { imageIndex_ = v; }

    int Count() const { return int(items_.size()); }
    // Raises EMenuError for an index out of range.
    TMenuItem* Items(int index) const;
    TMenuItem* Parent() const { return parent_; }
    int MenuIndex() const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Removes the item from this menu without freeing it.
    void Remove(TMenuItem* item);
    // Frees the item at index.
    void Delete(int index);
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    // The first direct sub-item whose caption equals Caption, ignoring "&" and letter case.
    TMenuItem* Find(const std::string& Caption) const;
    // The menu this item belongs to (through the parent chain), nullptr when none.
    TMenu* GetParentMenu() const;

    // Runs the item when enabled: toggles it with AutoCheck, then OnClick.
    virtual void Click();
    TNotifyEvent OnClick;

private:
    friend class TMenu;
    std::string caption_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    TShortCut shortCut_ = scNone;
    bool default_ = false;
    bool radioItem_ = false;
    std::uint8_t groupIndex_ = 0;
    bool autoCheck_ = false;
    std::string hint_;
    int imageIndex_ = -1;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr; // set on the root item of a menu
    std::vector<TMenuItem*> items_;
};

class EMenuError : public Exception {
public:
    using Exception::Exception;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    // The invisible root item whose sub-items are the menu's entries.
    TMenuItem* Items() const { return items_; }
    // Finds an enabled, visible item (at any depth, through enabled visible parents) with the
    // shortcut of Key and Shift, and clicks it; true when one was found.
    bool IsShortCut(std::uint16_t Key, TShiftState Shift);
    TMenuItem* FindItemByShortCut(TShortCut sc) const;

private:
    TMenuItem* items_;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Fires OnPopup, shows the menu at the screen point through the presenter and clicks the
    // chosen item.
    virtual void Popup(int X, int Y);
    TPoint PopupPoint() const { return popupPoint_; }
    // The control whose context menu opened the popup.
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* v);
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool v) { autoPopup_ = v; }
    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment v) { alignment_ = v; }
    TNotifyEvent OnPopup;
    TNotifyEvent OnClose;

private:
    // Watches the popup component on its own: the control's link with its PopupMenu is
    // removed before the control announces its end.
    struct ComponentWatcher;
    std::unique_ptr<ComponentWatcher> watcher_;
    TPoint popupPoint_{-1, -1};
    TComponent* popupComponent_ = nullptr;
    bool autoPopup_ = true;
    TPopupAlignment alignment_ = paLeft;
};

// Shows a popup menu at a screen point and answers the item the user chose, nullptr when
// the menu was dismissed. The native back end installs one; tests install a scripted one.
using TPopupMenuPresenter = std::function<TMenuItem*(TPopupMenu& Menu, TPoint ScreenPos)>;
void SetPopupMenuPresenter(TPopupMenuPresenter presenter);
const TPopupMenuPresenter& PopupMenuPresenter();
