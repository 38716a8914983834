#include "win32/Win32Registry.h"

#include <cstring>
#include <vector>

namespace vantorel::win32 {

namespace {

HKEY RootKey(RegistryRoot root) { return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

// Opens an existing key: in the program's own view of the registry, else, for a
// machine key that view lacks, in the 32-bit view. A 32-bit build keeps its machine
// settings there (SOFTWARE\WOW6432Node), so a user moving to this build keeps them
// until the first save writes the program's own key. The per-user tree is one for
// both views, so it has no second place to look.
LSTATUS OpenExisting(RegistryRoot root, const std::wstring& path, REGSAM sam, HKEY* key) {
  LSTATUS status = ::RegOpenKeyExW(RootKey(root), path.c_str(), 0, sam, key);
  if (status == ERROR_FILE_NOT_FOUND && root == RegistryRoot::LocalMachine && sizeof(void*) == 8) {
    status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, sam | KEY_WOW64_32KEY, key);
  }
  return status;
}

// Owns one open HKEY and closes it once.
class Win32RegistryKey : public RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) noexcept : key_(key) {}
  ~Win32RegistryKey() override { ::RegCloseKey(key_); }

  std::optional<RegistryValue> QueryValue(const std::string& name) override {
    const std::wstring wname = Widen(name);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key_, wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    std::vector<BYTE> data(size + sizeof(wchar_t));
    DWORD got = size;
    if (::RegQueryValueExW(key_, wname.c_str(), nullptr, &type, data.data(), &got) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    RegistryValue value;
    if (type == REG_DWORD && got == sizeof(DWORD)) {
      DWORD v = 0;
      std::memcpy(&v, data.data(), sizeof v);
      value.type = RegistryType::Integer;
      value.integer = static_cast<std::int32_t>(v);
    } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
      // The stored data need not end in a NUL: read only what it holds.
      std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), got / sizeof(wchar_t));
      if (const auto nul = text.find(L'\0'); nul != std::wstring::npos) text.resize(nul);
      value.type = RegistryType::String;
      value.text = Narrow(text);
    }
    return value;
  }

  bool SetValue(const std::string& name, const RegistryValue& value) override {
    const std::wstring wname = Widen(name);
    LSTATUS status;
    if (value.type == RegistryType::Integer) {
      const DWORD v = static_cast<DWORD>(value.integer);
      status = ::RegSetValueExW(key_, wname.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    } else {
      const std::wstring text = Widen(value.text);
      status = ::RegSetValueExW(key_, wname.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    return status == ERROR_SUCCESS;
  }

 private:
  HKEY key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::OpenKey(RegistryRoot root, const std::string& path,
                                                    RegistryAccess access, bool create) {
  const REGSAM sam = access == RegistryAccess::Full ? KEY_ALL_ACCESS : KEY_READ;
  const std::wstring wpath = Widen(path);
  HKEY key = nullptr;
  LSTATUS status;
  if (create) {
    status = ::RegCreateKeyExW(RootKey(root), wpath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, sam, nullptr, &key,
                               nullptr);
  } else {
    status = OpenExisting(root, wpath, sam, &key);
  }
  if (status != ERROR_SUCCESS) return nullptr;
  // The key is closed by its owner from here on, also when make_unique throws.
  try {
    return std::make_unique<Win32RegistryKey>(key);
  } catch (...) {
    ::RegCloseKey(key);
    throw;
  }
}

bool Win32Registry::KeyExists(RegistryRoot root, const std::string& path) {
  HKEY key = nullptr;
  if (OpenExisting(root, Widen(path), KEY_READ, &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

}  // namespace vantorel::win32
