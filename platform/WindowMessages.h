// The window-message vocabulary the framework speaks: message numbers, their parameters and the
// virtual-key codes. The window-system back ends translate their native events into these.
#pragma once
#include <cstdint>

namespace Platform {

using WindowId = uint32_t; // 0: no window

// One message as the window procedure receives it.
struct Message {
    WindowId window = 0;
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// lParam of the mouse messages: x in the low word, y in the high word, both signed 16-bit.
constexpr intptr_t MakePointParam(int x, int y)
{
    return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) | static_cast<uint32_t>(x & 0xFFFF));
}
constexpr int ParamX(intptr_t lParam) { return static_cast<int16_t>(lParam & 0xFFFF); }
constexpr int ParamY(intptr_t lParam) { return static_cast<int16_t>((lParam >> 16) & 0xFFFF); }

namespace Msg {
constexpr uint32_t Create = 0x0001;
constexpr uint32_t Destroy = 0x0002;
constexpr uint32_t Move = 0x0003;
constexpr uint32_t Size = 0x0005;
constexpr uint32_t Activate = 0x0006;
constexpr uint32_t Enable = 0x000A;
constexpr uint32_t Paint = 0x000F;
constexpr uint32_t Close = 0x0010;
constexpr uint32_t QueryEndSession = 0x0011;
constexpr uint32_t QueryOpen = 0x0013;
constexpr uint32_t EraseBkgnd = 0x0014;
constexpr uint32_t SysColorChange = 0x0015;
constexpr uint32_t EndSession = 0x0016;
constexpr uint32_t ActivateApp = 0x001C;
constexpr uint32_t SetCursor = 0x0020;
constexpr uint32_t NcActivate = 0x0086;
constexpr uint32_t NcLButtonDown = 0x00A1;
constexpr uint32_t KeyDown = 0x0100;
constexpr uint32_t KeyUp = 0x0101;
constexpr uint32_t Char = 0x0102;
constexpr uint32_t SysKeyDown = 0x0104;
constexpr uint32_t SysKeyUp = 0x0105;
constexpr uint32_t SysChar = 0x0106;
constexpr uint32_t SysCommand = 0x0112;
constexpr uint32_t Timer = 0x0113;
constexpr uint32_t MouseMove = 0x0200;
constexpr uint32_t LButtonDown = 0x0201;
constexpr uint32_t LButtonUp = 0x0202;
constexpr uint32_t LButtonDblClk = 0x0203;
constexpr uint32_t RButtonDown = 0x0204;
constexpr uint32_t RButtonUp = 0x0205;
constexpr uint32_t RButtonDblClk = 0x0206;
constexpr uint32_t MButtonDown = 0x0207;
constexpr uint32_t MButtonUp = 0x0208;
constexpr uint32_t MButtonDblClk = 0x0209;
constexpr uint32_t MouseWheel = 0x020A;
constexpr uint32_t DisplayChange = 0x007E;
constexpr uint32_t FirstRegistered = 0xC000; // numbers handed out by RegisterWindowMessage
} // namespace Msg

// wParam of Msg::Size.
constexpr uintptr_t SizeRestored = 0;
constexpr uintptr_t SizeMinimized = 1;
constexpr uintptr_t SizeMaximized = 2;

// wParam of Msg::SysCommand (low four bits are reserved and masked off by receivers).
namespace Sc {
constexpr uintptr_t Close = 0xF060;
constexpr uintptr_t NextWindow = 0xF040;
constexpr uintptr_t PrevWindow = 0xF050;
constexpr uintptr_t ScreenSave = 0xF140;
constexpr uintptr_t MonitorPower = 0xF170;
} // namespace Sc

// Virtual-key codes (letters and digits are their upper-case ASCII codes).
namespace Vk {
constexpr uint32_t Back = 0x08;
constexpr uint32_t Tab = 0x09;
constexpr uint32_t Return = 0x0D;
constexpr uint32_t Shift = 0x10;
constexpr uint32_t Control = 0x11;
constexpr uint32_t Menu = 0x12; // Alt
constexpr uint32_t Pause = 0x13;
constexpr uint32_t Capital = 0x14;
constexpr uint32_t Escape = 0x1B;
constexpr uint32_t Space = 0x20;
constexpr uint32_t Prior = 0x21;
constexpr uint32_t Next = 0x22;
constexpr uint32_t End = 0x23;
constexpr uint32_t Home = 0x24;
constexpr uint32_t Left = 0x25;
constexpr uint32_t Up = 0x26;
constexpr uint32_t Right = 0x27;
constexpr uint32_t Down = 0x28;
constexpr uint32_t Snapshot = 0x2C;
constexpr uint32_t Insert = 0x2D;
constexpr uint32_t Delete = 0x2E;
constexpr uint32_t Numpad0 = 0x60;
constexpr uint32_t Multiply = 0x6A;
constexpr uint32_t Add = 0x6B;
constexpr uint32_t Subtract = 0x6D;
constexpr uint32_t Decimal = 0x6E;
constexpr uint32_t Divide = 0x6F;
constexpr uint32_t F1 = 0x70;
constexpr uint32_t F4 = 0x73;
constexpr uint32_t F12 = 0x7B;
constexpr uint32_t NumLock = 0x90;
constexpr uint32_t Scroll = 0x91;
constexpr uint32_t Oem1 = 0xBA;      // ;:
constexpr uint32_t OemPlus = 0xBB;
constexpr uint32_t OemComma = 0xBC;
constexpr uint32_t OemMinus = 0xBD;
constexpr uint32_t OemPeriod = 0xBE;
constexpr uint32_t Oem2 = 0xBF;      // /?
constexpr uint32_t Oem3 = 0xC0;      // `~
constexpr uint32_t Oem4 = 0xDB;      // [{
constexpr uint32_t Oem5 = 0xDC;      // \|
constexpr uint32_t Oem6 = 0xDD;      // ]}
constexpr uint32_t Oem7 = 0xDE;      // '"
} // namespace Vk

} // namespace Platform
