#include "platform/base/Threads.h"
#include "platform/testing/UiTest.h"
#include "treeview/LazyTree.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// A tree that records its notifications as text lines.
struct RecordingTree : TLazyStringTree {
    std::vector<std::string> events;
    explicit RecordingTree(TComponent* owner = nullptr) : TLazyStringTree(owner) {
        SetNodeDataSize(8);
        OnStructureChange = [this](TBaseLazyTree*, PLazyNode node, TChangeReason reason) {
            events.push_back("structure " + name(node) + " " + std::to_string(int(reason)));
        };
        OnChange = [this](TBaseLazyTree*, PLazyNode node) {
            events.push_back("change " + name(node));
        };
        OnUpdating = [this](TBaseLazyTree*, TLTUpdateState s) {
            static const char* names[] = {"begin",  "beginSynch", "synch",
                                          "update", "end",        "endSynch"};
            events.push_back(names[s]);
        };
    }
    std::string name(PLazyNode node) const {
        if (!node) return "nil";
        if (node == RootNode()) return "root";
        return std::to_string(AbsoluteIndexNoInit(node));
    }
    std::uint32_t AbsoluteIndexNoInit(PLazyNode node) const {
        std::uint32_t i = 0;
        for (PLazyNode n = GetFirstNoInit(); n && n != node; n = GetNextNoInit(n)) ++i;
        return i;
    }
    using TBaseLazyTree::EndOperation;
    using TBaseLazyTree::ReportChange;
    using TBaseLazyTree::StartOperation;
};

TEST(LazyTreeChanges, EachChangeIsReportedAtOnceOutsideBrackets) {
    RecordingTree tree;
    PLazyNode a = tree.AddChild(nullptr);
    tree.AddChild(a);
    tree.DeleteNode(a);
    tree.ReportChange(nullptr);
    EXPECT_EQ(tree.events,
              (std::vector<std::string>{"structure nil 2", "structure 0 2", "structure nil 3",
                                        "structure 0 3", "change nil"}));
}

TEST(LazyTreeChanges, UpdateBracketReportsOnceAccumulated) {
    RecordingTree tree;
    PLazyNode parent = tree.AddChild(nullptr);
    tree.events.clear();
    tree.BeginUpdate();
    tree.BeginUpdate();
    for (int i = 0; i < 100; ++i) tree.AddChild(parent);
    tree.EndUpdate();
    EXPECT_EQ(tree.events, (std::vector<std::string>{"begin", "update", "update"}));
    tree.EndUpdate();
    EXPECT_EQ(tree.events,
              (std::vector<std::string>{"begin", "update", "update", "structure 0 1", "end"}));
    EXPECT_FALSE(tree.TreeStates().Contains(tsStructureChangePending));
    tree.EndUpdate(); // unmatched: the counter stays at 0
    EXPECT_EQ(tree.UpdateCount(), 0u);
}

TEST(LazyTreeChanges, ChangeDelayReportsOnceAfterTheLastChange) {
    TForm* form = new TForm(nullptr);
    auto* tree = new RecordingTree(form);
    tree->SetParent(form);
    tree->HandleNeeded();
    tree->SetChangeDelay(200);
    tree->AddChild(nullptr);
    uitest::advanceClock(150);
    tree->AddChild(nullptr);
    uitest::advanceClock(150);
    EXPECT_TRUE(tree->events.empty());
    uitest::advanceClock(60);
    EXPECT_EQ(tree->events, (std::vector<std::string>{"structure nil 1"}));
    // In synchronous mode the delay is ignored.
    tree->events.clear();
    tree->BeginSynch();
    tree->AddChild(nullptr);
    tree->EndSynch();
    EXPECT_EQ(tree->events,
              (std::vector<std::string>{"beginSynch", "structure nil 2", "endSynch"}));
    delete form;
}

TEST(LazyTreeChanges, StateChangeFiresOnlyForRealChanges) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> seen;
    RecordingTree tree;
    tree.OnStateChange = [&](TBaseLazyTree*, TLazyTreeStates enter, TLazyTreeStates leave) {
        seen.emplace_back(enter.ToBits(), leave.ToBits());
    };
    tree.ChangeTreeStates({tsHint}, {});
    tree.ChangeTreeStates({tsHint}, {});      // already in
    tree.ChangeTreeStates({}, {tsScrolling}); // not in
    tree.ChangeTreeStates({tsScrolling}, {tsScrolling});
    tree.ChangeTreeStates({}, {tsHint});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_FALSE(tree.TreeStates().Contains(tsScrolling)); // in both sets: left
    EXPECT_FALSE(tree.TreeStates().Contains(tsHint));
}

TEST(LazyTreeChanges, OperationsCountAndCancel) {
    std::vector<std::string> ops;
    RecordingTree tree;
    tree.OnStartOperation = [&](TBaseLazyTree*, TLTOperationKind k) {
        ops.push_back("start " + std::to_string(k));
    };
    tree.OnEndOperation = [&](TBaseLazyTree*, TLTOperationKind k) {
        ops.push_back("end " + std::to_string(k));
    };
    tree.CancelOperation();
    EXPECT_FALSE(tree.OperationCanceled());
    tree.StartOperation(okSortTree);
    tree.CancelOperation();
    EXPECT_TRUE(tree.OperationCanceled());
    tree.EndOperation(okSortTree);
    EXPECT_FALSE(tree.OperationCanceled());
    EXPECT_EQ(ops, (std::vector<std::string>{"start 3", "end 3"}));
    try {
        tree.EndOperation(okSortTree);
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "EndOperation must not be called when no operation in progress.");
    }
}

TEST(LazyTreeChanges, BracketsBelongToTheMainThread) {
    RecordingTree tree;
    std::string message;
    std::thread other([&] {
        try {
            tree.BeginUpdate();
        } catch (const EAssertionFailed& e) {
            message = e.Message();
        }
    });
    other.join();
    EXPECT_EQ(message, "UI controls like TLazyStringTree should only be manipulated through "
                       "the main thread.");
    EXPECT_EQ(tree.UpdateCount(), 0u);
}

TEST(LazyTreeChanges, FailingChangeHandlerStillEndsTheBracket) {
    RecordingTree tree;
    tree.OnChange = [](TBaseLazyTree*, PLazyNode) { throw Exception("handler"); };
    tree.BeginUpdate();
    tree.ReportChange(nullptr);
    EXPECT_THROW(tree.EndUpdate(), Exception);
    EXPECT_EQ(tree.UpdateCount(), 0u);
    EXPECT_FALSE(tree.TreeStates().Contains(tsUpdating));
}

} // namespace
