// The clipboard port on the system clipboard: CF_TEXT and the registered block-type
// format, read within the sizes the system states.
#pragma once

#include "platform/Clipboard.h"
#include "win32/Win32Util.h"

namespace vantorel::win32 {

class Win32Clipboard : public Clipboard {
 public:
  void SetOwner(HWND owner) noexcept { owner_ = owner; }
  void SetBlockTypeFormat(UINT format) noexcept { blockTypeFormat_ = format; }
  void SetText(std::string_view text) override;
  void SetBlockType(std::uint8_t type) override;
  std::optional<std::string> Text() override;
  std::optional<std::uint8_t> BlockType() override;

 private:
  // Puts bytes on the clipboard in one format, emptying it first when asked. Throws
  // naming the call that failed; the memory is freed when the system does not take
  // it, and the clipboard is closed again on every path.
  void Put(UINT format, std::string_view bytes, bool empty);

  HWND owner_ = nullptr;
  UINT blockTypeFormat_ = 0;
};

}  // namespace vantorel::win32
