#include "grid/core/base/HiddenRows.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace {
// Plain counts at 1..n turned into the tree over them in one pass, and back.
void countsToTree(std::vector<int>& t) {
    const std::size_t n = t.empty() ? 0 : t.size() - 1;
    for (std::size_t i = 1; i <= n; ++i)
        if (const std::size_t up = i + (i & (~i + 1)); up <= n) t[up] += t[i];
}

void treeToCounts(std::vector<int>& t) {
    const std::size_t n = t.empty() ? 0 : t.size() - 1;
    for (std::size_t i = n; i >= 1; --i)
        if (const std::size_t up = i + (i & (~i + 1)); up <= n) t[up] -= t[i];
}
} // namespace

void* THiddenRows::NodePool::do_allocate(std::size_t Bytes, std::size_t Align) {
    if (size_ == 0 && Bytes >= sizeof(void*) && Align <= alignof(std::max_align_t))
        size_ = (Bytes + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                alignof(std::max_align_t);
    if (!fits(Bytes, Align)) return std::pmr::new_delete_resource()->allocate(Bytes, Align);
    if (free_) return std::exchange(free_, *static_cast<void**>(free_));
    if (next_ == end_) {
        // Chunks double up to 64k nodes.
        const std::size_t nodes = std::size_t(64) << std::min<std::size_t>(chunks_.size(), 10);
        chunks_.push_back(std::make_unique_for_overwrite<std::byte[]>(nodes * size_));
        next_ = chunks_.back().get();
        end_ = next_ + nodes * size_;
    }
    return std::exchange(next_, next_ + size_);
}

void THiddenRows::NodePool::do_deallocate(void* P, std::size_t Bytes, std::size_t Align) {
    if (!fits(Bytes, Align)) {
        std::pmr::new_delete_resource()->deallocate(P, Bytes, Align);
        return;
    }
    *static_cast<void**>(P) = free_;
    free_ = P;
}

void THiddenRows::NodePool::release() {
    chunks_.clear();
    free_ = nullptr;
    next_ = end_ = nullptr;
}

const THiddenRows::Entry* THiddenRows::Find(int Real) const {
    auto it = entries_.find(Real);
    return it == entries_.end() ? nullptr : &it->second;
}

void THiddenRows::add(int Real, int Delta) {
    for (std::size_t i = std::size_t(Real) + 1; i < tree_.size(); i += i & (~i + 1))
        tree_[i] += Delta;
}

// The tree covers a power-of-two range; it doubles (and is rebuilt from the entries) to take
// Real. True when it was rebuilt.
bool THiddenRows::grow(int Real) {
    std::size_t cap = tree_.empty() ? 0 : tree_.size() - 1;
    if (std::size_t(Real) < cap) return false;
    rebuild(Real);
    return true;
}

// The tree over the entries and up to MinReal, built in one linear pass.
void THiddenRows::rebuild(int MinReal) {
    tree_.clear();
    if (entries_.empty() && MinReal < 0) return;
    const int top = std::max(MinReal, entries_.empty() ? 0 : entries_.rbegin()->first);
    const std::size_t n = std::max<std::size_t>(std::bit_ceil(std::size_t(top) + 1), 64);
    tree_.assign(n + 1, 0);
    for (const auto& e : entries_) tree_[std::size_t(e.first) + 1] = 1;
    countsToTree(tree_);
}

int THiddenRows::CountBelow(int Real) const {
    if (Real <= 0 || entries_.empty()) return 0;
    std::size_t cap = tree_.size() - 1;
    if (std::size_t(Real) >= cap) return Count();
    int sum = 0;
    for (std::size_t i = std::size_t(Real); i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
}

int THiddenRows::RealOf(int Displ) const {
    if (entries_.empty()) return Displ;
    // Descend to the longest prefix holding fewer than Displ + 1 shown rows.
    std::size_t cap = tree_.size() - 1;
    std::size_t pos = 0;
    int remaining = Displ + 1;
    for (std::size_t step = cap; step > 0; step >>= 1) {
        std::size_t next = pos + step;
        if (next > cap) continue;
        int shown = int(step) - tree_[next];
        if (shown < remaining) {
            pos = next;
            remaining -= shown;
        }
    }
    // Past the tree every row is shown.
    return pos < cap ? int(pos) : int(cap) + remaining - 1;
}

void THiddenRows::Add(int Real, int Level, TGridRowBlock&& Row) {
    auto [it, fresh] = entries_.try_emplace(Real);
    it->second.Level = Level;
    it->second.Row = std::move(Row);
    if (!fresh) return;
    if (!grow(Real)) add(Real, 1);
}

void THiddenRows::AddRows(const std::vector<int>& Real, int Level, TGridRowBlock&& Rows) {
    // From the last row up, each entry goes right before the one added last.
    auto hint = entries_.end();
    for (std::size_t i = Real.size(); i-- > 0;)
        hint = entries_.emplace_hint(hint, Real[i], Entry{Level, Rows.SplitOff(int(i))});
    if (Real.empty()) return;
    // The tree is undone to plain counts, grown to take the last row, marked and built again:
    // linear passes over the tree instead of a walk over the entries.
    treeToCounts(tree_);
    const std::size_t need = std::max<std::size_t>(std::bit_ceil(std::size_t(Real.back()) + 1), 64);
    if (tree_.size() < need + 1) tree_.resize(need + 1, 0);
    for (int r : Real) tree_[std::size_t(r) + 1] = 1;
    countsToTree(tree_);
}

TGridRowBlock THiddenRows::Remove(int Real) {
    auto it = entries_.find(Real);
    if (it == entries_.end()) return {};
    TGridRowBlock row = std::move(it->second.Row);
    entries_.erase(it);
    add(Real, -1);
    return row;
}

std::vector<int> THiddenRows::Between(int FromReal, int ToReal) const {
    std::vector<int> out;
    for (auto it = entries_.lower_bound(FromReal); it != entries_.end() && it->first <= ToReal;
         ++it)
        out.push_back(it->first);
    return out;
}

std::vector<int> THiddenRows::OfLevel(int Level) const {
    std::vector<int> out;
    for (const auto& e : entries_)
        if (e.second.Level == Level) out.push_back(e.first);
    return out;
}

void THiddenRows::Clear() {
    entries_.clear();
    pool_.release();
    tree_.clear();
}

void THiddenRows::Shift(int FromReal, int Delta) {
    std::pmr::map<int, Entry> moved(&pool_);
    for (auto it = entries_.lower_bound(FromReal); it != entries_.end();)
        moved.emplace(it->first + Delta, std::move(it->second)), it = entries_.erase(it);
    for (auto& e : moved) entries_.emplace(e.first, std::move(e.second));
    rebuild(-1);
}

void THiddenRows::Renumber(const std::function<int(int)>& NewIndex) {
    std::vector<int> keys;
    keys.reserve(entries_.size());
    for (const auto& e : entries_) keys.push_back(NewIndex(e.first));
    std::pmr::map<int, Entry> moved(&pool_);
    std::size_t i = 0;
    for (auto& e : entries_) moved.emplace_hint(moved.end(), keys[i++], std::move(e.second));
    entries_ = std::move(moved);
    rebuild(-1);
}
