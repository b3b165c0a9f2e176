// The render and texture stage states of a 3-D device with the values a fresh device starts
// with (blending off, ONE/ZERO, counter-clockwise culling, stage 0 modulating its texture with
// the diffuse colour and taking the texture's alpha, stage 1 off, point filtering, wrapping).
#pragma once
#include "platform/Device3D.h"

namespace Platform::detail {

struct DeviceStates {
    uint32_t render[9] = {};
    uint32_t stage[kStageCount][12] = {};

    DeviceStates()
    {
        render[int(RenderState::SrcBlend)] = kBlendOne;
        render[int(RenderState::DestBlend)] = kBlendZero;
        render[int(RenderState::Lighting)] = 1;
        render[int(RenderState::ZWriteEnable)] = 1;
        render[int(RenderState::CullMode)] = 3; // counter-clockwise triangles are culled
        for (int s = 0; s < kStageCount; ++s) {
            uint32_t* st = stage[s];
            st[int(StageState::ColorOp)] = s == 0 ? kOpModulate : kOpDisable;
            st[int(StageState::ColorArg1)] = kArgTexture;
            st[int(StageState::ColorArg2)] = kArgCurrent;
            st[int(StageState::AlphaOp)] = s == 0 ? kOpSelectArg1 : kOpDisable;
            st[int(StageState::AlphaArg1)] = kArgTexture;
            st[int(StageState::AlphaArg2)] = kArgCurrent;
            st[int(StageState::TexCoordIndex)] = uint32_t(s);
            st[int(StageState::AddressU)] = kAddressWrap;
            st[int(StageState::AddressV)] = kAddressWrap;
            st[int(StageState::MagFilter)] = kFilterPoint;
            st[int(StageState::MinFilter)] = kFilterPoint;
            st[int(StageState::MipFilter)] = kFilterNone;
        }
    }
};

} // namespace Platform::detail
