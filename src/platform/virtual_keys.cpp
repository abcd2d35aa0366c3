#include "platform/virtual_keys.h"

#include <QKeyEvent>

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<int, int>, 34> kNamedKeys{{
    {Qt::Key_Backspace, 8},      {Qt::Key_Tab, 9},           {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},         {Qt::Key_Return, 13},       {Qt::Key_Enter, 13},
    {Qt::Key_Pause, 19},         {Qt::Key_CapsLock, 20},     {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},         {Qt::Key_PageUp, 33},       {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},           {Qt::Key_Home, 36},         {Qt::Key_Left, kVkLeft},
    {Qt::Key_Up, kVkUp},         {Qt::Key_Right, kVkRight},  {Qt::Key_Down, kVkDown},
    {Qt::Key_Print, 44},         {Qt::Key_Insert, 45},       {Qt::Key_Delete, 46},
    {Qt::Key_Menu, 93},          {Qt::Key_NumLock, 144},     {Qt::Key_ScrollLock, 145},
    {Qt::Key_Semicolon, 186},    {Qt::Key_Equal, 187},       {Qt::Key_Comma, 188},
    {Qt::Key_Minus, 189},        {Qt::Key_Period, 190},      {Qt::Key_Slash, 191},
    {Qt::Key_QuoteLeft, 192},    {Qt::Key_BracketLeft, 219}, {Qt::Key_Backslash, 220},
    {Qt::Key_BracketRight, 221},
}};

constexpr std::array<int, 10> kModifierKeys{
    Qt::Key_Shift,   Qt::Key_Control, Qt::Key_Alt,     Qt::Key_AltGr,   Qt::Key_Meta,
    Qt::Key_Super_L, Qt::Key_Super_R, Qt::Key_Hyper_L, Qt::Key_Hyper_R, Qt::Key_Mode_switch,
};

}  // namespace

bool isModifierKey(int qtKey)
{
    return std::find(kModifierKeys.begin(), kModifierKeys.end(), qtKey) != kModifierKeys.end();
}

int virtualKeyCode(const QKeyEvent& event)
{
    const int key = event.key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return event.modifiers() & Qt::KeypadModifier ? 96 + (key - Qt::Key_0) : key;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key;  // Qt and Windows share the upper-case letter codes
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    if (key == Qt::Key_Apostrophe || key == Qt::Key_QuoteDbl)
        return 222;
    for (const auto& [qtKey, vk] : kNamedKeys) {
        if (qtKey == key)
            return vk;
    }
    return 0;
}
