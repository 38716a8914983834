// The persisted settings: window placement, the four build paths and the last file,
// kept under one registry key. Reads prefer a per-user copy of the key, because an
// ordinary account cannot write the machine-wide key.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Registry.h"
#include "platform/Types.h"

namespace vantorel {

inline constexpr std::string_view kSettingsKey = "SOFTWARE\\Tovik\\Kelpra";

// The process-wide settings variables, named after their stored values.
struct TSettings {
  std::string MASM_PATH;
  std::string PROG_PATH;
  std::string COMPILE_FILE;
  std::string RUN_FILE;
  bool BUILD_OUTPUT = false;  // the build's output in the window
  std::int32_t BUILD_OUTPUT_HEIGHT = 0;  // the output pane's height in pixels; 0 for its default
  std::int32_t HIGHLIGHTER = 0;  // the colouring rules: the stored value of a language's row
  bool CODE_HINTS = false;  // completion and hints from the index of the program's names
};

// The window whose placement is restored.
class PlacementTarget {
 public:
  virtual ~PlacementTarget() = default;
  virtual Rect Bounds() const = 0;
  virtual void SetBounds(const Rect& bounds) = 0;
  virtual Point ScreenSize() const = 0;
};

// bounds moved so that they stand in the middle of a screen of this size (the size
// kept; the arithmetic in 64 bits, so any size that fits an int gives edges that do).
Rect CentredOnScreen(const Rect& bounds, Point screen);

// Restores the placement (centring the window when any of Left, Top, Height, Width
// cannot be read), then reads the variables and returns LAST_FILE. A string stored
// with another type throws ERegistryError; the reads after it are skipped.
std::string LoadSettings(RegistryPort& registry, PlacementTarget& window, TSettings& settings);

// Writes the placement, the variables and, when lastFile is set, LAST_FILE. Without
// a current file the stored LAST_FILE stays; where the values must go to a per-user
// key made now, loadedLastFile (the value read at start) is written there, so it is
// not lost. Returns the message of a failed write, or nothing; a failure never stops
// the caller.
std::optional<std::string> SaveSettings(RegistryPort& registry, const Rect& bounds, const TSettings& settings,
                                        const std::optional<std::string>& lastFile,
                                        const std::string& loadedLastFile);

}  // namespace vantorel
