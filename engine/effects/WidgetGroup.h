// A group of widget parts that the "group" effect functions animate together (value id 256).
// Each entry points at the fields of one part; a null pointer leaves that field alone. Nothing in
// the engine binds a group yet: the functions that need one return 0 without it.
#pragma once
#include <cstdint>
#include <vector>

struct VTWidgetGroupEntry {
    int32_t* offset = nullptr;     // two integers: x, y
    float* scale = nullptr;
    int32_t* scalePoint = nullptr; // two integers: x, y
    float* alpha = nullptr;
    bool* visible = nullptr;
    void* reserved = nullptr;
    uint32_t* firstColor = nullptr;
    uint32_t* secondColor = nullptr;
};

struct VTWidgetGroup {
    std::vector<VTWidgetGroupEntry> entries;
};
