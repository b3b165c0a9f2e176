// What a level object needs of an effect: firing a named event at it. The engine's widget effects
// implement it; level objects only refer to effects, the graphics side owns them.
#pragma once
#include <string_view>

class LevelEffect {
public:
    virtual ~LevelEffect() = default;
    // Runs the effect's messages registered under name; false when none has that name.
    virtual bool FireEvent(std::string_view name) = 0;
};
