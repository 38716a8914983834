#include "headless/MemoryRegistry.h"

#include <algorithm>
#include <cctype>

namespace vantorel {

namespace {
// Key and value names are not case-sensitive in the registry.
std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}
}  // namespace

MemoryRegistry::KeyId MemoryRegistry::Id(RegistryRoot root, const std::string& path) {
  return {root, Lower(path)};
}

bool MemoryRegistry::OpenKey(RegistryRoot root, const std::string& path, RegistryAccess access, bool create) {
  open_.reset();
  const bool write = access == RegistryAccess::Full || create;
  if (write && denied_.count(root)) return false;
  const KeyId id = Id(root, path);
  if (!keys_.count(id)) {
    if (!create) return false;
    keys_[id];
  }
  open_ = id;
  openForWrite_ = write;
  return true;
}

bool MemoryRegistry::KeyExists(RegistryRoot root, const std::string& path) { return keys_.count(Id(root, path)) > 0; }

std::optional<RegistryValue> MemoryRegistry::QueryValue(const std::string& name) {
  if (!open_) return std::nullopt;
  const auto& values = keys_[*open_];
  const auto it = values.find(Lower(name));
  if (it == values.end()) return std::nullopt;
  return it->second;
}

bool MemoryRegistry::SetValue(const std::string& name, const RegistryValue& value) {
  if (!open_ || !openForWrite_ || denied_.count(open_->first)) return false;
  keys_[*open_][Lower(name)] = value;
  WriteLog.push_back(name);
  return true;
}

void MemoryRegistry::Put(RegistryRoot root, const std::string& path, const std::string& name,
                         const RegistryValue& value) {
  keys_[Id(root, path)][Lower(name)] = value;
}

std::optional<RegistryValue> MemoryRegistry::Get(RegistryRoot root, const std::string& path,
                                                 const std::string& name) const {
  const auto key = keys_.find(Id(root, path));
  if (key == keys_.end()) return std::nullopt;
  const auto it = key->second.find(Lower(name));
  if (it == key->second.end()) return std::nullopt;
  return it->second;
}

}  // namespace vantorel
