#pragma once

#include <QString>

// Hands URL to the desktop's default handler for it (a browser for web addresses, in a
// normal window) and returns at once; whether that worked is the desktop's business.
void HyperJump(const QString& URL);
