// The process-wide effect catalogue.
#include "engine/effects/EffectCatalogue.h"

#include "engine/core/XmlAccess.h"
#include "engine/effects/Effect.h"
#include "engine/effects/WidgetEffect.h"

#include <optional>
#include <utility>

namespace {

std::optional<Platform::XmlDocument> gEffectDocument;
Platform::XmlNode gEffectsNode;

} // namespace

void LoadEffectCatalogue()
{
    Platform::XmlDocument document = CreateXmlDocument();
    if (!LoadXmlFile("cfg\\effect.xml", document)) {
        FreeEffectCatalogue();
        return;
    }
    SetEffectCatalogue(std::move(document));
}

void SetEffectCatalogue(Platform::XmlDocument document)
{
    gEffectsNode = document.SelectSingleNode("effects");
    gEffectDocument = std::move(document);
    // Widgets loaded from XML make their effects through this factory.
    SetWidgetEffectFactory([](const std::string& name) -> std::unique_ptr<VTWidgetEffect> {
        return CreateEffectByName(name);
    });
}

void FreeEffectCatalogue()
{
    SetWidgetEffectFactory({});
    gEffectsNode = Platform::XmlNode();
    gEffectDocument.reset();
}

bool HasEffectCatalogue()
{
    return static_cast<bool>(gEffectsNode);
}

std::unique_ptr<VTEffect> CreateEffectByName(std::string_view name)
{
    if (!gEffectsNode)
        return nullptr;
    // The name is bound as a variable, never pasted into the query.
    const Platform::XmlNode node = gEffectsNode.SelectSingleNode("effect[@name=$name]", {{"name", name}});
    if (!node)
        return nullptr;
    auto effect = std::make_unique<VTEffect>();
    effect->Parse(node);
    return effect;
}
