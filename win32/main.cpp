// Program entry: one main window and the message loop until it closes.
#include "win32/MainWindow.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  try {
    vantorel::win32::MainWindow window;
    window.Create();
    window.Show(showCommand);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
      const bool handled = (window.FindDialog() && ::IsDialogMessageW(window.FindDialog(), &msg)) ||
                           (window.Handle() && ::TranslateAcceleratorW(window.Handle(), window.Accelerators(), &msg));
      if (!handled) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
      vantorel::win32::PaintMarkedWindows();
    }
    return static_cast<int>(msg.wParam);
  } catch (const std::exception& e) {
    vantorel::win32::ShowError(nullptr, e.what());
  } catch (...) {
    vantorel::win32::ShowError(nullptr, "Unknown error");
  }
  return 1;
}
