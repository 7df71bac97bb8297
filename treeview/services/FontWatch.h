#pragma once
// Notes every change of a font while it lives; the font's own change handler still runs.
#include "platform/gfx/Graphics.h"

class TFontChangeWatch {
public:
    explicit TFontChangeWatch(TFont* Font) : FFont(Font), FSaved(Font->OnChange) {
        Font->OnChange = [this](TObject* Sender) {
            FChanged = true;
            if (FSaved) FSaved(Sender);
        };
    }
    ~TFontChangeWatch() { FFont->OnChange = FSaved; }
    TFontChangeWatch(const TFontChangeWatch&) = delete;
    TFontChangeWatch& operator=(const TFontChangeWatch&) = delete;
    bool Changed() const { return FChanged; }
    void Reset() { FChanged = false; }

private:
    TFont* FFont;
    TNotifyEvent FSaved;
    bool FChanged = false;
};
