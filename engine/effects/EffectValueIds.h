// The ids under which widgets and effect functions bind values to an effect (VTEffect::SetValue /
// GetValue). Each comment says what the bound pointer points to and who binds it.
#pragma once
#include <cstdint>

namespace VTEffectValueId {

constexpr int32_t Value1 = 1;          // bound by nothing; read with Offset by unexported functions
constexpr int32_t Value2 = 2;          // likewise
constexpr int32_t Offset = 3;          // the widget's offset pair (Fw::Point: two int32 x, y)
constexpr int32_t ScalePoint = 5;      // the widget's scale point pair (Fw::Point)
constexpr int32_t Widget = 6;          // the widget itself (Fw::Widget*, an engine widget)
constexpr int32_t ChildRecords = 7;    // the widget's std::vector<VTChildEffectRef>
constexpr int32_t WidgetGroup = 256;   // a widget group record (bound by nothing here)
constexpr int32_t ResetFlag = 257;     // a one-byte flag set by WindowReset (bound by nothing here)
constexpr int32_t ParticleSystem0 = 258; // VTParticleSystem* made by the particle effect functions
constexpr int32_t ParticleSystem1 = 259;
constexpr int32_t ParticleSystem2 = 260; // read by RenderPSFunc / StopPSFunc, bound by nothing here
constexpr int32_t ParticleSystem3 = 261;
constexpr int32_t Graphics = 262;      // the Fw::Graphics of the draw in progress (left bound after it)
constexpr int32_t WorkerBaseX = 263;   // inputs of the worker smoke function: int32 base x
constexpr int32_t WorkerBaseY = 264;   // int32 base y
constexpr int32_t WorkerPositionCode = 265; // narrow string ("tr", "br")
constexpr int32_t WorkerMirror = 266;  // one-byte flag

} // namespace VTEffectValueId
