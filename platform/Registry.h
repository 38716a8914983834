// The settings store at the level of the system registry: keys under two roots and
// raw typed values. The typed read and write rules (what fails and how) are the
// core's (app/Registry.h), so every adapter behaves alike.
#pragma once

#include <cstdint>
#include <memory>
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

// One open key. Destroying it closes the key; it is held through a unique_ptr, so it
// moves but is never copied, and no key stays open past its owner. A key must not
// outlive the port that opened it.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // The value, or nothing when it is missing.
  virtual std::optional<RegistryValue> QueryValue(const std::string& name) = 0;
  // False when the write is refused (a key opened for reading, or no rights).
  virtual bool SetValue(const std::string& name, const RegistryValue& value) = 0;

 protected:
  RegistryKey() = default;
};

class RegistryPort {
 public:
  virtual ~RegistryPort() = default;
  // Opens the key (path relative to the root, backslash separated, no leading
  // backslash), creating it and missing parents when create is set; nullptr when it
  // cannot be opened. Keys opened one after another are independent of each other.
  virtual std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path, RegistryAccess access,
                                               bool create) = 0;
  // True when the key exists under the root (nothing is opened).
  virtual bool KeyExists(RegistryRoot root, const std::string& path) = 0;
};

}  // namespace vantorel
