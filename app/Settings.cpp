#include "app/Settings.h"

#include <cstdint>
#include <limits>
#include <tuple>
#include <utility>

#include "app/Registry.h"
#include "highlight/Languages.h"
#include "platform/Errors.h"

namespace vantorel {

namespace {

const std::string kKey(kSettingsKey);

// The key the settings are read from: the per-user copy when it exists, else the
// machine key (opened for reading when full access is refused).
void OpenForReading(RegistryPort& registry, TRegistry& reg) {
  if (registry.KeyExists(RegistryRoot::CurrentUser, kKey) &&
      reg.OpenKey(RegistryRoot::CurrentUser, kKey, RegistryAccess::Full, false)) {
    return;
  }
  if (!reg.OpenKey(RegistryRoot::LocalMachine, kKey, RegistryAccess::Full, false)) {
    reg.OpenKey(RegistryRoot::LocalMachine, kKey, RegistryAccess::Read, false);
  }
}

// Stored bounds are screen coordinates of any 32-bit value, so the arithmetic on them
// is done in 64 bits; an edge that leaves the int range does not fit on any screen.
std::optional<int> ToInt(std::int64_t value) {
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(value);
}

std::int64_t Width64(const Rect& r) { return std::int64_t{r.right} - r.left; }
std::int64_t Height64(const Rect& r) { return std::int64_t{r.bottom} - r.top; }

// (screen - size) / 2 truncated toward zero, and that edge plus the size. For a screen
// size and a window size that each fit in an int, of any sign, both results do too.
std::pair<int, int> CentredSpan(int screen, std::int64_t size) {
  const std::int64_t start = (std::int64_t{screen} - size) / 2;
  return {static_cast<int>(start), static_cast<int>(start + size)};
}

void Centre(PlacementTarget& window) { window.SetBounds(CentredOnScreen(window.Bounds(), window.ScreenSize())); }

// Applies Left, Top, Height and Width, each right after its read. False when one
// puts an edge outside the int range; the rest are then not read.
bool ApplyStoredBounds(TRegistry& reg, PlacementTarget& window) {
  Rect b = window.Bounds();
  const int left = reg.ReadInteger("Left");
  const std::optional<int> right = ToInt(left + Width64(b));
  if (!right) return false;
  b = Rect{left, b.top, *right, b.bottom};
  window.SetBounds(b);

  const int top = reg.ReadInteger("Top");
  const std::optional<int> bottom = ToInt(top + Height64(b));
  if (!bottom) return false;
  b = Rect{b.left, top, b.right, *bottom};
  window.SetBounds(b);

  const std::optional<int> heightBottom = ToInt(std::int64_t{b.top} + reg.ReadInteger("Height"));
  if (!heightBottom) return false;
  b.bottom = *heightBottom;
  window.SetBounds(b);

  const std::optional<int> widthRight = ToInt(std::int64_t{b.left} + reg.ReadInteger("Width"));
  if (!widthRight) return false;
  b.right = *widthRight;
  window.SetBounds(b);
  return true;
}

// A value that is missing, of another type or out of range centres the window.
void RestorePlacement(TRegistry& reg, PlacementTarget& window) {
  bool applied = false;
  try {
    applied = ApplyStoredBounds(reg, window);
  } catch (const ERegistryError&) {
  }
  if (!applied) Centre(window);
}

// A number: a missing value, or one of another type, is 0 and never reported.
std::int32_t ReadNumber(TRegistry& reg, const std::string& name) {
  try {
    return reg.ReadInteger(name);
  } catch (const ERegistryError&) {
    return 0;
  }
}

// An on/off option: a missing value, or one of another type, is off and never reported.
bool ReadOption(TRegistry& reg, const std::string& name) { return ReadNumber(reg, name) != 0; }

// An option (or a choice) that is 0 and was never stored otherwise is not written, so a
// store that never saw it keeps exactly the values it had before the option existed.
void WriteOption(TRegistry& reg, const std::string& name, std::int32_t value) {
  if (value != 0 || ReadOption(reg, name)) reg.WriteInteger(name, value);
}

// The stored value of a language: a missing value, one of another type or one that no
// language has is the first language's, and never reported.
std::int32_t ReadLanguage(TRegistry& reg, const std::string& name) {
  std::int32_t value = Languages().front().stored;
  try {
    value = reg.ReadInteger(name);
  } catch (const ERegistryError&) {
  }
  return Languages()[LanguageRowStoredAs(value)].stored;
}

void WriteAll(TRegistry& reg, const Rect& bounds, const TSettings& settings,
              const std::optional<std::string>& lastFile) {
  reg.WriteInteger("Left", bounds.left);
  reg.WriteInteger("Top", bounds.top);
  reg.WriteInteger("Width", bounds.Width());
  reg.WriteInteger("Height", bounds.Height());
  reg.WriteString("MASM_PATH", settings.MASM_PATH);
  reg.WriteString("PROG_PATH", settings.PROG_PATH);
  reg.WriteString("COMPILE_FILE", settings.COMPILE_FILE);
  reg.WriteString("RUN_FILE", settings.RUN_FILE);
  if (lastFile) reg.WriteString("LAST_FILE", *lastFile);
  WriteOption(reg, "BUILD_OUTPUT", settings.BUILD_OUTPUT);
  WriteOption(reg, "BUILD_OUTPUT_HEIGHT", settings.BUILD_OUTPUT_HEIGHT);
  WriteOption(reg, "HIGHLIGHTER", settings.HIGHLIGHTER);
  WriteOption(reg, "CODE_HINTS", settings.CODE_HINTS);
}

std::optional<std::string> TrySave(RegistryPort& registry, RegistryRoot root, const Rect& bounds,
                                   const TSettings& settings, const std::optional<std::string>& lastFile) {
  TRegistry reg(registry);
  reg.OpenKey(root, kKey, RegistryAccess::Full, true);
  try {
    WriteAll(reg, bounds, settings, lastFile);
  } catch (const ERegistryError& e) {
    return std::string(e.what());
  }
  return std::nullopt;
}

}  // namespace

Rect CentredOnScreen(const Rect& bounds, Point screen) {
  Rect b = bounds;
  std::tie(b.left, b.right) = CentredSpan(screen.x, Width64(b));
  std::tie(b.top, b.bottom) = CentredSpan(screen.y, Height64(b));
  return b;
}

std::string LoadSettings(RegistryPort& registry, PlacementTarget& window, TSettings& settings) {
  TRegistry reg(registry);
  OpenForReading(registry, reg);
  RestorePlacement(reg, window);
  settings.BUILD_OUTPUT = ReadOption(reg, "BUILD_OUTPUT");
  settings.BUILD_OUTPUT_HEIGHT = ReadNumber(reg, "BUILD_OUTPUT_HEIGHT");
  settings.HIGHLIGHTER = ReadLanguage(reg, "HIGHLIGHTER");
  settings.CODE_HINTS = ReadOption(reg, "CODE_HINTS");
  settings.MASM_PATH = reg.ReadString("MASM_PATH");
  settings.PROG_PATH = reg.ReadString("PROG_PATH");
  settings.COMPILE_FILE = reg.ReadString("COMPILE_FILE");
  settings.RUN_FILE = reg.ReadString("RUN_FILE");
  return reg.ReadString("LAST_FILE");
}

std::optional<std::string> SaveSettings(RegistryPort& registry, const Rect& bounds, const TSettings& settings,
                                        const std::optional<std::string>& lastFile,
                                        const std::string& loadedLastFile) {
  // Where a per-user copy exists the next start reads it, so it must get the values.
  if (registry.KeyExists(RegistryRoot::CurrentUser, kKey)) {
    return TrySave(registry, RegistryRoot::CurrentUser, bounds, settings, lastFile);
  }
  if (!TrySave(registry, RegistryRoot::LocalMachine, bounds, settings, lastFile)) return std::nullopt;
  return TrySave(registry, RegistryRoot::CurrentUser, bounds, settings,
                 lastFile ? lastFile : std::optional<std::string>(loadedLastFile));
}

}  // namespace vantorel
