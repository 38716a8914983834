// What both XP-look buttons paint alike: gradients kept between paints, and the
// outline with its rounded corners.
#pragma once

#include <array>

#include "platform/Surface.h"
#include "platform/Types.h"
#include "xpbuttons/Gradient.h"

namespace vantorel {

// A gradient painted once and kept while its size and colours stay the same, so a
// repaint makes no new image. The dither comes from a source reset for every paint,
// so a kept image is exactly what painting anew would give.
class GradientImage {
 public:
  const PixelImage& Get(int width, int height, Color top, Color bottom, int steps, int style = 1);

 private:
  struct Key {
    int width = -1, height = -1;
    Color top, bottom;
    int steps = 0, style = 0;
    bool operator==(const Key&) const = default;
  };
  Key key_;
  PixelImage image_;
};

// The outline of a button over r: four lines in border; the corner pixels in the
// parent's colour, their diagonal neighbours in border, and the pixels beside the
// corners in blend.
void DrawButtonOutline(Surface& surface, const Rect& r, Color border, Color blend, Color parent);

// One pixel.
inline void SetPixel(Surface& surface, int x, int y, Color color) { surface.FillRect(Rect{x, y, x + 1, y + 1}, color); }

}  // namespace vantorel
