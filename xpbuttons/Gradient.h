// The gradient painter of the XP-look buttons: vertical bands of a colour table,
// their borders dithered in a 16-pixel strip that is copied across the width.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/Types.h"

namespace vantorel {

// Random integers in [0, n) for n >= 1; the dither rows come from it, so a test can
// make them exact.
using GradientRandom = std::function<int(int n)>;
// The painter's own source: a 32-bit linear congruential generator with a fixed seed.
GradientRandom DefaultGradientRandom();

// Paints a width x height gradient into bitmap (sized to fit; opaque 0xFFRRGGBB
// pixels). start and end are RGB colours (no system colours). Style 1 runs from start
// at the top to end at the bottom, style 3 from end to start; styles 0 and 2 are the
// same from left to right. steps >= 2.
void PaintGradient(int width, int height, Color start, Color end, int steps, int style, bool dither,
                   PixelImage& bitmap, const GradientRandom& random);

// Rounds a * b / c to the nearest integer as the system's MulDiv does (halves away
// from zero); -1 when c is 0.
int MulDiv(int a, int b, int c) noexcept;

}  // namespace vantorel
