// The skeleton of a windowed Masm32 program that the new-project command writes
// into the editor: 80 fixed lines of Windows-1251 bytes.
#pragma once

#include <span>
#include <string_view>

namespace vantorel {

std::span<const std::string_view> NewProjectTemplate();

}  // namespace vantorel
