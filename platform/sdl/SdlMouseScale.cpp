// The table of scaled windows.
#include "platform/sdl/SdlMouseScale.h"

#include <map>
#include <utility>

namespace Platform {

namespace {
std::map<WindowId, std::pair<int32_t, int32_t>>& Table()
{
    static std::map<WindowId, std::pair<int32_t, int32_t>> table;
    return table;
}
} // namespace

void SetWindowMouseScale(WindowId window, int32_t modeWidth, int32_t modeHeight)
{
    if (modeWidth <= 0 || modeHeight <= 0)
        Table().erase(window);
    else
        Table()[window] = {modeWidth, modeHeight};
}

void MapWindowMouse(WindowId window, int32_t clientWidth, int32_t clientHeight, int32_t& x, int32_t& y)
{
    const auto it = Table().find(window);
    if (it == Table().end() || clientWidth <= 0 || clientHeight <= 0)
        return;
    const int64_t mw = it->second.first, mh = it->second.second;
    if (mw == clientWidth && mh == clientHeight)
        return;
    // The fitted picture: the smaller scale of the two, centred (64-bit: no overflow).
    int64_t shownW = clientWidth, shownH = mh * clientWidth / mw;
    if (shownH > clientHeight) {
        shownH = clientHeight;
        shownW = mw * clientHeight / mh;
    }
    if (shownW <= 0 || shownH <= 0)
        return;
    const int64_t left = (clientWidth - shownW) / 2, top = (clientHeight - shownH) / 2;
    x = int32_t((int64_t(x) - left) * mw / shownW);
    y = int32_t((int64_t(y) - top) * mh / shownH);
}

} // namespace Platform
