#include "platform/base/Classes.h"

#include <algorithm>
#include <cstring>

// --- TPersistent ---------------------------------------------------------------------------
void TPersistent::Assign(const TPersistent* Source) {
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    throw EConvertError("Cannot assign a nil to a " + std::string(typeid(*this).name()));
}

void TPersistent::AssignTo(TPersistent* Dest) const {
    throw EConvertError("Cannot assign a " + std::string(typeid(*this).name()) + " to a " +
                        std::string(typeid(*Dest).name()));
}

// --- TComponent ----------------------------------------------------------------------------
TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    state_ |= csDestroying;
    // Tell everyone who asked, then detach from them.
    auto notifies = freeNotifies_;
    freeNotifies_.clear();
    for (TComponent* c : notifies) {
        c->RemoveFreeNotification(this);
        c->Notification(this, opRemove);
    }
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

int TComponent::ComponentIndex() const {
    if (!owner_) return -1;
    auto& list = owner_->components_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->Name(), name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* c) {
    if (!c || c->owner_ == this) return;
    if (c->owner_) c->owner_->RemoveComponent(c);
    components_.push_back(c);
    c->owner_ = this;
    Notification(c, opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
    auto it = std::find(components_.begin(), components_.end(), c);
    if (it == components_.end()) return;
    Notification(c, opRemove);
    components_.erase(std::find(components_.begin(), components_.end(), c));
    c->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent* c) {
    if (!c || c == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), c) == freeNotifies_.end()) {
        freeNotifies_.push_back(c);
        c->FreeNotification(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* c) {
    auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), c);
    if (it == freeNotifies_.end()) return;
    freeNotifies_.erase(it);
    c->RemoveFreeNotification(this);
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        RemoveComponent(c);
        delete c;
    }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
}

// --- TList ---------------------------------------------------------------------------------
namespace {
[[noreturn]] void listIndexError(int i) {
    throw EListError("List index out of bounds (" + std::to_string(i) + ")");
}
} // namespace

void* TList::Items(int i) const {
    if (i < 0 || i >= Count()) listIndexError(i);
    return items_[std::size_t(i)];
}

void TList::SetItems(int i, void* p) {
    if (i < 0 || i >= Count()) listIndexError(i);
    items_[std::size_t(i)] = p;
}

void TList::Insert(int i, void* p) {
    if (i < 0 || i > Count()) listIndexError(i);
    items_.insert(items_.begin() + i, p);
}

void TList::Delete(int i) {
    if (i < 0 || i >= Count()) listIndexError(i);
    items_.erase(items_.begin() + i);
}

int TList::Remove(void* p) {
    int i = IndexOf(p);
    if (i >= 0) Delete(i);
    return i;
}

int TList::IndexOf(void* p) const {
    auto it = std::find(items_.begin(), items_.end(), p);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

void TList::Exchange(int a, int b) {
    if (a < 0 || a >= Count()) listIndexError(a);
    if (b < 0 || b >= Count()) listIndexError(b);
    std::swap(items_[std::size_t(a)], items_[std::size_t(b)]);
}

void TList::Move(int from, int to) {
    if (from == to) return;
    void* p = Items(from);
    Delete(from);
    Insert(to, p);
}

void TList::Sort(const std::function<int(void*, void*)>& compare) {
    std::stable_sort(items_.begin(), items_.end(),
                     [&](void* a, void* b) { return compare(a, b) < 0; });
}

// --- TStrings ------------------------------------------------------------------------------
int TStrings::Add(const std::string& s) {
    int i = Count();
    Insert(i, s);
    return i;
}

int TStrings::AddObject(const std::string& s, TObject* o) {
    int i = Add(s);
    PutObject(i, o);
    return i;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* o) {
    Insert(index, s);
    PutObject(index, o);
}

void TStrings::AddStrings(const TStrings& other) {
    BeginUpdate();
    for (int i = 0; i < other.Count(); ++i) AddObject(other.Get(i), other.GetObject(i));
    EndUpdate();
}

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (CaseSensitiveCompare() ? Get(i) == s : AnsiCompareText(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (AnsiCompareText(Names(i), name) == 0 &&
            Get(i).find(NameValueSeparator) != std::string::npos)
            return i;
    return -1;
}

int TStrings::IndexOfObject(TObject* o) const {
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == o) return i;
    return -1;
}

std::string TStrings::Names(int index) const {
    std::string s = Get(index);
    auto p = s.find(NameValueSeparator);
    return p == std::string::npos ? "" : s.substr(0, p);
}

std::string TStrings::ValueFromIndex(int index) const {
    std::string s = Get(index);
    auto p = s.find(NameValueSeparator);
    return p == std::string::npos ? "" : s.substr(p + 1);
}

std::string TStrings::Values(const std::string& name) const {
    int i = IndexOfName(name);
    return i < 0 ? "" : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& name, const std::string& value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    std::string line = name + NameValueSeparator + value;
    if (i < 0)
        Add(line);
    else
        Put(i, line);
}

void TStrings::Exchange(int a, int b) {
    std::string sa = Get(a), sb = Get(b);
    TObject *oa = GetObject(a), *ob = GetObject(b);
    Put(a, sb);
    PutObject(a, ob);
    Put(b, sa);
    PutObject(b, oa);
}

void TStrings::Move(int from, int to) {
    if (from == to) return;
    std::string s = Get(from);
    TObject* o = GetObject(from);
    BeginUpdate();
    Delete(from);
    InsertObject(to, s, o);
    EndUpdate();
}

std::string TStrings::Text() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) out += Get(i) + LineBreak;
    return out;
}

