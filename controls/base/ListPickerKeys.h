#pragma once
// The keys of a picker whose popup is an item selector (the image and colour pickers): page,
// end and arrow keys move the list (open) or step the picker (closed), other keys search.
#include <functional>
#include <string>

#include "platform/ui/core/Messages.h"

class TComponent;
class TQorCustomItemSelector;
class TTimer;

struct TListPickerKeys {
    TQorCustomItemSelector* List = nullptr;
    // The picker's chosen index, its entry count and the list's columns.
    int ItemIndex = -1;
    int Count = 0;
    int Columns = 1;
    bool DroppedDown = false;
    bool EditorEnabled = false;
    // Set while the picker moves the list itself, so that the popup stays open.
    bool* InternalCall = nullptr;
    // The type-ahead text and the timer that clears it.
    std::string* Search = nullptr;
    TTimer* KeyTimer = nullptr;
    // Copies the entries into the list.
    std::function<void()> Refill;
    // The closed picker's own steps.
    std::function<void()> SelectFirst, SelectLast, SelectNext, SelectPrevious;
};

// Every key but Enter.
void HandleListPickerKey(WORD Key, const TListPickerKeys& K);

// A stopped 500 ms timer that, when it fires, stops and clears Search: a type-ahead text lives
// 500 ms from its first key.
TTimer* NewSearchTimer(TComponent* Owner, std::string& Search);
