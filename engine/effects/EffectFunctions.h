// The exported effect functions. Each is exported from the program under its plain name (C linkage)
// and listed in the compiled-in table (EffectFunctionTable.h) with its calling form. Each returns 1,
// or 0 without acting when a part it reads is not bound to the effect.
#pragma once
#include <cstdint>

extern "C" {

// Control form: the argument is a VTEffectState.
int32_t EffectScaleZero(void* state);
int32_t EffectScaleUpRecoil(void* state);
int32_t EffectScaleDownToOne(void* state);
int32_t EffectScaleDown(void* state);
int32_t EffectFadeIn(void* state);
int32_t EffectFadeOut(void* state);
int32_t EffectFadeOne(void* state);
int32_t EffectFadeZero(void* state);
int32_t EffectSlideUpAccel(void* state);
int32_t EffectShake(void* state);
int32_t EffectSetCheckmarkScalepoint(void* state);
int32_t DlgSetCenterScalePoint(void* state);
int32_t DlgShiftDown(void* state);
int32_t DlgShiftToRight(void* state);
int32_t SparklingStar(void* state);
int32_t Rotate360(void* state);
int32_t DlgShiftDownAccel(void* state);
int32_t DlgSlideDownAccel(void* state);
int32_t DlgSlideRightAccel(void* state);
int32_t DlgSlideLeftAccel(void* state);
int32_t DlgSlideUp20(void* state);
int32_t DlgSlideDown20(void* state);
int32_t DlgSlideLeftAccel400(void* state);
int32_t DlgSlideLeftAccel400M(void* state);
int32_t EffectSetCashBonusColor(void* state);
int32_t EffectSetCashPenaltyColor(void* state);
int32_t EffectSetCashPenaltyOffset(void* state);
int32_t EffectSetChainColor(void* state);
int32_t UpgradeEffectBlink(void* state);
int32_t WindowFadeOut(void* state);
int32_t WindowReset(void* state);
int32_t EffectBlinkHP(void* state);
int32_t EffectScalePulse(void* state);
int32_t EffectJumpUp(void* state);
int32_t DlgShow(void* state);
int32_t DlgHide(void* state);
int32_t DlgReset(void* state);
int32_t DlgScaleUpRecoil(void* state);
int32_t DlgScaleUpEaseOut(void* state);
int32_t DlgSmallScaleUpAccel(void* state);
int32_t DlgSmallScaleDownAccel(void* state);
int32_t DlgBigScaleDownAccel(void* state);
int32_t DlgStampSplash(void* state);
int32_t DlgFadeIn(void* state);
int32_t DlgTypeIn(void* state);
int32_t DlgFadeOut(void* state);
int32_t DlgSlideFromRightAccel(void* state);
int32_t DlgUpgradeBtnBlink(void* state);
int32_t FuncOnGoalExpertPSEffect(void* state);
int32_t EffectSlideFromBottomDecel(void* state);
int32_t DlgSlideDownAccel485(void* state);
int32_t DlgSlideFromBottomAccel(void* state);
int32_t DlgSlideFromBottomAccel485(void* state);
int32_t DlgSlideFromLeftAccel(void* state);
int32_t DlgSlideFromLeftAccel400(void* state);
int32_t DlgSlideFromLeftAccel400M(void* state);
int32_t DlgSlideRightAccelGirl(void* state);
int32_t DlgSlideFromRightAccelGirl(void* state);

// Second export names of three control-form functions (the same functions).
int32_t EffectBlinkHPOff(void* state); // EffectFadeOne
int32_t EffectItemShow(void* state);   // DlgShow
int32_t EffectItemHide(void* state);   // DlgHide

// Message form: the argument is the VTEffect (a "call" message).
int32_t RenderPSFunc(void* effect);
int32_t StopPSFunc(void* effect);
int32_t FuncOnWorkerWorkingPSEffect(void* effect);

// Either form: the argument is ignored.
int32_t WidgetsLock(void* unused);
int32_t WidgetsUnlock(void* unused);

} // extern "C"
