#pragma once
// The providers that make accessible objects for trees, kept in one registry per process.
#include "treeview/LazyTree.h"

#include <memory>
#include <vector>

class ILTAccessibleProvider {
public:
    virtual ~ILTAccessibleProvider() = default;
    virtual std::shared_ptr<TObject> CreateIAccessible(TBaseLazyTree* ATree) = 0;
};

class TLTAccessibilityFactory {
public:
    // The process's factory, made on the first call.
    static TLTAccessibilityFactory* GetAccessibilityFactory();
    // Adds a provider unless it is listed already.
    void RegisterAccessibleProvider(const std::shared_ptr<ILTAccessibleProvider>& Provider);
    void UnRegisterAccessibleProvider(const std::shared_ptr<ILTAccessibleProvider>& Provider);
    std::shared_ptr<TObject> CreateIAccessible(TBaseLazyTree* ATree);

private:
    std::vector<std::shared_ptr<ILTAccessibleProvider>> FAccessibleProviders;
};

// The providers every tree has from the program's start: the first makes the tree's object,
// whose children are the rows the tree shows; the second the object of the focused item.
std::shared_ptr<ILTAccessibleProvider> LazyTreeAccessibleProvider();
std::shared_ptr<ILTAccessibleProvider> LazyTreeFocusedItemProvider();
