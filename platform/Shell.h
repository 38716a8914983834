// The system shell: hands a document to the program registered for it.
#pragma once

#include <string>

namespace vantorel {

class Shell {
 public:
  virtual ~Shell() = default;
  // The verb "open", no parameters, no working folder, a normal window. The outcome is
  // not reported: a missing file or a missing viewer is the shell's business.
  virtual void Open(const std::string& path) noexcept = 0;
};

}  // namespace vantorel
