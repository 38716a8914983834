#include "app/Settings.h"

#include "app/Registry.h"
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

void Centre(PlacementTarget& window) {
  Rect b = window.Bounds();
  const Point screen = window.ScreenSize();
  const int width = b.Width();
  const int height = b.Height();
  b.left = (screen.x - width) / 2;
  b.top = (screen.y - height) / 2;
  b.right = b.left + width;
  b.bottom = b.top + height;
  window.SetBounds(b);
}

void RestorePlacement(TRegistry& reg, PlacementTarget& window) {
  try {
    Rect b = window.Bounds();
    const int left = reg.ReadInteger("Left");
    b = Rect{left, b.top, left + b.Width(), b.bottom};
    window.SetBounds(b);
    const int top = reg.ReadInteger("Top");
    b = Rect{b.left, top, b.right, top + b.Height()};
    window.SetBounds(b);
    const int height = reg.ReadInteger("Height");
    b.bottom = b.top + height;
    window.SetBounds(b);
    const int width = reg.ReadInteger("Width");
    b.right = b.left + width;
    window.SetBounds(b);
  } catch (const ERegistryError&) {
    Centre(window);
  }
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

std::string LoadSettings(RegistryPort& registry, PlacementTarget& window, TSettings& settings) {
  TRegistry reg(registry);
  OpenForReading(registry, reg);
  RestorePlacement(reg, window);
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
