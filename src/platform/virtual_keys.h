#pragma once

#include <Qt>

class QKeyEvent;

// Shift, Ctrl, Alt, AltGr, Super/Meta and the like: keys that only change other keys.
bool isModifierKey(int qtKey);
// The Windows virtual-key code of a key event (arrows 37..40, letters 65..90 ...), or 0
// for a key that has none.
int virtualKeyCode(const QKeyEvent& event);
// The Windows shift state: 1 Shift, 2 Ctrl, 4 Alt.
int shiftState(Qt::KeyboardModifiers modifiers);
