// Timer stepping and control dispatch.
#include "engine/effects/Timer.h"

#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"
#include "engine/effects/EffectFunctionTable.h"
#include "platform/Clock.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

constexpr size_t kTextBuffer = 128; // room of the definition's text attributes

int32_t TimerTypeCode(const std::string& text)
{
    if (text == "usual")
        return kTimerTypeUsual;
    if (text == "self_destructive")
        return kTimerTypeSelfDestructive;
    if (text == "cycle")
        return kTimerTypeCycle;
    if (text == "ping_pong")
        return kTimerTypePingPong;
    return kTimerTypeNone;
}

int32_t ControlTypeCode(const std::string& text)
{
    if (text == "point")
        return kTimerControlPoint;
    if (text == "range")
        return kTimerControlRange;
    return kTimerControlNone;
}

// Progress through [start, end] at time, cut to at most 1 (there is no lower bound). A range of
// no length counts as passed.
float RangeProgress(double time, float start, float end)
{
    if (end == start)
        return 1.0f;
    const double progress = (time - start) / (static_cast<double>(end) - start);
    return static_cast<float>(std::min(progress, 1.0));
}

} // namespace

VTTimer::VTTimer(VTEffect* owner) : owner_(owner) {}

VTTimer::~VTTimer() = default;

void VTTimer::ReadDefinition(const Platform::XmlNode& element)
{
    if (!element)
        return;
    std::string text;
    if (XmlGetAttributeString(element, "type", text, kTextBuffer))
        type_ = TimerTypeCode(text);
    XmlGetAttributeFloat(element, "ftime", length_);
    text.clear();
    if (XmlGetAttributeString(element, "direction", text, kTextBuffer)) {
        if (text == "forward") {
            direction_ = kTimerDirectionForward;
            time_ = 0.0;
        } else if (text == "backward") {
            direction_ = kTimerDirectionBackward;
            time_ = length_;
        }
    }
    // A ping-pong timer first moves the way its direction points.
    phase_ = direction_ != kTimerDirectionBackward;

    XmlForEachNode(element, "control", [this](const Platform::XmlNode& node) {
        VTTimerControl control;
        XmlGetAttributeInt(node, "id", control.id);
        XmlGetAttributeFloat(node, "starttime", control.start);
        XmlGetAttributeFloat(node, "endtime", control.end);
        std::string name;
        if (XmlGetAttributeString(node, "function", name, kTextBuffer))
            control.function = FindControlFunction(name);
        std::string type;
        if (XmlGetAttributeString(node, "type", type, kTextBuffer))
            control.type = ControlTypeCode(type);
        control.owner = owner_;
        control.reserved = 0;
        XmlGetAttributeBool(node, "active", control.active);
        AddControl(control);
        return true;
    });
}

void VTTimer::AddControl(const VTTimerControl& control)
{
    VTTimerControl copy = control;
    copy.entered = false;
    controls_.push_back(copy);
}

void VTTimer::Restart()
{
    time_ = direction_ == kTimerDirectionBackward ? static_cast<double>(length_) : 0.0;
    finished_ = false;
    startStamp_ = static_cast<double>(Platform::GetClock().TimeGetTime());
}

void VTTimer::Advance(double seconds)
{
    if (!running_ || finished_)
        return;
    if (Endless()) {
        Step(seconds);
        return;
    }
    const double length = length_;
    while (seconds > length) {
        Step(length);
        // A one-shot timer that reached its end takes no further steps in this frame.
        if (finished_)
            return;
        if (length == 0.0)
            break;
        seconds -= length;
    }
    Step(seconds);
}

