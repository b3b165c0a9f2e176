// The compiled-in table of exported effect functions: every export name with its calling form.
// The effect catalogue names functions from two places: a timer control ("function") calls the
// control form with a VTEffectState, a "call" message ("timer_id") calls the message form with the
// VTEffect. A name resolves only to a function of the form its caller will use, so a function is
// never called with the wrong record.
#pragma once
#include "engine/effects/EffectState.h"

#include <span>
#include <string_view>

enum class VTEffectCallForm {
    Control, // argument: VTEffectState*
    Message, // argument: VTEffect*
    Either,  // ignores its argument
};

struct VTEffectFunctionEntry {
    std::string_view names[2]; // the second is empty for a function with one name
    VTEffectCallForm form;
    VTEffectFunction function;
};

// Every exported effect function, one entry per function.
std::span<const VTEffectFunctionEntry> EffectFunctionTable();

// The function exported as name (exact, case-sensitive) when a timer control may call it, else null.
VTEffectFunction FindControlFunction(std::string_view name);
// The function exported as name when a "call" message may call it, else null.
VTEffectFunction FindMessageFunction(std::string_view name);
