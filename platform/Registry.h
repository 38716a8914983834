// The settings store at the level of the system registry: keys under two roots and
// raw typed values. The typed read and write rules (what fails and how) are the
// core's (app/Registry.h), so every adapter behaves alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantorel {

enum class RegistryRoot { LocalMachine, CurrentUser };
enum class RegistryAccess { Full, Read };

enum class RegistryType { Integer, String, Other };

struct RegistryValue {
  RegistryType type = RegistryType::Other;
  std::int32_t integer = 0;  // when type is Integer
  std::string text;          // when type is String (UTF-8)
};

class RegistryPort {
 public:
  virtual ~RegistryPort() = default;
  // Opens the key (path relative to the root, backslash separated, no leading
  // backslash), creating it and missing parents when create is set. Replaces the key
  // opened before. False when it cannot be opened; then no key is open.
  virtual bool OpenKey(RegistryRoot root, const std::string& path, RegistryAccess access, bool create) = 0;
  // True when the key exists under the root (nothing is opened).
  virtual bool KeyExists(RegistryRoot root, const std::string& path) = 0;
  virtual bool HasOpenKey() const = 0;
  // The value of the open key, or nothing when it is missing or no key is open.
  virtual std::optional<RegistryValue> QueryValue(const std::string& name) = 0;
  // False when no key is open or the write is refused.
  virtual bool SetValue(const std::string& name, const RegistryValue& value) = 0;
  virtual void CloseKey() = 0;
};

}  // namespace vantorel
