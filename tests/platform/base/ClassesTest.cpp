#include "platform/base/Classes.h"

#include <gtest/gtest.h>

namespace {
struct Probe : TComponent {
    using TComponent::TComponent;
    std::vector<std::string>* log = nullptr;
    ~Probe() override {
        if (log) log->push_back("destroy " + Name());
    }
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (log && op == opRemove && c != this)
            log->push_back(Name() + " sees " + c->Name() + " go");
    }
};
} // namespace

TEST(Components, OwnerDestroysWhatItOwnsAndNotifies) {
    std::vector<std::string> log;
    auto* watcher = new Probe(nullptr);
    watcher->SetName("watcher");
    watcher->log = &log;
    {
        Probe owner(nullptr);
        owner.SetName("owner");
        auto* a = new Probe(&owner);
        a->SetName("a");
        a->log = &log;
        a->FreeNotification(watcher);
        EXPECT_EQ(owner.FindComponent("A"), a);
        EXPECT_EQ(a->ComponentIndex(), 0);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"destroy a", "watcher sees a go"}));
    delete watcher;
}

TEST(StringLists, SplitsTextOnAnyLineEnd) {
    TStringList l;
    l.SetText("a\r\nb\nc\rd");
    EXPECT_EQ(l.ToVector(), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(l.Text(), "a\nb\nc\nd\n");
}

TEST(StringLists, SortedListFindsAndRefusesDuplicates) {
    TStringList l;
    l.SetSorted(true);
    l.Duplicates = dupError;
    l.Add("b");
    l.Add("A");
    l.Add("c");
    EXPECT_EQ(l.ToVector(), (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(l.IndexOf("B"), 1);
    EXPECT_THROW(l.Add("C"), EStringListError);
    EXPECT_THROW(l.Insert(0, "x"), EStringListError);
}

TEST(StringLists, CommaTextQuotesWhatNeedsIt) {
    TStringList l;
    l.SetCommaText(R"(a, "b c",d""e,)");
    EXPECT_EQ(l.ToVector(), (std::vector<std::string>{"a", "b c", "d\"\"e", ""}));
    TStringList m{"x y", "z"};
    EXPECT_EQ(m.CommaText(), "\"x y\",z");
    m.SetValues("k", "v");
    EXPECT_EQ(m.Values("K"), "v");
    EXPECT_THROW(m.Get(5), EStringListError);
}

TEST(Streams, MemoryStreamReadsWhatWasWritten) {
    TMemoryStream s;
    int v = 0x01020304;
    s.WriteBuffer(&v, 4);
    s.SetPosition(1);
    std::uint8_t b[3];
    s.ReadBuffer(b, 3);
    EXPECT_EQ(b[0], 3);
    EXPECT_THROW(s.ReadBuffer(b, 1), EReadError);
}
