// The table of named virtual-key codes.
#include "engine/core/KeyNames.h"

#include <string_view>

namespace {

struct KeyName {
    int32_t code;
    std::string_view name;
};

constexpr KeyName kKeyNames[] = {
    {0, "UNKNOWN"},     {1, "LBUTTON"},    {2, "RBUTTON"},     {3, "CANCEL"},      {4, "MBUTTON"},
    {8, "BACK"},        {9, "TAB"},        {12, "CLEAR"},      {13, "RETURN"},     {16, "SHIFT"},
    {17, "CONTROL"},    {18, "MENU"},      {19, "PAUSE"},      {20, "CAPITAL"},    {21, "KANA"},
    {23, "JUNJA"},      {24, "FINAL"},     {25, "HANJA"},      {27, "ESCAPE"},     {28, "CONVERT"},
    {29, "NONCONVERT"}, {30, "ACCEPT"},    {31, "MODECHANGE"}, {32, "SPACE"},      {33, "PRIOR"},
    {34, "NEXT"},       {35, "END"},       {36, "HOME"},       {37, "LEFT"},       {38, "UP"},
    {39, "RIGHT"},      {40, "DOWN"},      {41, "SELECT"},     {42, "PRINT"},      {43, "EXECUTE"},
    {44, "SNAPSHOT"},   {45, "INSERT"},    {46, "DELETE"},     {47, "HELP"},       {91, "LWIN"},
    {92, "RWIN"},       {93, "APPS"},      {96, "NUMPAD0"},    {97, "NUMPAD1"},    {98, "NUMPAD2"},
    {99, "NUMPAD3"},    {100, "NUMPAD4"},  {101, "NUMPAD5"},   {102, "NUMPAD6"},   {103, "NUMPAD7"},
    {104, "NUMPAD8"},   {105, "NUMPAD9"},  {106, "MULTIPLY"},  {107, "ADD"},       {108, "SEPARATOR"},
    {109, "SUBTRACT"},  {110, "DECIMAL"},  {111, "DIVIDE"},    {112, "F1"},        {113, "F2"},
    {114, "F3"},        {115, "F4"},       {116, "F5"},        {117, "F6"},        {118, "F7"},
    {119, "F8"},        {120, "F9"},       {121, "F10"},       {122, "F11"},       {123, "F12"},
    {144, "NUMLOCK"},   {145, "SCROLL"},
};
static_assert(std::size(kKeyNames) == 72);

} // namespace

std::string KeyCodeToName(int32_t code)
{
    for (const KeyName& key : kKeyNames)
        if (key.code == code)
            return std::string(key.name);
    if (code >= 48 && code <= 90)
        return std::string(1, static_cast<char>(code));
    // Bytes 179..224 are not UTF-8 on their own: the name is the one character of that value
    // (Latin-1), UTF-8 encoded, so scripts still see a one-character string.
    if (code >= 179 && code <= 224)
        return {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
    return "unknown";
}
