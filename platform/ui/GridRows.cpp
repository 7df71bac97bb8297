#include "platform/ui/GridRows.h"

#include <algorithm>
#include <utility>

TGridCell& TGridRow::NeedCell(int c, int MinSize) {
    std::size_t need = std::size_t(std::max(c + 1, MinSize));
    // One allocation for the row's cells: a row grows to the grid's width at once.
    if (Cells.size() < need) Cells.resize(need);
    return Cells[std::size_t(c)];
}

// --- blocks -------------------------------------------------------------------------------------

TGridRowBlock::RowList::RowList(RowList&& o) noexcept
    : one_(o.one_), many_(std::move(o.many_)), size_(o.size_) {
    o.clear();
}

TGridRowBlock::RowList& TGridRowBlock::RowList::operator=(RowList&& o) noexcept {
    if (this != &o) {
        one_ = o.one_;
        many_ = std::move(o.many_);
        size_ = o.size_;
        o.clear();
    }
    return *this;
}

void TGridRowBlock::RowList::push_back(TGridRow* Row) {
    if (many_.empty()) {
        if (size_ == 0) {
            one_ = Row;
            size_ = 1;
            return;
        }
        many_.push_back(one_);
    }
    many_.push_back(Row);
    size_ = many_.size();
}

void TGridRowBlock::RowList::clear() {
    many_.clear();
    size_ = 0;
}

void TGridRowBlock::RowList::shrink(std::size_t n) {
    if (n >= size_) return;
    if (!many_.empty()) {
        if (n == 1) one_ = many_.front();
        many_.resize(n > 1 ? n : 0);
    }
    size_ = n;
}

TGridRowBlock::TGridRowBlock(TGridRowBlock&& o) noexcept
    : rows_(std::move(o.rows_)), deleter_(o.deleter_) {
    o.rows_.clear();
}

TGridRowBlock& TGridRowBlock::operator=(TGridRowBlock&& o) noexcept {
    if (this != &o) {
        release();
        rows_ = std::move(o.rows_);
        deleter_ = o.deleter_;
        o.rows_.clear();
    }
    return *this;
}

TGridRowBlock::~TGridRowBlock() {
    release();
}

void TGridRowBlock::release() {
    for (TGridRow* row : rows_) {
        if (!row) continue;
        if (deleter_)
            for (TGridCell& c : row->Cells)
                if (TObject* o = std::exchange(c.Object, nullptr)) deleter_(o);
        delete row;
    }
    rows_.clear();
}

void TGridRowBlock::Append(TGridRowBlock&& Other) {
    if (rows_.empty()) deleter_ = Other.deleter_;
    for (TGridRow* row : Other.rows_) rows_.push_back(row);
    Other.rows_.clear();
}

TGridRowBlock TGridRowBlock::SplitOff(int i) {
    TGridRowBlock tail;
    tail.deleter_ = deleter_;
    tail.rows_.reserve(rows_.size() - std::size_t(i));
    for (auto it = rows_.begin() + i; it != rows_.end(); ++it) tail.rows_.push_back(*it);
    rows_.shrink(std::size_t(i));
    return tail;
}

// --- store --------------------------------------------------------------------------------------

namespace {
constexpr std::size_t kMinSlots = 16;

std::size_t slotsFor(std::size_t n) {
    std::size_t c = kMinSlots;
    while (c < n) c *= 2;
    return c;
}
} // namespace

TGridRowStore::TGridRowStore(int Count) {
    slots_.assign(slotsFor(std::size_t(std::max(Count, 0))), nullptr);
    mask_ = slots_.size() - 1;
    count_ = std::max(Count, 0);
    gap_ = count_;
}

TGridRowStore::~TGridRowStore() {
    for (int r = 0; r < count_; ++r) freeRow(Get(r));
}

void TGridRowStore::releaseCell(TGridCell& c) const {
    TObject* o = std::exchange(c.Object, nullptr);
    if (o && deleter_) deleter_(o);
}

void TGridRowStore::freeRow(TGridRow* row) const {
    if (!row) return;
    for (TGridCell& c : row->Cells) releaseCell(c);
    delete row;
}

TGridRow& TGridRowStore::Need(int r) {
    TGridRow*& slot = slots_[at(r)];
    if (!slot) slot = new TGridRow;
    return *slot;
}

// The slots after the gap move in front of it.
void TGridRowStore::gapForward(int n) {
    std::size_t len = gapLen();
    for (int i = gap_; i < gap_ + n; ++i)
        slots_[(head_ + std::size_t(i)) & mask_] = slots_[(head_ + std::size_t(i) + len) & mask_];
    gap_ += n;
}

// The slots before the gap move behind it.
void TGridRowStore::gapBack(int n) {
    std::size_t len = gapLen();
    for (int i = gap_ - 1; i >= gap_ - n; --i)
        slots_[(head_ + std::size_t(i) + len) & mask_] = slots_[(head_ + std::size_t(i)) & mask_];
    gap_ -= n;
}

// A gap behind the last row is the same slots as a gap before the first one: the walk takes
// the shorter way round the ring.
void TGridRowStore::moveGap(int To) {
    if (To == gap_) return;
    std::size_t len = gapLen();
    if (To < gap_) {
        int direct = gap_ - To, around = count_ - gap_ + To;
        if (direct <= around) {
            gapBack(direct);
        } else {
            gapForward(count_ - gap_);
            head_ = (head_ - len) & mask_;
            gap_ = 0;
            gapForward(To);
        }
    } else {
        int direct = To - gap_, around = gap_ + count_ - To;
        if (direct <= around) {
            gapForward(direct);
        } else {
            gapBack(gap_);
            head_ = (head_ + len) & mask_;
            gap_ = count_;
            gapBack(count_ - To);
        }
    }
}

