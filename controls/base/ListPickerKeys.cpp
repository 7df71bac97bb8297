#include "controls/base/ListPickerKeys.h"

#include "controls/base/QorItemSelector.h"
#include "platform/ui/core/Timers.h"

#include <algorithm>

void HandleListPickerKey(WORD Key, const TListPickerKeys& K) {
    TQorCustomItemSelector* list = K.List;
    auto internal = [&](const std::function<void()>& step) {
        *K.InternalCall = true;
        step();
        *K.InternalCall = false;
    };
    auto choose = [&](int Index) {
        if (Index < list->Items()->Count()) internal([&] { list->SetItemIndex(Index); });
    };
    const bool open = K.DroppedDown;
    switch (Key) {
    case VK_PRIOR:
    case VK_NEXT: {
        if (list->Items()->Count() != K.Count) K.Refill();
        const int n = list->GetVisibleItemCount();
        if (n > 0)
            choose(Key == VK_PRIOR ? std::max(K.ItemIndex - n, 0)
                                   : std::min(K.ItemIndex + n, K.Count - 1));
        break;
    }
    case VK_END:
        open ? internal([&] { list->SelectLast(); }) : K.SelectLast();
        break;
    case VK_HOME:
        open ? internal([&] { list->SelectFirst(); }) : K.SelectFirst();
        break;
    case VK_LEFT:
        if (open && !K.EditorEnabled) internal([&] { list->SelectPrevious(); });
        break;
    case VK_RIGHT:
        if (open && !K.EditorEnabled) internal([&] { list->SelectNext(); });
        break;
    case VK_UP:
        if (!open)
            K.SelectPrevious();
        else if (const int i = K.ItemIndex < 0 ? 0 : K.ItemIndex - K.Columns; i >= 0)
            choose(i);
        break;
    case VK_DOWN:
        if (!open)
            K.SelectNext();
        else
            choose(K.ItemIndex < 0 ? 0 : K.ItemIndex + K.Columns);
        break;
    default:
        if (GetKeyState(VK_CONTROL) < 0 || Key < 0x20) break;
        *K.Search += char(Key);
        internal([&] { list->LookupItem(*K.Search); });
        if (!K.KeyTimer->Enabled()) K.KeyTimer->SetEnabled(true);
    }
}

TTimer* NewSearchTimer(TComponent* Owner, std::string& Search) {
    auto* timer = new TTimer(Owner);
    timer->SetEnabled(false);
    timer->SetInterval(500);
    timer->OnTimer = [timer, &Search](TObject*) {
        timer->SetEnabled(false);
        Search.clear();
    };
    return timer;
}
