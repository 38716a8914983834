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

class MemoryRegistry::Key : public RegistryKey {
 public:
  Key(MemoryRegistry& store, KeyId id, bool writable) : store_(store), id_(std::move(id)), writable_(writable) {
    ++store_.openKeys_;
  }
  ~Key() override { --store_.openKeys_; }

  std::optional<RegistryValue> QueryValue(const std::string& name) override {
    // The key may have been written through another handle since it was opened.
    const auto key = store_.keys_.find(id_);
    if (key == store_.keys_.end()) return std::nullopt;
    const auto it = key->second.find(Lower(name));
    if (it == key->second.end()) return std::nullopt;
    return it->second;
  }

  bool SetValue(const std::string& name, const RegistryValue& value) override {
    if (!writable_ || store_.denied_.count(id_.first)) return false;
    store_.keys_[id_][Lower(name)] = value;
    store_.WriteLog.push_back(name);
    return true;
  }

 private:
  MemoryRegistry& store_;
  KeyId id_;
  bool writable_;
};

MemoryRegistry::KeyId MemoryRegistry::Id(RegistryRoot root, const std::string& path) {
  return {root, Lower(path)};
}

std::unique_ptr<RegistryKey> MemoryRegistry::OpenKey(RegistryRoot root, const std::string& path,
                                                     RegistryAccess access, bool create) {
  // Creating a key writes under the root even when the key is then opened for reading.
  if ((access == RegistryAccess::Full || create) && denied_.count(root)) return nullptr;
  KeyId id = Id(root, path);
  if (!keys_.count(id)) {
    if (!create) return nullptr;
    keys_[id];
  }
  return std::make_unique<Key>(*this, std::move(id), access == RegistryAccess::Full);
}

bool MemoryRegistry::KeyExists(RegistryRoot root, const std::string& path) { return keys_.count(Id(root, path)) > 0; }

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
