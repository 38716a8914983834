// The registry port on the system registry: keys under HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER, UTF-8 names and text inside, UTF-16 at the API. An existing
// machine key that the program's own (64-bit) view lacks is looked up in the 32-bit
// view too, where a 32-bit build of the program kept its settings; keys are created
// in the program's own view only.
#pragma once

#include "platform/Registry.h"
#include "win32/Win32Util.h"

namespace vantorel::win32 {

class Win32Registry : public RegistryPort {
 public:
  std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path, RegistryAccess access,
                                       bool create) override;
  bool KeyExists(RegistryRoot root, const std::string& path) override;
};

}  // namespace vantorel::win32
