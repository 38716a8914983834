#include "app/MainForm.h"

#include "platform/Errors.h"

namespace vantorel {

TFmain::TFmain(MainWindowPort& window, THLEditor& memo, RegistryPort& registry, FileSystem& fs, Dialogs& dialogs)
    : Memo1(memo), window_(window), registry_(registry), fs_(fs), dialogs_(dialogs) {
  // The editor's configuration in this window.
  Memo1.SetScrollBars(TScrollStyle::ssVertical);
  Memo1.SetGutterWidth(30);
  Memo1.SetRightMargin(100);
  Memo1.SetRightMarginColor(clSilver);
  Memo1.TabStops = "3 5";
  Memo1.SetSelForeColor(clHighlightText);
  Memo1.SetSelBackColor(clHighlight);
  Memo1.SetFont(FontSpec{"Courier New", -15, FontStyle::None, clWindowText});
  Memo1.BackColor = clWindow;
  Memo1.Highlighter = THighlighter::hlJava;
  Memo1.OnKeyUp = [this](int, ShiftState) { Memo1KeyUp(); };
  Memo1.OnMouseUp = [this](MouseButton, ShiftState, Point) { Memo1MouseUp(); };
  Memo1.OnChange = [this] { Memo1Change(); };
}

void TFmain::FormCreate() {
  const std::string last = LoadSettings(registry_, window_, Settings);
  Last1.Caption = last;
  Last1.Hint = Last1.Caption;
  window_.SetMenuCaption(MenuItemId::Last1, Last1.Caption);
}

std::string ExtractFileDir(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\:");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void TFmain::FormShow() {
  ProgramDir = ExtractFileDir(window_.ProgramPath());
  const std::vector<std::string> args = window_.CommandLineArgs();
  if (args.empty() || args.front().empty() || !fs_.FileExists(args.front())) return;
  Memo1.Lines().LoadFromFile(fs_, args.front());
  window_.SetPanelText(panel::File, args.front());
}

void TFmain::FormResize() {
  Rect bounds = window_.Bounds();
  if (bounds.Width() < kMinWindowWidth) {
    bounds.right = bounds.left + kMinWindowWidth;
    window_.SetBounds(bounds);
  }
  window_.SetButtonLeft("BV1", window_.Bounds().Width() - kBV1Width - kBV1Margin);
}

bool TFmain::FormCloseQuery() { return true; }

void TFmain::FormClose() {
  const std::string current = window_.PanelText(panel::File);
  std::optional<std::string> lastFile;
  if (!current.empty() && fs_.FileExists(current)) lastFile = current;
  if (const auto failure = SaveSettings(registry_, window_.Bounds(), Settings, lastFile)) {
    dialogs_.ShowMessage(*failure, kErrorCaption, MessageButtons::Ok, MessageIcon::Error);
  }
}

void TFmain::ShowCaretPosition() {
  window_.SetPanelText(panel::Caret, std::to_string(Memo1.CaretX) + " : " + std::to_string(Memo1.CaretY));
}

void TFmain::Memo1KeyUp() { ShowCaretPosition(); }
void TFmain::Memo1MouseUp() { ShowCaretPosition(); }
void TFmain::Memo1Change() { window_.SetPanelText(panel::Modified, "+"); }

void TFmain::BV1Click() {
  switch (Memo1.ScrollBars()) {
    case TScrollStyle::ssNone:
      Memo1.SetScrollBars(TScrollStyle::ssVertical);
      break;
    case TScrollStyle::ssVertical:
      Memo1.SetScrollBars(TScrollStyle::ssHorizontal);
      break;
    case TScrollStyle::ssHorizontal:
      Memo1.SetScrollBars(TScrollStyle::ssBoth);
      break;
    case TScrollStyle::ssBoth:
      Memo1.SetScrollBars(TScrollStyle::ssNone);
      break;
  }
}

void TFmain::N_closeClick() { window_.Close(); }

void TFmain::Run(Handler handler) {
  switch (handler) {
    case Handler::BV1Click:
      BV1Click();
      break;
    case Handler::N_closeClick:
      N_closeClick();
      break;
    default:
      // The remaining commands are built by the file, build, editing, find, code
      // page, view and code generation features; until then they do nothing.
      break;
  }
}

ClientLayout TFmain::Layout(const Rect& client, int statusBarHeight) const {
  ClientLayout layout;
  layout.Pbutton = Rect{client.left, client.top, client.right, client.top + kToolBarHeight};
  layout.Memo1 = Rect{client.left, layout.Pbutton.bottom, client.right, client.bottom - statusBarHeight};
  if (layout.Memo1.bottom < layout.Memo1.top) layout.Memo1.bottom = layout.Memo1.top;
  return layout;
}

}  // namespace vantorel
