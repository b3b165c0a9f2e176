// What a button tells its owner: presses, clicks, holding and the mouse passing over it. Every
// operation does nothing by default, except that ButtonDown forwards to ButtonDownById.
#pragma once
#include <cstdint>

namespace Fw {

class ButtonListener {
public:
    virtual ~ButtonListener() = default;
    // A mouse button went down on the button.
    virtual void ButtonDown(int32_t id, int32_t /*clickCount*/) { ButtonDownById(id); }
    virtual void ButtonDownById(int32_t /*id*/) {}
    // Released over the button while the application has the focus.
    virtual void ButtonClicked(int32_t /*id*/) {}
    // Every update while the button is held with the mouse over it.
    virtual void ButtonHeldTick(int32_t /*id*/) {}
    virtual void ButtonMouseEnter(int32_t /*id*/) {}
    virtual void ButtonMouseLeave(int32_t /*id*/) {}
    virtual void ButtonMouseMove(int32_t /*id*/, int32_t /*x*/, int32_t /*y*/) {}
};

} // namespace Fw
