#pragma once
// Actions: a command with its caption, state and image, kept in one place and shown by every
// control linked to it; an action list holds the images of its actions.
#include "platform/base/Classes.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class TActionList;
class TImageList;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    ~TBasicAction() override;
    // Runs OnExecute; false when there is none.
    virtual bool Execute();
    TNotifyEvent OnExecute;

    // A linked control is told through Changed of every change of the action, until it
    // unregisters (it must before it is destroyed).
    void RegisterChanges(TComponent* Client, std::function<void()> Changed);
    void UnRegisterChanges(TComponent* Client);

protected:
    void Change();

private:
    std::vector<std::pair<TComponent*, std::function<void()>>> clients_;
};

class TAction : public TBasicAction {
public:
    explicit TAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    ~TAction() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& v);
    // The action's image in its list's Images; -1 for none.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    TActionList* ActionList() const { return list_; }
    void SetActionList(TActionList* v);
    // A disabled action does not run.
    bool Execute() override;

private:
    friend class TActionList;
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    std::string hint_;
    int imageIndex_ = -1;
    TActionList* list_ = nullptr;
};

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* AOwner) : TComponent(AOwner) {}
    ~TActionList() override;
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* v);
    int ActionCount() const { return int(actions_.size()); }
    TAction* Actions(int i) const { return actions_.at(std::size_t(i)); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TAction;
    void changed();
    TImageList* images_ = nullptr;
    std::vector<TAction*> actions_;
};
