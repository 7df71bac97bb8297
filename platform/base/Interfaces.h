#pragma once
// Reference-counted interfaces of the component model: an object handed on as an IInterface
// lives while references to it are held; TInterfacedObject frees itself with the last one.
#include <atomic>

class IInterface {
public:
    // Answer the new reference count.
    virtual int _AddRef() = 0;
    virtual int _Release() = 0;

protected:
    virtual ~IInterface() = default;
};

class TInterfacedObject : public IInterface {
public:
    int _AddRef() override { return ++refCount_; }
    int _Release() override {
        const int count = --refCount_;
        if (count == 0) delete this;
        return count;
    }
    int RefCount() const { return refCount_; }

private:
    std::atomic<int> refCount_{0};
};
