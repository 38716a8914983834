// An in-memory settings store with the registry's key and value rules, and a switch
// that refuses writes under a root, as an ordinary account is refused the machine key.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Registry.h"

namespace vantorel {

class MemoryRegistry : public RegistryPort {
 public:
  std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path, RegistryAccess access,
                                       bool create) override;
  bool KeyExists(RegistryRoot root, const std::string& path) override;

  // --- for tests ---
  void DenyWrites(RegistryRoot root) { denied_.insert(root); }
  void Put(RegistryRoot root, const std::string& path, const std::string& name, const RegistryValue& value);
  std::optional<RegistryValue> Get(RegistryRoot root, const std::string& path, const std::string& name) const;
  // Names of the values written, in the order they were written.
  std::vector<std::string> WriteLog;
  // Keys handed out and not yet closed.
  int OpenKeys() const noexcept { return openKeys_; }

 private:
  class Key;
  using KeyId = std::pair<RegistryRoot, std::string>;
  static KeyId Id(RegistryRoot root, const std::string& path);
  std::map<KeyId, std::map<std::string, RegistryValue>> keys_;
  std::set<RegistryRoot> denied_;
  int openKeys_ = 0;
};

inline RegistryValue IntegerValue(int v) { return RegistryValue{RegistryType::Integer, v, {}}; }
inline RegistryValue StringValue(std::string s) { return RegistryValue{RegistryType::String, 0, std::move(s)}; }

}  // namespace vantorel
