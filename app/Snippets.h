// The code the palette and the Events menu type into the editor: the lines that
// create each of the six controls, and the empty branch of a window-message handler.
// They are typed character by character, so they pass through the editor's typing
// rules (indentation, undo, the modified mark).
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vantorel {

// The strings a palette button types, in order; each ends with CR. Empty for a name
// that is no palette button.
std::span<const std::string_view> ControlFragments(std::string_view buttonName);

// The two strings an Events item types: the .IF line built from the item's name
// ("_CREATE" gives WM_CREATE) and the .ENDIF line, each ending with CR.
struct EventBlock {
  std::string open;
  std::string close;
};
EventBlock EventBlockFor(std::string_view itemName);

}  // namespace vantorel
