// One entry of a level's event queue: due at time seconds on the queue's clock, with a type, an
// event name and text parameters in order of addition. A new point is empty and due at 0.
#pragma once
#include <list>
#include <string>

struct TimePoint {
    float time = 0.0f;
    std::string type;
    std::string event;
    std::list<std::string> params;

    void Reset()
    {
        time = 0.0f;
        type.clear();
        event.clear();
        params.clear();
    }
};
