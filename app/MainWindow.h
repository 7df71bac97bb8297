#pragma once
// The program's first window until the shell's main window takes its place.
#include "platform/ui/Forms.h"

class TFMainWindow : public TForm {
public:
    explicit TFMainWindow(TComponent* AOwner);
};
