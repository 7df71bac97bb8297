#include "platform/ui/core/ActnList.h"

#include "platform/gfx/ImageList.h"

#include <algorithm>

TBasicAction::~TBasicAction() {
    clients_.clear();
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

void TBasicAction::RegisterChanges(TComponent* Client, std::function<void()> Changed) {
    UnRegisterChanges(Client);
    clients_.emplace_back(Client, std::move(Changed));
}

void TBasicAction::UnRegisterChanges(TComponent* Client) {
    std::erase_if(clients_, [Client](const auto& c) { return c.first == Client; });
}

void TBasicAction::Change() {
    // A client may unregister while it is told.
    const auto clients = clients_;
    for (const auto& [client, changed] : clients)
        if (changed) changed();
}

TAction::~TAction() {
    SetActionList(nullptr);
}

void TAction::SetCaption(const std::string& v) {
    if (v == caption_) return;
    caption_ = v;
    Change();
}

void TAction::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    Change();
}

void TAction::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    Change();
}

void TAction::SetHint(const std::string& v) {
    if (v == hint_) return;
    hint_ = v;
    Change();
}

void TAction::SetImageIndex(int v) {
    if (v == imageIndex_) return;
    imageIndex_ = v;
    Change();
}

void TAction::SetActionList(TActionList* v) {
    if (v == list_) return;
    if (list_) std::erase(list_->actions_, this);
    list_ = v;
    if (list_) list_->actions_.push_back(this);
    Change();
}

bool TAction::Execute() {
    return enabled_ && TBasicAction::Execute();
}

TActionList::~TActionList() {
    for (TAction* a : actions_) a->list_ = nullptr;
}

void TActionList::SetImages(TImageList* v) {
    if (v == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = v;
    if (images_) images_->FreeNotification(this);
    changed();
}

void TActionList::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) {
        images_ = nullptr;
        changed();
    }
}

void TActionList::changed() {
    // Copied: a client told of the change may unlink its action from this list.
    const std::vector<TAction*> actions = actions_;
    for (TAction* a : actions) a->Change();
}
