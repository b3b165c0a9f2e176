// The effect catalogue: "cfg\effect.xml", read once when the engine starts, from which widgets
// create their effects by name. Loading and freeing run on the main thread; CreateEffectByName only
// reads the loaded document (any thread, after LoadEffectCatalogue has returned).
#pragma once
#include "platform/XmlDocument.h"

#include <memory>
#include <string_view>

class VTEffect;

// Loads "cfg\effect.xml", keeps its "effects" element and installs the widgets' effect factory
// (WidgetEffect.h). When the file is missing or unreadable
// the catalogue stays empty and every name creates nothing. Replaces a catalogue loaded before.
void LoadEffectCatalogue();
// Keeps document's "effects" element as the catalogue (tests, tools).
void SetEffectCatalogue(Platform::XmlDocument document);
// Drops the catalogue and the widgets' effect factory.
void FreeEffectCatalogue();
// True while the catalogue has an "effects" element.
bool HasEffectCatalogue();

// A new effect built from the catalogue's effect called name, or null when there is none.
std::unique_ptr<VTEffect> CreateEffectByName(std::string_view name);