// Room for Extra more rows; a new ring is laid out with its gap at At.
void TGridRowStore::reserveFor(int Extra, int At) {
    std::size_t need = std::size_t(count_) + std::size_t(Extra);
    if (need <= slots_.size()) {
        moveGap(At);
        return;
    }
    std::vector<TGridRow*> grown(slotsFor(need + need / 2), nullptr);
    std::size_t len = grown.size() - std::size_t(count_);
    for (int r = 0; r < count_; ++r) grown[std::size_t(r) + (r >= At ? len : 0)] = Get(r);
    slots_.swap(grown);
    mask_ = slots_.size() - 1;
    head_ = 0;
    gap_ = At;
}

void TGridRowStore::Insert(int At, int Count) {
    if (Count <= 0) return;
    reserveFor(Count, At);
    for (int i = 0; i < Count; ++i) slots_[(head_ + std::size_t(At + i)) & mask_] = nullptr;
    count_ += Count;
    gap_ = At + Count;
}

void TGridRowStore::Delete(int At, int Count) {
    if (Count <= 0) return;
    moveGap(At);
    std::size_t len = gapLen();
    for (int i = 0; i < Count; ++i)
        freeRow(std::exchange(slots_[(head_ + std::size_t(At + i) + len) & mask_], nullptr));
    count_ -= Count;
}

void TGridRowStore::Resize(int Count) {
    Count = std::max(Count, 0);
    if (Count > count_)
        Insert(count_, Count - count_);
    else
        Delete(Count, count_ - Count);
}

void TGridRowStore::Move(int From, int To) {
    if (From == To) return;
    moveGap(From);
    std::size_t len = gapLen();
    TGridRow* row = slots_[(head_ + std::size_t(From) + len) & mask_];
    --count_; // the gap now covers the row's slot
    moveGap(To);
    slots_[(head_ + std::size_t(To)) & mask_] = row;
    ++count_;
    gap_ = To + 1;
}

void TGridRowStore::Exchange(int A, int B) {
    std::swap(slots_[at(A)], slots_[at(B)]);
}

TGridRowBlock TGridRowStore::Take(int At, int Count) {
    TGridRowBlock block;
    block.deleter_ = deleter_;
    if (Count <= 0) return block;
    moveGap(At);
    std::size_t len = gapLen();
    block.rows_.reserve(std::size_t(Count));
    for (int i = 0; i < Count; ++i) {
        TGridRow*& slot = slots_[(head_ + std::size_t(At + i) + len) & mask_];
        block.rows_.push_back(slot);
        slot = nullptr;
    }
    count_ -= Count;
    return block;
}

TGridRowBlock TGridRowStore::TakeList(const std::vector<int>& Rows) {
    TGridRowBlock block;
    block.deleter_ = deleter_;
    if (Rows.empty()) return block;
    // With the gap behind the last row, the rows that stay close up in place.
    moveGap(count_);
    block.rows_.reserve(Rows.size());
    std::size_t k = 0;
    int kept = Rows.front();
    for (int r = Rows.front(); r < count_; ++r) {
        TGridRow* row = slots_[(head_ + std::size_t(r)) & mask_];
        if (k < Rows.size() && Rows[k] == r) {
            block.rows_.push_back(row);
            ++k;
        } else {
            slots_[(head_ + std::size_t(kept++)) & mask_] = row;
        }
    }
    for (int r = kept; r < count_; ++r) slots_[(head_ + std::size_t(r)) & mask_] = nullptr;
    count_ = kept;
    gap_ = count_;
    return block;
}

void TGridRowStore::Put(int At, TGridRowBlock&& Block) {
    int n = Block.Count();
    if (n == 0) return;
    reserveFor(n, At);
    for (int i = 0; i < n; ++i)
        slots_[(head_ + std::size_t(At + i)) & mask_] = Block.rows_[std::size_t(i)];
    Block.rows_.clear();
    count_ += n;
    gap_ = At + n;
}

void TGridRowStore::DropColumnsFrom(int Col) {
    ForEachRecord([&](TGridRow& row) {
        if (row.Cells.size() <= std::size_t(Col)) return;
        for (std::size_t c = std::size_t(Col); c < row.Cells.size(); ++c) releaseCell(row.Cells[c]);
        row.Cells.resize(std::size_t(Col));
    });
}

void TGridRowStore::DeleteColumn(int Col) {
    ForEachRecord([&](TGridRow& row) {
        if (row.Cells.size() <= std::size_t(Col)) return;
        releaseCell(row.Cells[std::size_t(Col)]);
        row.Cells.erase(row.Cells.begin() + Col);
    });
}

void TGridRowStore::MoveColumn(int From, int To) {
    if (From == To) return;
    int need = std::max(From, To) + 1, low = std::min(From, To);
    ForEachRecord([&](TGridRow& row) {
        if (int(row.Cells.size()) <= low) return;
        if (int(row.Cells.size()) < need) row.Cells.resize(std::size_t(need));
        auto b = row.Cells.begin();
        if (From < To)
            std::rotate(b + From, b + From + 1, b + To + 1);
        else
            std::rotate(b + To, b + From, b + From + 1);
    });
}

int TGridRowStore::CellWidth() const {
    std::size_t w = 0;
    ForEachRecord([&](TGridRow& row) { w = std::max(w, row.Cells.size()); });
    return int(w);
}

void TGridRowStore::ResetHeights() {
    ForEachRecord([](TGridRow& row) { row.Height = -1; });
}

void TGridRowStore::ReleaseObjects() {
    ForEachRecord([&](TGridRow& row) {
        for (TGridCell& c : row.Cells) releaseCell(c);
    });
}