void TStrings::SetText(const std::string& text) {
    BeginUpdate();
    Clear();
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
        Add(text.substr(i, j - i));
        if (j < text.size() && text[j] == '\r') ++j;
        if (j < text.size() && text[j] == '\n') ++j;
        i = j;
    }
    EndUpdate();
}

std::string TStrings::DelimitedText() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        std::string s = Get(i);
        bool quote = s.empty() && Count() > 1;
        for (char c : s)
            if (c == QuoteChar || c == Delimiter ||
                (!StrictDelimiter && static_cast<unsigned char>(c) <= ' '))
                quote = true;
        if (quote) {
            std::string q(1, QuoteChar);
            s = q + StringReplaceAll(s, q, q + q) + q;
        }
        if (i) out += Delimiter;
        out += s;
    }
    return out;
}

void TStrings::SetDelimitedText(const std::string& text) {
    BeginUpdate();
    Clear();
    std::size_t i = 0, n = text.size();
    auto isSep = [&](char c) {
        return c == Delimiter ||
               (!StrictDelimiter && static_cast<unsigned char>(c) <= ' ' && c != '\0');
    };
    if (!StrictDelimiter)
        while (i < n && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    while (i < n) {
        std::string item;
        if (text[i] == QuoteChar) {
            ++i;
            while (i < n) {
                if (text[i] == QuoteChar) {
                    if (i + 1 < n && text[i + 1] == QuoteChar) {
                        item += QuoteChar;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
            while (i < n && !isSep(text[i])) item += text[i++];
        } else {
            while (i < n && !isSep(text[i])) item += text[i++];
        }
        Add(item);
        if (!StrictDelimiter)
            while (i < n && static_cast<unsigned char>(text[i]) <= ' ') ++i;
        if (i < n && text[i] == Delimiter) {
            ++i;
            if (!StrictDelimiter)
                while (i < n && static_cast<unsigned char>(text[i]) <= ' ') ++i;
            if (i >= n) Add("");
        }
    }
    EndUpdate();
}

std::string TStrings::CommaText() const {
    TStringList tmp;
    tmp.Assign(this);
    tmp.Delimiter = ',';
    tmp.QuoteChar = '"';
    tmp.StrictDelimiter = false;
    return tmp.DelimitedText();
}

void TStrings::SetCommaText(const std::string& text) {
    char d = Delimiter, q = QuoteChar;
    bool strict = StrictDelimiter;
    Delimiter = ',';
    QuoteChar = '"';
    StrictDelimiter = false;
    SetDelimitedText(text);
    Delimiter = d;
    QuoteChar = q;
    StrictDelimiter = strict;
}

void TStrings::BeginUpdate() {
    if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::Assign(const TPersistent* Source) {
    if (auto src = dynamic_cast<const TStrings*>(Source)) {
        if (src == this) return;
        BeginUpdate();
        Clear();
        Delimiter = src->Delimiter;
        QuoteChar = src->QuoteChar;
        NameValueSeparator = src->NameValueSeparator;
        StrictDelimiter = src->StrictDelimiter;
        LineBreak = src->LineBreak;
        for (int i = 0; i < src->Count(); ++i) AddObject(src->Get(i), src->GetObject(i));
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

bool TStrings::Equals(const TStrings& other) const {
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != other.Get(i)) return false;
    return true;
}

std::vector<std::string> TStrings::ToVector() const {
    std::vector<std::string> v;
    v.reserve(std::size_t(Count()));
    for (int i = 0; i < Count(); ++i) v.push_back(Get(i));
    return v;
}

// --- TStringList ---------------------------------------------------------------------------
TStringList::TStringList(std::initializer_list<std::string> items) {
    for (const auto& s : items) Add(s);
}

TStringList::~TStringList() {
    if (OwnsObjects)
        for (auto& it : items_) delete it.object;
}

void TStringList::checkIndex(int index) const {
    if (index < 0 || index >= Count())
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

std::string TStringList::Get(int index) const {
    checkIndex(index);
    return items_[std::size_t(index)].text;
}

void TStringList::Put(int index, const std::string& s) {
    if (sorted_) throw EStringListError("Operation not allowed on sorted list");
    checkIndex(index);
    Changing();
    items_[std::size_t(index)].text = s;
    Changed();
}

TObject* TStringList::GetObject(int index) const {
    checkIndex(index);
    return items_[std::size_t(index)].object;
}

void TStringList::PutObject(int index, TObject* o) {
    checkIndex(index);
    Changing();
    items_[std::size_t(index)].object = o;
    Changed();
}

void TStringList::insertItem(int index, const std::string& s, TObject* o) {
    Changing();
    items_.insert(items_.begin() + index, Item{s, o});
    Changed();
}

void TStringList::Insert(int index, const std::string& s) {
    if (sorted_) throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count())
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    insertItem(index, s, nullptr);
}

int TStringList::Add(const std::string& s) {
    if (!sorted_) {
        insertItem(Count(), s, nullptr);
        return Count() - 1;
    }
    int index;
    if (Find(s, index)) {
        if (Duplicates == dupIgnore) return index;
        if (Duplicates == dupError) throw EStringListError("String list does not allow duplicates");
    }
    insertItem(index, s, nullptr);
    return index;
}

void TStringList::Delete(int index) {
    checkIndex(index);
    Changing();
    if (OwnsObjects) delete items_[std::size_t(index)].object;
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    if (OwnsObjects)
        for (auto& it : items_) delete it.object;
    items_.clear();
    Changed();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
    return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

int TStringList::IndexOf(const std::string& s) const {
    if (!sorted_) return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

void TStringList::Exchange(int a, int b) {
    checkIndex(a);
    checkIndex(b);
    Changing();
    std::swap(items_[std::size_t(a)], items_[std::size_t(b)]);
    Changed();
}

void TStringList::SetSorted(bool value) {
    if (value == sorted_) return;
    if (value) Sort();
    sorted_ = value;
}

void TStringList::SetCaseSensitive(bool v) {
    if (v == caseSensitive_) return;
    caseSensitive_ = v;
    if (sorted_) Sort();
}

bool TStringList::Find(const std::string& s, int& index) const {
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = CompareStrings(items_[std::size_t(mid)].text, s);
        if (c < 0)
            lo = mid + 1;
        else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (Duplicates != dupAccept) lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::Sort() {
    Changing();
    std::stable_sort(items_.begin(), items_.end(), [&](const Item& a, const Item& b) {
        return CompareStrings(a.text, b.text) < 0;
    });
    Changed();
}

void TStringList::CustomSort(const std::function<int(TStringList&, int, int)>& compare) {
    // Sort an index permutation so the comparer sees the list as it is.
    std::vector<int> order(items_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (int i : order) sorted.push_back(items_[std::size_t(i)]);
    Changing();
    items_ = std::move(sorted);
    Changed();
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

// --- TCollection ---------------------------------------------------------------------------
TCollectionItem::TCollectionItem(TCollection* collection) : collection_(collection) {}

TCollectionItem::~TCollectionItem() {
    if (collection_) {
        auto& v = collection_->items_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        collection_->changed(nullptr);
    }
}

int TCollectionItem::Index() const {
    if (!collection_) return -1;
    auto& v = collection_->items_;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : int(it - v.begin());
}

void TCollectionItem::SetIndex(int value) {
    int cur = Index();
    if (cur < 0 || value == cur || value < 0 || value >= collection_->Count()) return;
    auto& v = collection_->items_;
    v.erase(v.begin() + cur);
    v.insert(v.begin() + value, this);
    collection_->changed(nullptr);
}

void TCollectionItem::Changed(bool allItems) {
    if (collection_) collection_->changed(allItems ? nullptr : this);
}

TCollection::TCollection(ItemFactory factory) : factory_(std::move(factory)) {}

TCollection::~TCollection() {
    updateCount_ = 1;
    Clear();
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[std::size_t(index)];
}

TCollectionItem* TCollection::Add() {
    return Insert(Count());
}

TCollectionItem* TCollection::Insert(int index) {
    TCollectionItem* item = factory_(this);
    item->collection_ = this;
    items_.insert(items_.begin() + std::clamp(index, 0, Count()), item);
    changed(nullptr);
    return item;
}

void TCollection::Delete(int index) {
    delete Items(index); // the item removes itself
}

void TCollection::Clear() {
    if (items_.empty()) return;
    BeginUpdate();
    while (!items_.empty()) {
        TCollectionItem* it = items_.back();
        items_.pop_back();
        it->collection_ = nullptr;
        delete it;
    }
    EndUpdate();
}

void TCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) changed(nullptr);
}

void TCollection::Assign(const TPersistent* Source) {
    if (auto src = dynamic_cast<const TCollection*>(Source)) {
        BeginUpdate();
        Clear();
        for (auto* item : src->items_) Add()->Assign(item);
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

void TCollection::Update(TCollectionItem* item) {
    if (OnUpdate) OnUpdate(item);
}

void TCollection::changed(TCollectionItem* item) {
    if (updateCount_ == 0) Update(item);
}

// --- streams -------------------------------------------------------------------------------
std::int64_t TStream::Size() {
    std::int64_t pos = Seek(0, soCurrent);
    std::int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t) {
    throw EStreamError("Stream size cannot be changed");
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count > 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count > 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<std::uint8_t> buf(65536);
    std::int64_t done = 0;
    while (done < count) {
        std::int64_t n = std::min<std::int64_t>(count - done, std::int64_t(buf.size()));
        source.ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        done += n;
    }
    return done;
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
    std::int64_t n = std::clamp<std::int64_t>(Size() - pos_, 0, std::max<std::int64_t>(count, 0));
    if (n > 0) std::memcpy(buffer, data_.data() + pos_, std::size_t(n));
    pos_ += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (pos_ >= Size()) {
        // Appending copies the bytes once, without filling the new room first.
        data_.resize(std::size_t(pos_));
        data_.insert(data_.end(), bytes, bytes + count);
    } else {
        if (pos_ + count > Size()) data_.resize(std::size_t(pos_ + count));
        std::memcpy(data_.data() + pos_, bytes, std::size_t(count));
    }
    pos_ += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? pos_ : Size();
    pos_ = std::max<std::int64_t>(0, base + offset);
    return pos_;
}

void TMemoryStream::SetSize(std::int64_t size) {
    data_.resize(std::size_t(std::max<std::int64_t>(size, 0)));
    pos_ = std::min(pos_, Size());
}

void TMemoryStream::Clear() {
    data_.clear();
    pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& s) {
    s.SetPosition(0);
    std::int64_t n = s.Size();
    SetSize(n);
    s.ReadBuffer(data_.data(), n);
    pos_ = 0;
}

void TMemoryStream::SaveToStream(TStream& s) {
    s.WriteBuffer(data_.data(), Size());
}

void TMemoryStream::LoadFromFile(const std::string& path) {
    TFileStream f(path, fmOpenRead);
    LoadFromStream(f);
}

void TMemoryStream::SaveToFile(const std::string& path) {
    TFileStream f(path, fmCreate);
    SaveToStream(f);
}

TFileStream::TFileStream(const std::string& path, unsigned mode) : path_(path) {
    if (mode == fmCreate || (mode & 0xFF00) == fmCreate) {
        file_ = std::fopen(path.c_str(), "w+b");
        if (!file_) throw EFCreateError("Cannot create file \"" + path + "\"");
        return;
    }
    const char* m = (mode & 3) == fmOpenRead ? "rb" : "r+b";
    file_ = std::fopen(path.c_str(), m);
    if (!file_) throw EFOpenError("Cannot open file \"" + path + "\"");
}

TFileStream::~TFileStream() {
    if (file_) std::fclose(file_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    return std::int64_t(std::fread(buffer, 1, std::size_t(count), file_));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    return std::int64_t(std::fwrite(buffer, 1, std::size_t(count), file_));
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    if (std::fseek(file_, long(offset), whence) != 0) throw EStreamError("Seek error in " + path_);
    return std::int64_t(std::ftell(file_));
}
