// Typed access to the settings store with the registry's rules: an integer read
// fails when the value is missing or of another type, a string read gives an empty
// string for a missing value and fails for another type, a write fails when no key
// is open or the store refuses it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace vantorel {

inline constexpr std::string_view kInvalidDataType = "Invalid data type for '%s'";
inline constexpr std::string_view kGetDataFailed = "Failed to get data for '%s'";
inline constexpr std::string_view kSetDataFailed = "Failed to set data for '%s'";

// Holds at most one open key of the port; opening another closes the one before, and
// the last is closed with this object.
class TRegistry {
 public:
  explicit TRegistry(RegistryPort& port) : port_(port) {}
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  bool OpenKey(RegistryRoot root, const std::string& path, RegistryAccess access, bool create);
  bool HasOpenKey() const noexcept { return key_ != nullptr; }
  std::int32_t ReadInteger(const std::string& name);
  std::string ReadString(const std::string& name);
  void WriteInteger(const std::string& name, std::int32_t value);
  void WriteString(const std::string& name, const std::string& value);
  void CloseKey() noexcept { key_.reset(); }

 private:
  std::optional<RegistryValue> Query(const std::string& name);
  void Write(const std::string& name, const RegistryValue& value);
  RegistryPort& port_;
  std::unique_ptr<RegistryKey> key_;
};

}  // namespace vantorel
