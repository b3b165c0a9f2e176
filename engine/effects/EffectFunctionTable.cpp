// The table of exported effect functions and the look-ups by calling form.
#include "engine/effects/EffectFunctionTable.h"

#include "engine/effects/EffectFunctions.h"

namespace {

using Form = VTEffectCallForm;

// 66 names on 63 functions; three functions carry a second name.
constexpr VTEffectFunctionEntry kEffectFunctions[] = {
    {{"EffectScaleZero", ""}, Form::Control, &EffectScaleZero},
    {{"EffectScaleUpRecoil", ""}, Form::Control, &EffectScaleUpRecoil},
    {{"EffectScaleDownToOne", ""}, Form::Control, &EffectScaleDownToOne},
    {{"EffectScaleDown", ""}, Form::Control, &EffectScaleDown},
    {{"EffectFadeIn", ""}, Form::Control, &EffectFadeIn},
    {{"EffectFadeOut", ""}, Form::Control, &EffectFadeOut},
    {{"EffectFadeOne", "EffectBlinkHPOff"}, Form::Control, &EffectFadeOne},
    {{"EffectFadeZero", ""}, Form::Control, &EffectFadeZero},
    {{"EffectSlideUpAccel", ""}, Form::Control, &EffectSlideUpAccel},
    {{"EffectShake", ""}, Form::Control, &EffectShake},
    {{"EffectSetCheckmarkScalepoint", ""}, Form::Control, &EffectSetCheckmarkScalepoint},
    {{"DlgSetCenterScalePoint", ""}, Form::Control, &DlgSetCenterScalePoint},
    {{"DlgShiftDown", ""}, Form::Control, &DlgShiftDown},
    {{"DlgShiftToRight", ""}, Form::Control, &DlgShiftToRight},
    {{"SparklingStar", ""}, Form::Control, &SparklingStar},
    {{"Rotate360", ""}, Form::Control, &Rotate360},
    {{"DlgShiftDownAccel", ""}, Form::Control, &DlgShiftDownAccel},
    {{"DlgSlideDownAccel", ""}, Form::Control, &DlgSlideDownAccel},
    {{"DlgSlideRightAccel", ""}, Form::Control, &DlgSlideRightAccel},
    {{"DlgSlideLeftAccel", ""}, Form::Control, &DlgSlideLeftAccel},
    {{"DlgSlideUp20", ""}, Form::Control, &DlgSlideUp20},
    {{"DlgSlideDown20", ""}, Form::Control, &DlgSlideDown20},
    {{"DlgSlideLeftAccel400", ""}, Form::Control, &DlgSlideLeftAccel400},
    {{"DlgSlideLeftAccel400M", ""}, Form::Control, &DlgSlideLeftAccel400M},
    {{"EffectSetCashBonusColor", ""}, Form::Control, &EffectSetCashBonusColor},
    {{"EffectSetCashPenaltyColor", ""}, Form::Control, &EffectSetCashPenaltyColor},
    {{"EffectSetCashPenaltyOffset", ""}, Form::Control, &EffectSetCashPenaltyOffset},
    {{"EffectSetChainColor", ""}, Form::Control, &EffectSetChainColor},
    {{"UpgradeEffectBlink", ""}, Form::Control, &UpgradeEffectBlink},
    {{"WindowFadeOut", ""}, Form::Control, &WindowFadeOut},
    {{"WindowReset", ""}, Form::Control, &WindowReset},
    {{"EffectBlinkHP", ""}, Form::Control, &EffectBlinkHP},
    {{"EffectScalePulse", ""}, Form::Control, &EffectScalePulse},
    {{"EffectJumpUp", ""}, Form::Control, &EffectJumpUp},
    {{"DlgShow", "EffectItemShow"}, Form::Control, &DlgShow},
    {{"DlgHide", "EffectItemHide"}, Form::Control, &DlgHide},
    {{"DlgReset", ""}, Form::Control, &DlgReset},
    {{"DlgScaleUpRecoil", ""}, Form::Control, &DlgScaleUpRecoil},
    {{"DlgScaleUpEaseOut", ""}, Form::Control, &DlgScaleUpEaseOut},
    {{"DlgSmallScaleUpAccel", ""}, Form::Control, &DlgSmallScaleUpAccel},
    {{"DlgSmallScaleDownAccel", ""}, Form::Control, &DlgSmallScaleDownAccel},
    {{"DlgBigScaleDownAccel", ""}, Form::Control, &DlgBigScaleDownAccel},
    {{"DlgStampSplash", ""}, Form::Control, &DlgStampSplash},
    {{"DlgFadeIn", ""}, Form::Control, &DlgFadeIn},
    {{"DlgTypeIn", ""}, Form::Control, &DlgTypeIn},
    {{"DlgFadeOut", ""}, Form::Control, &DlgFadeOut},
    {{"DlgSlideFromRightAccel", ""}, Form::Control, &DlgSlideFromRightAccel},
    {{"DlgUpgradeBtnBlink", ""}, Form::Control, &DlgUpgradeBtnBlink},
    {{"FuncOnGoalExpertPSEffect", ""}, Form::Control, &FuncOnGoalExpertPSEffect},
    {{"EffectSlideFromBottomDecel", ""}, Form::Control, &EffectSlideFromBottomDecel},
    {{"DlgSlideDownAccel485", ""}, Form::Control, &DlgSlideDownAccel485},
    {{"DlgSlideFromBottomAccel", ""}, Form::Control, &DlgSlideFromBottomAccel},
    {{"DlgSlideFromBottomAccel485", ""}, Form::Control, &DlgSlideFromBottomAccel485},
    {{"DlgSlideFromLeftAccel", ""}, Form::Control, &DlgSlideFromLeftAccel},
    {{"DlgSlideFromLeftAccel400", ""}, Form::Control, &DlgSlideFromLeftAccel400},
    {{"DlgSlideFromLeftAccel400M", ""}, Form::Control, &DlgSlideFromLeftAccel400M},
    {{"DlgSlideRightAccelGirl", ""}, Form::Control, &DlgSlideRightAccelGirl},
    {{"DlgSlideFromRightAccelGirl", ""}, Form::Control, &DlgSlideFromRightAccelGirl},
    {{"RenderPSFunc", ""}, Form::Message, &RenderPSFunc},
    {{"StopPSFunc", ""}, Form::Message, &StopPSFunc},
    {{"FuncOnWorkerWorkingPSEffect", ""}, Form::Message, &FuncOnWorkerWorkingPSEffect},
    {{"WidgetsLock", ""}, Form::Either, &WidgetsLock},
    {{"WidgetsUnlock", ""}, Form::Either, &WidgetsUnlock},
};

VTEffectFunction Find(std::string_view name, Form expected)
{
    if (name.empty())
        return nullptr;
    for (const VTEffectFunctionEntry& entry : kEffectFunctions) {
        if (entry.names[0] != name && entry.names[1] != name)
            continue;
        return entry.form == expected || entry.form == Form::Either ? entry.function : nullptr;
    }
    return nullptr;
}

} // namespace

std::span<const VTEffectFunctionEntry> EffectFunctionTable()
{
    return kEffectFunctions;
}

VTEffectFunction FindControlFunction(std::string_view name)
{
    return Find(name, Form::Control);
}

VTEffectFunction FindMessageFunction(std::string_view name)
{
    return Find(name, Form::Message);
}
