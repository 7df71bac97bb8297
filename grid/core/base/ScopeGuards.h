#pragma once
// Scope guards of the grid's operations: each puts back what it changed, also on an exception.
#include "platform/ui/core/Forms.h"

// Sets a flag for the lifetime of the scope and puts the old value back.
class FlagScope {
public:
    FlagScope(bool& flag, bool value) : flag_(flag), old_(flag) { flag_ = value; }
    ~FlagScope() { flag_ = old_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool old_;
};

// Holds a grid's update lock (BeginUpdate .. EndUpdate of the class given) for the scope.
template <typename Grid> class UpdateScope {
public:
    explicit UpdateScope(Grid& grid) : grid_(grid) { grid_.BeginUpdate(); }
    ~UpdateScope() { grid_.EndUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    Grid& grid_;
};

// Sets the screen cursor for the scope and puts the old one back.
class CursorScope {
public:
    explicit CursorScope(TCursor c) : old_(Screen ? Screen->Cursor() : crDefault) {
        if (Screen) Screen->SetCursor(c);
    }
    ~CursorScope() {
        if (Screen) Screen->SetCursor(old_);
    }
    CursorScope(const CursorScope&) = delete;
    CursorScope& operator=(const CursorScope&) = delete;

private:
    TCursor old_;
};
