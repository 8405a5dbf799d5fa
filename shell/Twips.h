// Positions and sizes are kept in twips, as the settings store has them;
// 15 twips make one pixel.
#pragma once

inline constexpr int kTwipsPerPixel = 15;

inline constexpr int TwipsToPx(int twips) { return twips / kTwipsPerPixel; }
inline constexpr int PxToTwips(int px) { return px * kTwipsPerPixel; }
