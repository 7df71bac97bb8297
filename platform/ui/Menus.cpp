#include "platform/ui/Menus.h"

#include "platform/base/SysUtils.h"
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/Messages.h"

#include <algorithm>

namespace {

struct KeyName {
    std::uint16_t key;
    const char* name;
};
const KeyName keyNames[] = {
    {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},    {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"},
    {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},  {VK_END, "End"},
    {VK_HOME, "Home"},   {VK_LEFT, "Left"},  {VK_UP, "Up"},      {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},   {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};

std::string keyName(std::uint16_t key) {
    for (const auto& k : keyNames)
        if (k.key == key) return k.name;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
    if (key >= VK_F1 && key <= VK_F12) return "F" + IntToStr(key - VK_F1 + 1);
    return {};
}

std::uint16_t keyFromName(const std::string& name) {
    for (const auto& k : keyNames)
        if (SameText(name, k.name)) return k.key;
    if (name.size() == 1) {
        char c = name[0];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return std::uint16_t(c);
    }
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
        int n = StrToIntDef(name.substr(1), 0);
        if (n >= 1 && n <= 12) return std::uint16_t(VK_F1 + n - 1);
    }
    return 0;
}

std::string stripAmpersands(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') out += '&', ++i;
            continue;
        }
        out += s[i];
    }
    return out;
}

TPopupMenuPresenter& presenter() {
    static TPopupMenuPresenter p;
    return p;
}

TMenuItem* findByShortCut(const TMenuItem* parent, TShortCut sc) {
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Enabled() || !item->Visible()) continue;
        if (item->ShortCut() == sc && !item->IsLine()) return item;
        if (TMenuItem* found = findByShortCut(item, sc)) return found;
    }
    return nullptr;
}

} // namespace

TShortCut ShortCut(std::uint16_t Key, TShiftState Shift) {
    if (Key & 0xF000) return scNone;
    TShortCut sc = Key;
    if (Shift.Contains(ssShift)) sc |= scShift;
    if (Shift.Contains(ssCtrl)) sc |= scCtrl;
    if (Shift.Contains(ssAlt)) sc |= scAlt;
    return sc;
}

void ShortCutToKey(TShortCut sc, std::uint16_t& Key, TShiftState& Shift) {
    Key = sc & 0x0FFF;
    Shift = {};
    if (sc & scShift) Shift.Include(ssShift);
    if (sc & scCtrl) Shift.Include(ssCtrl);
    if (sc & scAlt) Shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut sc) {
    std::string name = keyName(sc & 0x0FFF);
    if (name.empty()) return {};
    std::string prefix;
    if (sc & scShift) prefix += "Shift+";
    if (sc & scCtrl) prefix += "Ctrl+";
    if (sc & scAlt) prefix += "Alt+";
    return prefix + name;
}

TShortCut TextToShortCut(const std::string& Text) {
    TShortCut mods = 0;
    std::string rest = Text;
    for (bool more = true; more;) {
        more = false;
        const std::pair<const char*, TShortCut> prefixes[] = {
            {"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};
        for (const auto& [p, bit] : prefixes) {
            if (StartsText(p, rest) && rest.size() > std::string(p).size()) {
                mods |= bit;
                rest = rest.substr(std::string(p).size());
                more = true;
            }
        }
    }
    std::uint16_t key = keyFromName(rest);
    return key ? TShortCut(key | mods) : scNone;
}

// --- TMenuItem ---------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    while (!items_.empty()) delete items_.back(); // each child leaves this item itself
    if (parent_) parent_->Remove(this);
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) throw EMenuError("Menu index out of range");
    return items_[std::size_t(index)];
}

int TMenuItem::MenuIndex() const {
    return parent_ ? parent_->IndexOf(this) : -1;
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->parent_) throw EMenuError("Menu inserted twice");
    if (index < 0 || index > Count()) throw EMenuError("Menu index out of range");
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) throw EMenuError("Sub-menu is not in menu");
    items_.erase(it);
    item->parent_ = nullptr;
}

void TMenuItem::Delete(int index) {
    delete Items(index);
}

void TMenuItem::Clear() {
    while (!items_.empty()) delete items_.back();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

TMenuItem* TMenuItem::Find(const std::string& Caption) const {
    std::string wanted = stripAmpersands(Caption);
    for (TMenuItem* item : items_)
        if (AnsiCompareText(stripAmpersands(item->caption_), wanted) == 0) return item;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* item = this;
    while (item->parent_) item = item->parent_;
    return item->menu_;
}

void TMenuItem::SetChecked(bool v) {
    if (checked_ == v) return;
    checked_ = v;
    if (v && radioItem_ && parent_) {
        for (TMenuItem* sibling : parent_->items_)
            if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_)
                sibling->checked_ = false;
    }
}

void TMenuItem::Click() {
    if (!enabled_) return;
    if (autoCheck_) SetChecked(!checked_);
    if (OnClick) OnClick(this);
}

// --- TMenu / TPopupMenu ------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(new TMenuItem(nullptr)) {
    items_->menu_ = this;
}

TMenu::~TMenu() {
    delete items_;
}

TMenuItem* TMenu::FindItemByShortCut(TShortCut sc) const {
    return sc == scNone ? nullptr : findByShortCut(items_, sc);
}

bool TMenu::IsShortCut(std::uint16_t Key, TShiftState Shift) {
    TMenuItem* item = FindItemByShortCut(ShortCut(Key, Shift));
    if (!item) return false;
    item->Click();
    return true;
}

TPopupMenu::TPopupMenu(TComponent* AOwner)
    : TMenu(AOwner), watcher_(std::make_unique<ComponentWatcher>(this)) {
    // Controls open their PopupMenu through these hooks (Controls does not know this header).
    static const bool hooksInstalled = [] {
        TPopupMenuHooks hooks;
        hooks.AsComponent = [](TPopupMenu* menu) -> TComponent* { return menu; };
        hooks.Popup = [](TPopupMenu* menu, TControl* control, int X, int Y) {
            if (!menu->AutoPopup()) return;
            menu->SetPopupComponent(control);
            menu->Popup(X, Y);
        };
        SetPopupMenuHooks(hooks);
        return true;
    }();
    (void)hooksInstalled;
}

struct TPopupMenu::ComponentWatcher : TComponent {
    explicit ComponentWatcher(TPopupMenu* m) : TComponent(nullptr), menu(m) {}
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == menu->popupComponent_)
            menu->popupComponent_ = nullptr;
    }
    TPopupMenu* menu;
};

TPopupMenu::~TPopupMenu() {
    SetPopupComponent(nullptr);
}

void TPopupMenu::SetPopupComponent(TComponent* v) {
    if (popupComponent_ == v) return;
    if (popupComponent_) watcher_->RemoveFreeNotification(popupComponent_);
    popupComponent_ = v;
    if (v) watcher_->FreeNotification(v);
}

void TPopupMenu::Popup(int X, int Y) {
    popupPoint_ = {X, Y};
    if (OnPopup) OnPopup(this);
    TMenuItem* chosen = nullptr;
    if (presenter()) chosen = presenter()(*this, popupPoint_);
    if (OnClose) OnClose(this);
    // A presenter may only answer items that can be chosen.
    if (chosen && chosen->Enabled() && chosen->Visible() && !chosen->IsLine() &&
        chosen->Count() == 0)
        chosen->Click();
}

void SetPopupMenuPresenter(TPopupMenuPresenter p) {
    presenter() = std::move(p);
}

const TPopupMenuPresenter& PopupMenuPresenter() {
    return presenter();
}
