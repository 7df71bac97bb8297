#include "platform/ui/core/Actions.h"

#include "platform/gfx/ImageList.h"
#include "platform/ui/core/Controls.h"

#include <algorithm>

TBasicActionLink::~TBasicActionLink() {
    if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (Value == FAction) return;
    if (FAction) FAction->UnRegisterChanges(this);
    FAction = Value;
    if (FAction) FAction->RegisterChanges(this);
}

bool TBasicActionLink::Execute() {
    return FAction && FAction->Execute();
}

TBasicAction::~TBasicAction() {
    for (TBasicActionLink* link : FClients) link->ActionDestroyed();
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* Link) {
    if (std::find(FClients.begin(), FClients.end(), Link) == FClients.end())
        FClients.push_back(Link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Link) {
    std::erase(FClients, Link);
}

// Each setter tells the links first, while they can still compare with the old value.
void TCustomAction::SetCaption(const std::string& Value) {
    if (Value == FCaption) return;
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients)) link->SetCaption(Value);
    FCaption = Value;
}

void TCustomAction::SetChecked(bool Value) {
    if (Value == FChecked) return;
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients)) link->SetChecked(Value);
    FChecked = Value;
}

void TCustomAction::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients)) link->SetEnabled(Value);
    FEnabled = Value;
}

void TCustomAction::SetGroupIndex(int Value) {
    if (Value == FGroupIndex) return;
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients))
        link->SetGroupIndex(Value);
    FGroupIndex = Value;
}

void TCustomAction::SetVisible(bool Value) {
    if (Value == FVisible) return;
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients)) link->SetVisible(Value);
    FVisible = Value;
}

void TCustomAction::SetHint(const std::string& Value) {
    if (Value == FHint) return;
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients)) link->SetHint(Value);
    FHint = Value;
}

void TCustomAction::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    imagesChanged();
}

TCustomAction::~TCustomAction() {
    SetActionList(nullptr);
}

void TCustomAction::SetActionList(TActionList* Value) {
    if (Value == FActionList) return;
    if (FActionList) std::erase(FActionList->FActions, this);
    FActionList = Value;
    if (FActionList) FActionList->FActions.push_back(this);
    imagesChanged();
}

bool TCustomAction::Execute() {
    return FEnabled && TBasicAction::Execute();
}

void TCustomAction::imagesChanged() {
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients))
        link->SetImageIndex(FImageIndex);
}

TActionList::~TActionList() {
    for (TCustomAction* a : FActions) a->FActionList = nullptr;
}

void TActionList::SetImages(TImageList* Value) {
    if (Value == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    imagesChanged();
}

void TActionList::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        imagesChanged();
    }
}

void TActionList::imagesChanged() {
    // Copied: a client told of the change may take its action out of this list.
    for (TCustomAction* a : std::vector<TCustomAction*>(FActions)) a->imagesChanged();
}

bool TControlActionLink::IsCaptionLinked() const {
    TCustomAction* a = customAction();
    return a && FClient->Caption() == a->Caption();
}

bool TControlActionLink::IsEnabledLinked() const {
    TCustomAction* a = customAction();
    return a && FClient->Enabled() == a->Enabled();
}

bool TControlActionLink::IsVisibleLinked() const {
    TCustomAction* a = customAction();
    return a && FClient->Visible() == a->Visible();
}

void TControlActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked()) FClient->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TControlActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) FClient->SetVisible(Value);
}

bool TControlActionLink::IsHintLinked() const {
    TCustomAction* a = customAction();
    return a && FClient->Hint() == a->Hint();
}

void TControlActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked()) FClient->SetHint(Value);
}
