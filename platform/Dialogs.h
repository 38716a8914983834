// Modal questions and notices. Texts are UTF-8.
#pragma once

#include <string>

namespace vantorel {

enum class MessageButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class MessageIcon { None, Information, Warning, Question, Error };
enum class MessageResult { Ok, Cancel, Yes, No };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons,
                                   MessageIcon icon) = 0;
};

// The caption of error boxes raised by the top-level error handling.
inline constexpr const char* kErrorCaption = "Vantorel";

}  // namespace vantorel
