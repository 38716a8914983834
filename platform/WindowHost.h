// What the editor control needs from the window it lives in.
#pragma once

#include "platform/Types.h"

namespace vantorel {

class WindowHost {
 public:
  virtual ~WindowHost() = default;
  virtual bool HasWindow() const = 0;
  virtual bool IsShowing() const = 0;
  virtual Rect ClientRect() const = 0;
  virtual void InvalidateAll() = 0;
  // The window's style depends on settings that changed (scroll bars, border):
  // the window is made anew with the same contents.
  virtual void RecreateWindow() = 0;
};

}  // namespace vantorel
