#pragma once
// TNoActiveForm: a form that never takes the focus, for the pictures that follow a drag.
#include "platform/ui/core/Forms.h"

#include <cstdint>

class TNoActiveForm : public TForm {
public:
    explicit TNoActiveForm(TComponent* AOwner);
    // Shown with this opacity (a layered window) while AlphaBlend is on.
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool v);
    std::uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(std::uint8_t v);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;

private:
    void applyAlpha();
    bool FAlphaBlend = false;
    std::uint8_t FAlphaBlendValue = 255;
};
