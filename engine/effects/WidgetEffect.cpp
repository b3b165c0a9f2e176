#include "engine/effects/WidgetEffect.h"

#include <utility>

namespace {
VTWidgetEffectFactory& Factory()
{
    static VTWidgetEffectFactory factory;
    return factory;
}
} // namespace

void SetWidgetEffectFactory(VTWidgetEffectFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<VTWidgetEffect> CreateWidgetEffect(const std::string& name)
{
    if (name.empty() || !Factory())
        return nullptr;
    return Factory()(name);
}
