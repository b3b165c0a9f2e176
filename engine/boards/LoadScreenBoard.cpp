#include "engine/boards/LoadScreenBoard.h"

VTBoard_LoadScreen::VTBoard_LoadScreen(int32_t width, int32_t height)
{
    Resize(0, 0, width, height);
    SetVisible(false);
}

void VTBoard_LoadScreen::SelectPicture(std::string_view name) { selectedPicture_ = std::string(name); }
