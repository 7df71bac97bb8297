#pragma once
// Actions: commands with a caption, a checked state, a group index, an enabled and a visible
// state, a hint, an image and an Execute event, to which controls link; an action list holds
// the images of its actions. A control's action link copies the action's properties into the
// control when it is linked and keeps each one in step while the control's value still equals
// the action's.
#include "platform/base/Classes.h"

#include <functional>
#include <string>
#include <vector>

class TActionList;
class TBasicAction;
class TControl;
class TImageList;

// Links one client to an action. The action asks its links before a property changes.
class TBasicActionLink {
public:
    TBasicActionLink() = default;
    virtual ~TBasicActionLink();
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;

    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);
    // Runs the action; false without one.
    virtual bool Execute();
    // The action is gone: the link forgets it.
    void ActionDestroyed() { FAction = nullptr; }

    virtual bool IsCaptionLinked() const { return false; }
    virtual bool IsCheckedLinked() const { return false; }
    virtual bool IsEnabledLinked() const { return false; }
    virtual bool IsGroupIndexLinked() const { return false; }
    virtual bool IsVisibleLinked() const { return false; }
    virtual bool IsHintLinked() const { return false; }
    // The action's property takes Value: a linked client follows.
    virtual void SetCaption(const std::string& /*Value*/) {}
    virtual void SetChecked(bool /*Value*/) {}
    virtual void SetEnabled(bool /*Value*/) {}
    virtual void SetGroupIndex(int /*Value*/) {}
    virtual void SetVisible(bool /*Value*/) {}
    virtual void SetHint(const std::string& /*Value*/) {}
    // The action's image is now image Value of its list's images (also after the list or its
    // images changed).
    virtual void SetImageIndex(int /*Value*/) {}

protected:
    TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    ~TBasicAction() override;
    // Fires OnExecute; false when it is not assigned.
    virtual bool Execute();
    void RegisterChanges(TBasicActionLink* Link);
    void UnRegisterChanges(TBasicActionLink* Link);
    TNotifyEvent OnExecute;

protected:
    std::vector<TBasicActionLink*> FClients;
};

class TCustomAction : public TBasicAction {
public:
    using TBasicAction::TBasicAction;
    ~TCustomAction() override;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    // The action's image in its list's Images; -1 for none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TActionList* ActionList() const { return FActionList; }
    void SetActionList(TActionList* Value);
    // A disabled action does not run.
    bool Execute() override;

private:
    friend class TActionList;
    void imagesChanged();
    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    int FGroupIndex = 0;
    bool FVisible = true;
    std::string FHint;
    int FImageIndex = -1;
    TActionList* FActionList = nullptr;
};

class TAction : public TCustomAction {
public:
    using TCustomAction::TCustomAction;
};

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* AOwner) : TComponent(AOwner) {}
    ~TActionList() override;
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    int ActionCount() const { return int(FActions.size()); }
    TCustomAction* Actions(int Index) const { return FActions.at(std::size_t(Index)); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomAction;
    void imagesChanged();
    TImageList* FImages = nullptr;
    std::vector<TCustomAction*> FActions;
};

// The link of a control: caption, enabled and visible state and hint are linked while the
// control's value equals the action's.
class TControlActionLink : public TBasicActionLink {
public:
    explicit TControlActionLink(TControl* AClient) : FClient(AClient) {}
    bool IsCaptionLinked() const override;
    bool IsCheckedLinked() const override { return customAction() != nullptr; }
    bool IsEnabledLinked() const override;
    bool IsGroupIndexLinked() const override { return customAction() != nullptr; }
    bool IsVisibleLinked() const override;
    bool IsHintLinked() const override;
    void SetCaption(const std::string& Value) override;
    void SetEnabled(bool Value) override;
    void SetVisible(bool Value) override;
    void SetHint(const std::string& Value) override;

protected:
    TCustomAction* customAction() const { return dynamic_cast<TCustomAction*>(FAction); }
    TControl* FClient;
};
