// The bar a script slider builds for itself (MakeBar): the fill texture stretched along the track
// between half an empty-texture width from either end, and the empty texture drawn at the value as
// the thumb. Not reachable from scripts.
#pragma once
#include "engine/widgets/Bar.h"

class VTBar3 : public VTBar {
public:
    explicit VTBar3(VTCandyWidget* slider) : VTBar(slider) {}
    void Draw(Fw::Graphics* g) override;
};
