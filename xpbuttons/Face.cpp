#include "xpbuttons/Face.h"

namespace vantorel {

const PixelImage& GradientImage::Get(int width, int height, Color top, Color bottom, int steps, int style) {
  const Key key{width, height, top, bottom, steps, style};
  if (!(key == key_)) {
    // A source of its own for every paint: the same arguments give the same pixels.
    PaintGradient(width, height, top, bottom, steps, style, true, image_, DefaultGradientRandom());
    key_ = key;
  }
  return image_;
}

void DrawButtonOutline(Surface& surface, const Rect& r, Color border, Color blend, Color parent) {
  const int l = r.left;
  const int t = r.top;
  const int b = r.bottom;
  const int w = r.Width();
  surface.FillRect(Rect{l, t, l + 1, b}, border);
  surface.FillRect(Rect{l, b - 1, r.right, b}, border);
  surface.FillRect(Rect{l, t, r.right, t + 1}, border);
  surface.FillRect(Rect{r.right - 1, t, r.right, b}, border);
  for (const Point p : {Point{l, t}, Point{l + w - 1, t}, Point{l, b - 1}, Point{l + w - 1, b - 1}}) {
    SetPixel(surface, p.x, p.y, parent);
  }
  for (const Point p : {Point{l + 1, t + 1}, Point{l + w - 2, t + 1}, Point{l + 1, b - 2}, Point{l + w - 2, b - 2}}) {
    SetPixel(surface, p.x, p.y, border);
  }
  for (const Point p : {Point{l + 1, t}, Point{l + w - 2, t}, Point{l + 1, b - 1}, Point{l + w - 2, b - 1},
                        Point{l, t + 1}, Point{l + w - 1, t + 1}, Point{l, b - 2}, Point{l + w - 1, b - 2}}) {
    SetPixel(surface, p.x, p.y, blend);
  }
}

}  // namespace vantorel
