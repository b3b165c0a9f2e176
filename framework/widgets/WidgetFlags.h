// Flag words that steer the widget walks (update, draw, hit test) and the records that modify them:
// a per-node add/remove modifier and the modal record one walk shares across the whole tree.
#pragma once
#include <cstdint>

namespace Fw {

// Bits of a widget flag word.
namespace WidgetFlags {
inline constexpr uint32_t Update = 1;      // Update runs in the update walk
inline constexpr uint32_t MarkDirty = 2;   // the node marks itself dirty on every update walk
inline constexpr uint32_t Draw = 4;        // Draw runs in the draw walk
inline constexpr uint32_t Clip = 8;        // drawing is clipped to the node's rectangle (with its clip flag)
inline constexpr uint32_t AllowMouse = 16; // the node and its subtree take part in mouse hit testing
inline constexpr uint32_t AllowFocus = 32; // the node may keep or receive the keyboard focus

// The manager's flag word: everything but MarkDirty (61).
inline constexpr uint32_t Default = Update | Draw | Clip | AllowMouse | AllowFocus;
} // namespace WidgetFlags

struct FlagsMod {
    uint32_t addFlags = 0;
    uint32_t removeFlags = 0;

    constexpr uint32_t Apply(uint32_t flags) const { return (flags | addFlags) & ~removeFlags; }
    constexpr bool operator==(const FlagsMod&) const = default;
};

// Shared by one walk: nodes at or after the modal base (depth first) use overFlags, the others underFlags.
struct ModalFlags {
    uint32_t overFlags = 0;
    uint32_t underFlags = 0;
    bool isOver = false;

    constexpr uint32_t GetFlags() const { return isOver ? overFlags : underFlags; }
};

} // namespace Fw
