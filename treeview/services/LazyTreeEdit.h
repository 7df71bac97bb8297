#pragma once
// Editing a node's text in place: the link between the tree and an editor, and the string
// tree's default link with its edit control.
#include "platform/ui/StdCtrls.h"
#include "treeview/LazyTree.h"

#include <memory>

// The tree drives an editor through its link: prepared for a cell, placed, begun, then ended
// or cancelled once.
class ILTEditLink {
public:
    virtual ~ILTEditLink() = default;
    // Shows the editor and gives it the focus.
    virtual bool BeginEdit() = 0;
    // Closes the editor without storing.
    virtual bool CancelEdit() = 0;
    // Stores the result and closes the editor.
    virtual bool EndEdit() = 0;
    // Sets the editor up for the cell; false refuses the edit.
    virtual bool PrepareEdit(TBaseLazyTree* Tree, PLazyNode Node, int Column) = 0;
    virtual TRect GetBounds() = 0;
    // Hands a window message to the editor.
    virtual void ProcessMessage(TMessage& Message) = 0;
    virtual void SetBounds(TRect R) = 0;
};

class TStringEditLink;

// The edit of the default link. It keeps its link alive until it is released.
class TLTEdit : public TCustomEdit {
public:
    explicit TLTEdit(const std::shared_ptr<TStringEditLink>& Link, TComponent* AOwner);
    ~TLTEdit() override;
    // Sizes the edit to its text (single-line nodes without grid extensions).
    virtual void FitToText();
    // Frees the edit once the messages queued before are handled.
    virtual void Release();

protected:
    void WndProc(TMessage& Message) override;
    void Change() override;

private:
    friend class TStringEditLink;
    bool keyDown(WORD Key);
    void clearLinks();
    std::shared_ptr<ILTEditLink> FRefLink;
    TStringEditLink* FLink = nullptr;
    // The link that made the edit, told when the edit goes first.
    std::weak_ptr<TStringEditLink> FMaker;
};

class TStringEditLink : public ILTEditLink, public std::enable_shared_from_this<TStringEditLink> {
public:
    TStringEditLink() = default;
    ~TStringEditLink() override;
    bool BeginEdit() override;
    bool CancelEdit() override;
    bool EndEdit() override;
    bool PrepareEdit(TBaseLazyTree* Tree, PLazyNode Node, int Column) override;
    TRect GetBounds() override;
    void ProcessMessage(TMessage& Message) override;
    void SetBounds(TRect R) override;

    // The edit; setting another frees the previous one.
    TLTEdit* Edit() const { return FEdit; }
    void SetEdit(TLTEdit* Value);
    PLazyNode Node() const { return FNode; }
    int Column() const { return FColumn; }
    TCustomLazyStringTree* Tree() const { return FTree; }

private:
    friend class TLTEdit;
    void createEdit();
    TLTEdit* FEdit = nullptr;
    TCustomLazyStringTree* FTree = nullptr;
    PLazyNode FNode = nullptr;
    int FColumn = -1;
    TAlignment FAlignment = taLeftJustify;
    TRect FTextBounds;
    bool FStopping = false;
};
