#pragma once
// Persistent objects, components with owners, string lists, lists, collections and streams.
#include "platform/base/SysUtils.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
};

class TPersistent;
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
public:
    // Copies the state of Source; raises EConvertError when the classes do not match.
    virtual void Assign(const TPersistent* Source);

protected:
    // Called by Assign of another class to copy itself into this one.
    virtual void AssignTo(TPersistent* Dest) const;
};

enum TOperation { opInsert, opRemove };
enum TComponentStateFlag {
    csLoading = 1,
    csReading = 2,
    csWriting = 4,
    csDestroying = 8,
    csDesigning = 16
};

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    virtual void SetName(const std::string& value) { name_ = value; }
    std::intptr_t Tag() const { return tag_; }
    void SetTag(std::intptr_t value) { tag_ = value; }
    int ComponentCount() const { return int(components_.size()); }
    TComponent* Components(int index) const { return components_.at(std::size_t(index)); }
    int ComponentIndex() const;
    TComponent* FindComponent(const std::string& name) const;
    unsigned ComponentState() const { return state_; }
    bool IsDestroying() const { return state_ & csDestroying; }

    void InsertComponent(TComponent* c);
    void RemoveComponent(TComponent* c);
    // Asks to be told (through Notification) when c is destroyed.
    void FreeNotification(TComponent* c);
    void RemoveFreeNotification(TComponent* c);
    // Destroys the owned components, newest first.
    void DestroyComponents();
    // Building a form: Loading marks the component as being read; Loaded runs its fix-ups after
    // the properties are set and clears the mark.
    void Loading() { state_ |= csLoading; }
    virtual void Loaded() { state_ &= ~unsigned(csLoading); }

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    void SetComponentState(unsigned s) { state_ = s; }

private:
    TComponent* owner_ = nullptr;
    std::string name_;
    std::intptr_t tag_ = 0;
    unsigned state_ = 0;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
};

// A list of untyped pointers, as the model's TList.
class TList {
public:
    int Count() const { return int(items_.size()); }
    void* Items(int i) const;
    void SetItems(int i, void* p);
    int Add(void* p) {
        items_.push_back(p);
        return Count() - 1;
    }
    void Insert(int i, void* p);
    void Delete(int i);
    int Remove(void* p);
    int IndexOf(void* p) const;
    void Clear() { items_.clear(); }
    void Exchange(int a, int b);
    void Move(int from, int to);
    void Sort(const std::function<int(void*, void*)>& compare);
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }

private:
    std::vector<void*> items_;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// Ordered list of strings with an associated object pointer each.
class TStrings : public TPersistent {
public:
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s) = 0;
    virtual TObject* GetObject(int index) const = 0;
    virtual void PutObject(int index, TObject* o) = 0;
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    std::string Strings(int index) const { return Get(index); }
    std::string operator[](int index) const { return Get(index); }
    TObject* Objects(int index) const { return GetObject(index); }
    virtual int Add(const std::string& s);
    int AddObject(const std::string& s, TObject* o);
    void InsertObject(int index, const std::string& s, TObject* o);
    void AddStrings(const TStrings& other);
    virtual int IndexOf(const std::string& s) const;
    int IndexOfName(const std::string& name) const;
    int IndexOfObject(TObject* o) const;
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;
    std::string Values(const std::string& name) const;
    void SetValues(const std::string& name, const std::string& value);
    virtual void Exchange(int a, int b);
    virtual void Move(int from, int to);

    // Lines joined with "\n" (each line ends with the break); setting splits on any line end.
    std::string Text() const;
    void SetText(const std::string& text);
    std::string CommaText() const;
    void SetCommaText(const std::string& text);
    std::string DelimitedText() const;
    void SetDelimitedText(const std::string& text);
    char Delimiter = ',';
    char QuoteChar = '"';
    char NameValueSeparator = '=';
    bool StrictDelimiter = false;
    std::string LineBreak = "\n";

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    void Assign(const TPersistent* Source) override;
    bool Equals(const TStrings& other) const;
    std::vector<std::string> ToVector() const;

protected:
    virtual void SetUpdateState(bool /*updating*/) {}
    virtual bool CaseSensitiveCompare() const { return false; }

private:
    int updateCount_ = 0;
};

class TStringList : public TStrings {
public:
    TStringList() = default;
    TStringList(std::initializer_list<std::string> items);

    int Count() const override { return int(items_.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* o) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const std::string& s) override;
    int IndexOf(const std::string& s) const override;
    void Exchange(int a, int b) override;

    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);
    TDuplicates Duplicates = dupIgnore;
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool v);
    // Binary search in a sorted list; index is the match or the insertion point.
    bool Find(const std::string& s, int& index) const;
    virtual void Sort();
    void CustomSort(const std::function<int(TStringList&, int, int)>& compare);
    // When set, the list deletes its objects when they are removed.
    bool OwnsObjects = false;
    ~TStringList() override;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    bool CaseSensitiveCompare() const override { return caseSensitive_; }
    int CompareStrings(const std::string& a, const std::string& b) const;
    void Changed();
    void Changing();

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    void checkIndex(int index) const;
    void insertItem(int index, const std::string& s, TObject* o);
    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
};

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;
    TCollection* Collection() const { return collection_; }
    int Index() const;
    void SetIndex(int value);
    virtual std::string DisplayName() const { return ""; }

protected:
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
};

// An owned list of items of one class; items remove themselves when destroyed.
class TCollection : public TPersistent {
public:
    using ItemFactory = std::function<TCollectionItem*(TCollection*)>;
    explicit TCollection(ItemFactory factory);
    ~TCollection() override;
    int Count() const { return int(items_.size()); }
    TCollectionItem* Items(int index) const;
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }
    void Assign(const TPersistent* Source) override;
    std::function<void(TCollectionItem*)> OnUpdate; // nullptr item: the whole collection

protected:
    virtual void Update(TCollectionItem* item);

private:
    friend class TCollectionItem;
    void changed(TCollectionItem* item);
    ItemFactory factory_;
    std::vector<TCollectionItem*> items_;
    int updateCount_ = 0;
};

// --- streams -------------------------------------------------------------------------------
enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t p) { Seek(p, soBeginning); }
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t size);
    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

class TMemoryStream : public TStream {
public:
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return std::int64_t(data_.size()); }
    void SetSize(std::int64_t size) override;
    void Clear();
    std::uint8_t* Memory() { return data_.data(); }
    const std::vector<std::uint8_t>& Bytes() const { return data_; }
    void LoadFromStream(TStream& s);
    void SaveToStream(TStream& s);
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path);

private:
    std::vector<std::uint8_t> data_;
    std::int64_t pos_ = 0;
};

enum TFileMode : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

class TFileStream : public TStream {
public:
    TFileStream(const std::string& path, unsigned mode);
    ~TFileStream() override;
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    const std::string& FileName() const { return path_; }

private:
    std::string path_;
    std::FILE* file_ = nullptr;
};
