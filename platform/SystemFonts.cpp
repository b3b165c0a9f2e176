// Chooses the typeface service: FreeType over fontconfig unless a test installed another.
#include "platform/SystemFonts.h"

#include "platform/ServiceSlot.h"
#include "platform/linux/FreeTypeFonts.h"

namespace Platform {

namespace {

ServiceSlot<SystemFonts> gSystemFonts;

FreeTypeFonts& RealSystemFonts()
{
    static FreeTypeFonts fonts;
    return fonts;
}

} // namespace

SystemFonts& GetSystemFonts()
{
    return gSystemFonts.Get(RealSystemFonts());
}

SystemFonts* SetSystemFonts(SystemFonts* fonts)
{
    return gSystemFonts.Exchange(fonts, &RealSystemFonts());
}

} // namespace Platform
