#pragma once

#include <Qt>

class QKeyEvent;

// Windows virtual-key codes of the four arrows.
inline constexpr int kVkLeft = 37;
inline constexpr int kVkUp = 38;
inline constexpr int kVkRight = 39;
inline constexpr int kVkDown = 40;

// Shift, Ctrl, Alt, AltGr, Super/Meta and the like: keys that only change other keys.
bool isModifierKey(int qtKey);
// The Windows virtual-key code of a key event (arrows 37..40, letters 65..90 ...), or 0
// for a key that has none.
int virtualKeyCode(const QKeyEvent& event);
