#pragma once
// The rows a grid hides, by real row index, each keeping its row record (cells, objects,
// height) as taken out of the grid's row store, and the level that hid it (a filter level, or
// NoFilterLevel for rows hidden directly). Real/display row mapping costs O(log n): a Fenwick
// tree over real indexes counts the hidden rows below any index.
#include "platform/ui/GridRows.h"

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <memory_resource>
#include <vector>

class THiddenRows {
public:
    static constexpr int NoFilterLevel = -1;
    struct Entry {
        int Level = NoFilterLevel;
        TGridRowBlock Row; // one row
    };

    int Count() const { return int(entries_.size()); }
    bool Contains(int Real) const { return entries_.count(Real) > 0; }
    const Entry* Find(int Real) const;
    // Hidden rows with a real index below Real.
    int CountBelow(int Real) const;
    // The real index of the shown row at display index Displ (Displ >= 0).
    int RealOf(int Displ) const;
    void Add(int Real, int Level, TGridRowBlock&& Row);
    // Hides the rows at the ascending real indexes Real (none of them hidden yet) at one level,
    // Rows.Row(i) being the record of Real[i].
    void AddRows(const std::vector<int>& Real, int Level, TGridRowBlock&& Rows);
    TGridRowBlock Remove(int Real);
    // The hidden real indexes in FromReal..ToReal, ascending.
    std::vector<int> Between(int FromReal, int ToReal) const;
    // The hidden real indexes of one level, ascending.
    std::vector<int> OfLevel(int Level) const;
    const std::pmr::map<int, Entry>& Entries() const { return entries_; }
    // Drops every entry (their records release their objects).
    void Clear();
    // Real indexes at or above FromReal move by Delta (rows inserted or removed before them).
    void Shift(int FromReal, int Delta);
    // Every real index r becomes NewIndex(r); the mapping must keep the order and is computed
    // for all entries before any changes.
    void Renumber(const std::function<int(int)>& NewIndex);
    // Calls Fn(TGridRow&) for the record of each hidden row that has one.
    template <typename Fn> void ForEachRecord(Fn&& fn) {
        for (auto& e : entries_)
            if (e.second.Row.Count() > 0)
                if (TGridRow* row = e.second.Row.Row(0)) fn(*row);
    }

private:
    void add(int Real, int Delta);
    bool grow(int Real);
    void rebuild(int MinReal);
    // Blocks of the map's node size carved from large chunks and reused through a free list;
    // other sizes come from the heap. Filters hide and show rows by the hundred thousand.
    class NodePool : public std::pmr::memory_resource {
    public:
        NodePool() = default;
        NodePool(const NodePool&) = delete;
        NodePool& operator=(const NodePool&) = delete;
        // Frees every chunk; no node may be in use.
        void release();

    private:
        void* do_allocate(std::size_t Bytes, std::size_t Align) override;
        void do_deallocate(void* P, std::size_t Bytes, std::size_t Align) override;
        bool do_is_equal(const std::pmr::memory_resource& Other) const noexcept override {
            return this == &Other;
        }
        // A request that takes one node: its size rounds up to the node size.
        bool fits(std::size_t Bytes, std::size_t Align) const {
            return Bytes <= size_ && Bytes + alignof(std::max_align_t) > size_ &&
                   Align <= alignof(std::max_align_t);
        }
        std::size_t size_ = 0; // the node size, set by the first request
        void* free_ = nullptr;
        std::byte* next_ = nullptr;
        std::byte* end_ = nullptr;
        std::vector<std::unique_ptr<std::byte[]>> chunks_;
    };
    NodePool pool_;
    std::pmr::map<int, Entry> entries_{&pool_};
    std::vector<int> tree_; // 1-based Fenwick tree over real indexes 0..tree_.size()-2
};
