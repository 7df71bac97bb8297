#pragma once
// The row store of the grids. A row has a record only when it carries a height other than the
// default or cells; the other rows cost one empty slot. The slots sit in a ring with a gap at
// the place of the last edit, so inserting, deleting and moving rows moves the rows touched
// plus the slots between the previous edit and this one (the shorter way round the ring): runs
// of edits at one place, the top or the bottom cost O(1) per row, and exchanging two rows is
// O(1) wherever they are.
//
// Cell objects may be owned by the grid: the store then releases every object that leaves it
// for good (a deleted row or column, a lower count, a dropped block) through its object
// deleter, whatever the grid's state at that moment (also while the grid is destroyed).
#include "platform/base/Classes.h"

#include <cstddef>
#include <string>
#include <vector>

struct TGridCell {
    std::string Text;
    TObject* Object = nullptr;
};

// One row: its height (-1: the grid's default) and its cells by real column index. Cells
// past the end are empty.
struct TGridRow {
    int Height = -1;
    std::vector<TGridCell> Cells;

    const TGridCell* Cell(int c) const {
        return c >= 0 && std::size_t(c) < Cells.size() ? &Cells[std::size_t(c)] : nullptr;
    }
    // The cell, the row growing to at least MinSize cells when it is shorter.
    TGridCell& NeedCell(int c, int MinSize);
};

// Frees a cell object that leaves the store for good; nullptr: the objects are not owned.
using TGridObjectDeleter = void (*)(TObject*);

class TGridRowStore;

// Rows taken out of a store with their records (texts, objects, heights), to be put back into
// it later. A block dropped without being put back releases its objects as the store would.
class TGridRowBlock {
public:
    TGridRowBlock() = default;
    TGridRowBlock(TGridRowBlock&& o) noexcept;
    TGridRowBlock& operator=(TGridRowBlock&& o) noexcept;
    TGridRowBlock(const TGridRowBlock&) = delete;
    TGridRowBlock& operator=(const TGridRowBlock&) = delete;
    ~TGridRowBlock();

    int Count() const { return int(rows_.size()); }
    bool Empty() const { return rows_.empty(); }
    // The record of row i of the block; nullptr for a row with no height and no cells.
    const TGridRow* Row(int i) const { return rows_[std::size_t(i)]; }
    TGridRow* Row(int i) { return rows_[std::size_t(i)]; }
    // Moves the rows of Other to the end of this block.
    void Append(TGridRowBlock&& Other);
    // Splits off the rows from i on into a block of their own.
    TGridRowBlock SplitOff(int i);

private:
    friend class TGridRowStore;
    // Row pointers, one of them kept in place: a hidden row keeps a block of its own, and
    // filters hide rows by the hundred thousand.
    class RowList {
    public:
        RowList() = default;
        RowList(RowList&& o) noexcept;
        RowList& operator=(RowList&& o) noexcept;
        std::size_t size() const { return size_; }
        bool empty() const { return size_ == 0; }
        TGridRow* const* begin() const { return many_.empty() ? &one_ : many_.data(); }
        TGridRow* const* end() const { return begin() + size_; }
        TGridRow*& operator[](std::size_t i) { return (many_.empty() ? &one_ : many_.data())[i]; }
        TGridRow* operator[](std::size_t i) const { return begin()[i]; }
        void reserve(std::size_t n) {
            if (n > 1) many_.reserve(n);
        }
        void push_back(TGridRow* Row);
        void clear();
        // Keeps the first n rows (n <= size()).
        void shrink(std::size_t n);

    private:
        TGridRow* one_ = nullptr;     // the row while there is at most one
        std::vector<TGridRow*> many_; // the rows once there are two or more
        std::size_t size_ = 0;
    };
    void release();
    RowList rows_;
    TGridObjectDeleter deleter_ = nullptr;
};

class TGridRowStore {
public:
    explicit TGridRowStore(int Count = 0);
    TGridRowStore(const TGridRowStore&) = delete;
    TGridRowStore& operator=(const TGridRowStore&) = delete;
    ~TGridRowStore();

    int Count() const { return count_; }
    // The record of row r (0 <= r < Count); nullptr when the row has none.
    TGridRow* Get(int r) const {
        return slots_[(head_ + std::size_t(r) + (r >= gap_ ? gapLen() : 0)) & mask_];
    }
    // The record of row r, created when missing.
    TGridRow& Need(int r);

    TGridObjectDeleter ObjectDeleter() const { return deleter_; }
    void SetObjectDeleter(TGridObjectDeleter v) { deleter_ = v; }

    // Count rows without records at At (0 <= At <= Count).
    void Insert(int At, int Count);
    // Frees the records of rows At..At+Count-1 with their objects and closes the gap.
    void Delete(int At, int Count);
    void Resize(int Count);
    // Row From goes to To; the rows between move by one.
    void Move(int From, int To);
    void Exchange(int A, int B);
    // Takes rows At..At+Count-1 out with their records; Put inserts a block's rows at At.
    TGridRowBlock Take(int At, int Count);
    void Put(int At, TGridRowBlock&& Block);
    // Takes the rows at the ascending indexes Rows out in one pass, in that order.
    TGridRowBlock TakeList(const std::vector<int>& Rows);

    // Cells by real column index in every row: the cells from Col on are released; the cell
    // at Col goes and the ones right of it move one place left; the cell at From goes to To.
    void DropColumnsFrom(int Col);
    void DeleteColumn(int Col);
    void MoveColumn(int From, int To);
    // The largest number of cells a row holds.
    int CellWidth() const;
    // Every height back to the default.
    void ResetHeights();
    // Releases every object (the texts stay); the store owns no object afterwards.
    void ReleaseObjects();

    // Calls Fn(TGridRow&) for each record.
    template <typename Fn> void ForEachRecord(Fn&& fn) const {
        for (int r = 0; r < count_; ++r)
            if (TGridRow* row = Get(r)) fn(*row);
    }

private:
    std::size_t gapLen() const { return slots_.size() - std::size_t(count_); }
    std::size_t at(int r) const {
        return (head_ + std::size_t(r) + (r >= gap_ ? gapLen() : 0)) & mask_;
    }
    void moveGap(int To);
    void gapForward(int n);
    void gapBack(int n);
    void reserveFor(int Extra, int At);
    void releaseCell(TGridCell& c) const;
    void freeRow(TGridRow* row) const;

    std::vector<TGridRow*> slots_;
    std::size_t mask_ = 0;
    std::size_t head_ = 0;
    int count_ = 0;
    int gap_ = 0;
    TGridObjectDeleter deleter_ = nullptr;
};