void VTTimer::Step(double seconds)
{
    const bool pingPong = type_ == kTimerTypePingPong;
    const bool forward = (direction_ == kTimerDirectionForward && !pingPong) || (pingPong && phase_);
    const bool backward = (direction_ == kTimerDirectionBackward && !pingPong) || (pingPong && !phase_);
    const double start = time_;
    const double length = length_;
    const bool oneShot = type_ == kTimerTypeUsual || type_ == kTimerTypeSelfDestructive;

    if (forward) {
        time_ = start + seconds;
        if (Endless() || time_ < length) {
            Dispatch(start, time_);
            return;
        }
        finished_ = oneShot;
        Dispatch(start, length);
        if (type_ == kTimerTypePingPong) {
            time_ = 2.0 * length - time_;
            if (time_ != length)
                Dispatch(length, time_);
            phase_ = false;
        } else if (type_ == kTimerTypeCycle) {
            time_ -= length;
            if (time_ != 0.0)
                Dispatch(0.0, time_);
        }
    } else if (backward) {
        time_ = start - seconds;
        if (Endless() || time_ > 0.0) {
            Dispatch(start, time_);
            return;
        }
        finished_ = oneShot;
        Dispatch(start, 0.0);
        if (type_ == kTimerTypePingPong) {
            time_ = -time_;
            if (time_ != 0.0)
                Dispatch(0.0, time_);
            phase_ = true;
        } else if (type_ == kTimerTypeCycle) {
            time_ += length;
            if (time_ != length)
                Dispatch(length, time_);
        }
    }
}

VTTimerCall VTTimer::MakeCall(const VTTimerControl& control, float value) const
{
    VTTimerCall call;
    call.function = control.function;
    call.state.type = control.type;
    call.state.id = control.id;
    call.state.owner = control.owner;
    call.state.reserved = control.reserved;
    call.state.value = value;
    return call;
}

void VTTimer::Dispatch(double from, double to)
{
    const double a = from;
    const double b = to;
    const bool forward = a <= b;
    for (VTTimerControl& control : controls_) {
        if (!control.active)
            continue;
        const double s = control.start;
        const double e = control.end;
        bool enter = false;
        bool inside = false;
        bool leave = false;
        if (control.type == kTimerControlPoint) {
            inside = forward ? (a <= s && s <= b) : (b <= s && s <= a);
        } else if (control.type == kTimerControlRange) {
            if (forward) {
                if (a <= s && e <= b) {
                    enter = leave = true;
                } else if (a <= s && s <= b && b <= e) {
                    inside = true;
                    enter = !control.entered;
                    control.entered = true;
                } else if (s < a && a < e && e <= b) {
                    leave = control.entered;
                    control.entered = false;
                } else if (s < a && e >= b) {
                    inside = true;
                    leave = e == b;
                }
            } else {
                if (b <= s && e <= a) {
                    enter = leave = true;
                } else if (s <= b && b <= e && e <= a) {
                    inside = true;
                    leave = !control.entered;
                    control.entered = true;
                } else if (b <= s && s < a && a < e) {
                    enter = control.entered;
                    control.entered = false;
                } else if (s <= b && e > a) {
                    inside = true;
                    enter = s == b;
                }
            }
        }

        const bool point = control.type == kTimerControlPoint;
        const double key = startStamp_ + (point ? static_cast<double>(static_cast<float>(b)) : b);
        if ((enter && forward) || (leave && !forward))
            QueueCall(key, MakeCall(control, forward ? 0.0f : 1.0f));
        if (inside) {
            const float value = point ? static_cast<float>(b) : RangeProgress(time_, control.start, control.end);
            QueueCall(key, MakeCall(control, value));
        }
        if ((leave && forward) || (enter && !forward))
            QueueCall(key, MakeCall(control, forward ? 1.0f : 0.0f));
    }

    // Run from a local queue: a called function may move this timer again.
    std::multimap<double, VTTimerCall> queue;
    queue.swap(callQueue_);
    for (auto& [key, call] : queue) {
        if (call.function != nullptr)
            call.function(&call.state);
    }
}

void VTTimer::QueueCall(double key, const VTTimerCall& call)
{
    callQueue_.emplace(key, call); // after any entry with an equal key
}
