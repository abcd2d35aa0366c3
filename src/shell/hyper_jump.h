#pragma once

#include <QString>

// The maker's web site, opened by Help > Nimbolt Software on the Web.
inline constexpr char kMakerWebAddress[] = "https://www.nimbolt.example/";

// Hands URL to the desktop's default handler for it (a browser for web addresses, in a
// normal window) and returns at once; whether that worked is the desktop's business.
void HyperJump(const QString& URL);
