#include "app/MainForm.h"

#include <algorithm>

#include "app/Snippets.h"

#include "app/Template.h"
#include "platform/Errors.h"

namespace vantorel {

TFmain::TFmain(MainWindowPort& window, THLEditor& memo, RegistryPort& registry, FileSystem& fs, Dialogs& dialogs,
               Processes& processes, CodePages& codePages, Shell& shell)
    : Memo1(memo),
      window_(window),
      registry_(registry),
      fs_(fs),
      dialogs_(dialogs),
      processes_(processes),
      codePages_(codePages),
      shell_(shell) {
  Open1 = FileDialogDesc{"Выбор файла",
                         {{"Все файлы", "*.*"},
                          {"Файлы: txt doc asm log bat ini", "*.txt;*.doc;*.asm;*.log;*.bat;*.ini"},
                          {"Assembler (*.asm)", "*.asm"}},
                         3,
                         "",
                         ""};
  Save1 = FileDialogDesc{"Сохранить как",
                         {{"Все файлы", "*.*"},
                          {"Файлы: txt doc asm log bat ini", "*.txt;*.doc;*.asm;*.log;*.bat;*.ini"},
                          {"Assembler *.asm", "*.asm"}},
                         3,
                         "asm",
                         ""};
  // The editor's configuration in this window.
  Memo1.SetScrollBars(TScrollStyle::ssVertical);
  Memo1.SetGutterWidth(30);
  Memo1.SetRightMargin(100);
  Memo1.SetRightMarginColor(clSilver);
  Memo1.TabStops = "3 5";
  Memo1.SetSelForeColor(clHighlightText);
  Memo1.SetSelBackColor(clHighlight);
  Memo1.SetFont(FontDesc{"Courier New", -15, FontStyle::None, clWindowText});
  Memo1.SetBackColor(clWindow);
  Memo1.SetHighlighter(THighlighter::hlJava);
  Memo1.SetColors(TColors{});
  // The completion is configured but given no lists, so it stays inactive.
  TCompletion& completion = Memo1.Completion();
  completion.ItemHeight = 13;
  completion.SetInterval(800);
  completion.ListBoxStyle = TListBoxStyle::lbStandard;
  completion.CaretChar = '|';
  completion.CRLF = std::string("/n");
  completion.Separator = std::string("=");
  Memo1.OnKeyUp = [this](int, ShiftState) { Memo1KeyUp(); };
  Memo1.OnMouseUp = [this](MouseButton, ShiftState, Point) { Memo1MouseUp(); };
  Memo1.OnChange = [this] { Memo1Change(); };
  Memo1.Loaded();
}

TFmain::~TFmain() { Memo1.Completion().SetSource(nullptr); }

void TFmain::FormCreate() {
  std::string last;
  try {
    last = LoadSettings(registry_, window_, Settings);
  } catch (...) {
    // The choices are read before the value that failed.
    ApplyHighlighter();
    ShowBuildOutputOption();
    ApplyCodeHints();
    throw;
  }
  ApplyHighlighter();
  ApplyCodeHints();
  Last1.Caption = last;
  Last1.Hint = Last1.Caption;
  window_.SetMenuCaption(MenuItemId::Last1, Last1.Caption);
  ShowBuildOutputOption();
}

std::string ExtractFileDir(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void TFmain::FormShow() {
  ProgramDir = ExtractFileDir(window_.ProgramPath());
  const std::vector<std::string> args = window_.CommandLineArgs();
  if (args.empty() || args.front().empty() || !fs_.FileExists(args.front())) return;
  Memo1.Lines().LoadFromFile(fs_, args.front());
  window_.SetPanelText(panel::File, args.front());
  SourceChanged();
}

void TFmain::FormResize() {
  Rect bounds = window_.Bounds();
  if (bounds.Width() < kMinWindowWidth) {
    bounds.right = bounds.left + kMinWindowWidth;
    window_.SetBounds(bounds);
  }
  window_.SetButtonLeft("BV1", window_.Bounds().Width() - kBV1Width - kBV1Margin);
}

bool TFmain::Ask(std::string_view question, MessageIcon icon) {
  return dialogs_.ShowMessage(std::string(question), std::string(kAttention), MessageButtons::YesNo, icon) ==
         MessageResult::Yes;
}

bool TFmain::FormCloseQuery() {
  return window_.PanelText(panel::Modified) != "+" || Ask(kCloseQuestion, MessageIcon::None);
}

void TFmain::FormClose() {
  const std::string current = window_.PanelText(panel::File);
  std::optional<std::string> lastFile;
  if (!current.empty() && fs_.FileExists(current)) lastFile = current;
  if (const auto failure = SaveSettings(registry_, window_.Bounds(), Settings, lastFile, Last1.Hint)) {
    dialogs_.ShowMessage(*failure, kErrorCaption, MessageButtons::Ok, MessageIcon::Error);
  }
}

void TFmain::SaveOnClose() {
  try {
    FormClose();
  } catch (const std::exception& e) {
    // Closing goes on: a window that cannot close would keep the user from quitting.
    dialogs_.ShowMessage(e.what(), kErrorCaption, MessageButtons::Ok, MessageIcon::Error);
  }
  settingsSaved_ = true;
}

void TFmain::CloseRequested() {
  if (!settingsSaved_) {
    if (!FormCloseQuery()) return;
    SaveOnClose();
  }
  // A build still running goes with the window, with everything it started.
  if (buildOutput_) buildOutput_->Stop();
  window_.Destroy();
}

bool TFmain::QueryEndSession() { return settingsSaved_ || FormCloseQuery(); }

void TFmain::EndSession(bool ending) {
  if (ending && !settingsSaved_) SaveOnClose();
  if (ending && buildOutput_) buildOutput_->Stop();
}

void TFmain::ShowCaretPosition() {
  window_.SetPanelText(panel::Caret, std::to_string(Memo1.CaretX()) + " : " + std::to_string(Memo1.CaretY()));
}

void TFmain::Memo1KeyUp() { ShowCaretPosition(); }
void TFmain::Memo1MouseUp() { ShowCaretPosition(); }
void TFmain::Memo1Change() {
  // Every typed character reports a change: the mark is set once, not repainted each time.
  if (window_.PanelText(panel::Modified) != "+") window_.SetPanelText(panel::Modified, "+");
}

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

// --- new project and file commands ---

void TFmain::N_newClick() {
  if (window_.PanelText(panel::Modified) == "+" && !Ask(kNewQuestion, MessageIcon::Question)) return;
  window_.SetPanelText(panel::File, "");
  PutNewProject(Memo1);
  window_.SetPanelText(panel::Modified, "");
  SourceChanged();
}

void PutNewProject(TCustomEditor& memo) {
  // One change for the whole skeleton: the editor shows it anew once, not once a line.
  TEditorStrings& lines = memo.Lines();
  TEditorStrings::UpdateScope update(lines);
  lines.Clear();
  for (std::string_view line : NewProjectTemplate()) lines.Add(line);
  update.End();
  memo.UpdateEditorView();
}

void TFmain::LoadFile(const std::string& path) {
  Memo1.Lines().LoadFromFile(fs_, path);
  window_.SetPanelText(panel::File, path);
  SourceChanged();
}

void TFmain::SourceChanged() {
  if (codeHints_) codeHints_->Update();
}

void TFmain::N_openClick() {
  if (const auto path = dialogs_.OpenFile(Open1)) LoadFile(*path);
}

void TFmain::N_saveClick() {
  const std::string current = window_.PanelText(panel::File);
  if (!current.empty() && fs_.FileExists(current)) {
    Memo1.Lines().SaveToFile(fs_, current);
    window_.SetPanelText(panel::Modified, "");
  } else {
    N_save_asClick();
  }
}

void TFmain::N_save_asClick() {
  if (Save1.initialDir.empty()) Save1.initialDir = Settings.PROG_PATH;
  const auto path = dialogs_.SaveFile(Save1);
  if (!path) return;
  Memo1.Lines().SaveToFile(fs_, *path);
  window_.SetPanelText(panel::File, *path);
  window_.SetPanelText(panel::Modified, "");
  SourceChanged();
}

void TFmain::Last1Click() {
  if (window_.PanelText(panel::Modified) == "+" && !Ask(kOpenLastQuestion, MessageIcon::None)) return;
  if (!Last1.Hint.empty() && fs_.FileExists(Last1.Hint)) LoadFile(Last1.Hint);
}

// --- build and run ---

std::string PathWithoutExtension(const std::string& path) {
  const std::size_t name = path.find_last_of("\\/:");
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (name != std::string::npos && dot < name)) return path;
  return path.substr(0, dot);
}

void TFmain::StartWithSource(const std::string& command, std::string_view status, TBuildOutput* capture) {
  const std::string source = window_.PanelText(panel::File);
  if (source.empty() || !fs_.FileExists(source)) {
    dialogs_.ShowMessage(std::string(kSaveFirst), std::string(kAttention), MessageButtons::Ok, MessageIcon::None);
    return;
  }
  const std::string folder = ExtractFileDir(source);
  if (!processes_.ChangeDirectory(folder)) {
    dialogs_.ShowMessage(FormatText(kCannotEnterFolder, {folder}), std::string(kAttention), MessageButtons::Ok,
                         MessageIcon::None);
    return;
  }
  window_.SetPanelText(panel::Build, std::string(status));
  N_saveClick();
  processes_.ProcessMessages();
  const std::string commandLine = command + " " + PathWithoutExtension(source);
  window_.SetPanelText(panel::Build, commandLine);
  if (capture) {
    capture->Start(commandLine, folder);
    return;
  }
  processes_.StartCommand(commandLine);  // not waited for, and its outcome is not reported
}

void TFmain::N_compileClick() {
  if (!BuildOutputShown()) {
    StartWithSource(Settings.COMPILE_FILE, kCompileStatus);
    return;
  }
  if (buildOutput_->Busy()) {
    buildOutput_->Refuse();
    return;
  }
  // Busy already while saving: the messages handled before the start may bring
  // another build command.
  TBuildOutput::Preparing preparing(*buildOutput_);
  StartWithSource(Settings.COMPILE_FILE, kCompileStatus, buildOutput_.get());
}
void TFmain::N_runClick() { StartWithSource(Settings.RUN_FILE, kRunStatus); }

// --- settings dialog ---

void TFmain::N_setupClick() {
  TFsetting form(Settings);
  window_.ShowSettingsDialog(form);
}

// --- find ---

void TFmain::N8Click() { window_.ShowFindDialog(Find1.Text); }

void TFmain::Find1Find() {
  const TEditorStrings& lines = Memo1.Lines();
  const int n = lines.Count();
  const int s = Memo1.CaretY();
  if (s > n - 1) return;
  const std::optional<std::string> text = codePages_.AnsiFromUtf8(Find1.Text);
  if (!text || text->empty()) return;  // an empty text never matches, nor one the text cannot hold
  const std::string needle = codePages_.LowerCase(*text);
  for (int i = s; i < n; ++i) {
    const std::size_t p = codePages_.LowerCase(lines.View(i)).find(needle);
    if (p == std::string::npos) continue;
    for (int k = i - s - 1; k > 0; --k) Memo1.ScrollMessage(ScrollBarKind::Vertical, ScrollCode::LineDown);
    Memo1.SetSelStart(Memo1.PositionToOffset(static_cast<int>(p), i));
    window_.CloseFindDialog();
    return;
  }
}

// --- code page conversion ---

void ConvertEditorLines(TCustomEditor& memo, CodePages& codePages,
                        std::string (CodePages::*convert)(std::string_view)) {
  TEditorStrings& lines = memo.Lines();
  const int n = lines.Count();
  if (n == 0) return;
  TEditorUpdate update(memo);
  // The converted lines reach the line list's watchers as one change from the first
  // converted line, so the highlighter follows a block a converted byte opened or
  // closed below it.
  TEditorStrings::UpdateScope lineUpdate(lines);
  for (int i = 0; i < n; ++i) {
    if (lines.View(i).empty()) continue;
    std::string converted = (codePages.*convert)(lines.View(i));
    lines.Delete(i);
    lines.Insert(i, converted);
  }
  lineUpdate.End();
  update.End();
}

void TFmain::WinDos1Click() { ConvertEditorLines(Memo1, codePages_, &CodePages::WinToDos); }
void TFmain::DosWin1Click() { ConvertEditorLines(Memo1, codePages_, &CodePages::DosToWin); }

// --- view, font and help ---

void TFmain::N4Click() {
  window_.SetMenuChecked(MenuItemId::_Ntools, PbuttonVisible);
  window_.SetMenuChecked(MenuItemId::_Ncomp, PtoolsVisible);
  window_.SetMenuChecked(MenuItemId::N_buildOutput, Settings.BUILD_OUTPUT);
  window_.SetMenuChecked(MenuItemId::N_codeHints, Settings.CODE_HINTS);
}

void TFmain::N_codeHintsClick() {
  Settings.CODE_HINTS = !Settings.CODE_HINTS;
  ApplyCodeHints();
}

void TFmain::ApplyCodeHints() {
  if (Settings.CODE_HINTS && !codeHints_) {
    codeHints_ = std::make_unique<TCodeHints>(
        Memo1.Lines(), fs_, codePages_,
        [this] { return IncludeSearch{window_.PanelText(panel::File), Settings.MASM_PATH}; },
        [this] { window_.WakeForIndex(); });
    codeHints_->Update();
  }
  Memo1.Completion().SetSource(Settings.CODE_HINTS ? codeHints_.get() : nullptr);
  if (!Settings.CODE_HINTS) codeHints_.reset();
}

void TFmain::FormActivate() {
  if (codeHints_) codeHints_->Activated();
}

void TFmain::IndexReady() {
  if (!codeHints_) return;
  if (const std::optional<std::string> problems = codeHints_->IncludesRead()) {
    window_.SetPanelText(panel::Build, *problems);
  }
}

void TFmain::N_buildOutputClick() {
  Settings.BUILD_OUTPUT = !Settings.BUILD_OUTPUT;
  ShowBuildOutputOption();
}

// The pane appears with the next build; the option going off hides it, and the stop
// item shows only while a build can be one to stop.
void TFmain::ShowBuildOutputOption() {
  window_.SetMenuItemShown(MenuItemId::N_stopBuild, BuildOutputShown());
  if (buildOutput_ && !Settings.BUILD_OUTPUT) buildOutput_->ShowPane(false);
}

std::span<const std::vector<Accelerator>> TFmain::ShortcutTables() {
  static const std::vector<std::vector<Accelerator>> tables = [] {
    std::vector<Accelerator> menu = MenuAccelerators(MainMenu());
    std::vector<Accelerator> withBuild = menu;
    withBuild.insert(withBuild.end(), BuildOutputKeys().begin(), BuildOutputKeys().end());
    return std::vector<std::vector<Accelerator>>{std::move(menu), std::move(withBuild)};
  }();
  return tables;
}

void TFmain::AttachBuildOutput(CapturedProcesses& capture, PaneWindow& pane) {
  buildOutput_ = std::make_unique<TBuildOutput>(window_, Memo1, fs_, codePages_, capture, pane,
                                                Settings.BUILD_OUTPUT_HEIGHT, [this] { ShowCaretPosition(); });
}

void TFmain::ApplyHighlighter() {
  const std::size_t row = LanguageRowStoredAs(Settings.HIGHLIGHTER);
  Memo1.SetHighlighter(Languages()[row].language.Id());
  window_.SetMenuRadioChoice(LanguageMenuItem(0), LanguageMenuItem(Languages().size() - 1), LanguageMenuItem(row));
}

void TFmain::N_hlClick(std::size_t row) {
  Settings.HIGHLIGHTER = Languages()[row].stored;
  ApplyHighlighter();
}

void TFmain::_NtoolsClick() {
  PbuttonVisible = !PbuttonVisible;
  window_.SetToolPanelVisible(ToolPanel::Pbutton, PbuttonVisible);
}

void TFmain::_NcompClick() {
  PtoolsVisible = !PtoolsVisible;
  window_.SetToolPanelVisible(ToolPanel::Ptools, PtoolsVisible);
}

void TFmain::_NfontClick() {
  const auto chosen = dialogs_.PickFont(Font1);
  if (!chosen) return;
  Font1 = *chosen;
  Memo1.SetFont(*chosen);
  if (buildOutput_) buildOutput_->FontChanged();
}

void TFmain::N6Click() {
  std::string path = ProgramDir;
  path.append(kHelpFile);
  shell_.Open(path);
}

void TFmain::TypeText(std::string_view text) {
  for (char c : text) window_.SendEditorChar(static_cast<unsigned char>(c));
}

void TFmain::BeditClick(std::string_view sender) {
  for (std::string_view fragment : ControlFragments(sender)) TypeText(fragment);
}

void TFmain::BeventsClick() { window_.DropDownMenu("Bevents", EventsMenu(), kDropDownOffsetX); }

void TFmain::_MOUSEWHEELClick(std::string_view sender) {
  const EventBlock block = EventBlockFor(sender);
  TypeText(block.open);
  TypeText(block.close);
}

void TFmain::Run(Handler handler, std::string_view sender) {
  if (const std::optional<std::size_t> row = LanguageRowOf(handler)) {
    N_hlClick(*row);
    return;
  }
  switch (handler) {
    case Handler::N_newClick: N_newClick(); break;
    case Handler::N_openClick: N_openClick(); break;
    case Handler::Last1Click: Last1Click(); break;
    case Handler::N_saveClick: N_saveClick(); break;
    case Handler::N_save_asClick: N_save_asClick(); break;
    case Handler::N_closeClick: N_closeClick(); break;
    case Handler::N_compileClick: N_compileClick(); break;
    case Handler::N_runClick: N_runClick(); break;
    case Handler::BV1Click: BV1Click(); break;
    case Handler::N_setupClick: N_setupClick(); break;
    case Handler::N8Click: N8Click(); break;
    case Handler::WinDos1Click: WinDos1Click(); break;
    case Handler::DosWin1Click: DosWin1Click(); break;
    case Handler::N4Click: N4Click(); break;
    case Handler::_NtoolsClick: _NtoolsClick(); break;
    case Handler::_NcompClick: _NcompClick(); break;
    case Handler::_NfontClick: _NfontClick(); break;
    case Handler::N6Click: N6Click(); break;
    case Handler::N_buildOutputClick: N_buildOutputClick(); break;
    case Handler::N_codeHintsClick: N_codeHintsClick(); break;
    case Handler::N_stopBuildClick:
      if (BuildOutputShown()) buildOutput_->StopByUser();
      break;
    case Handler::NextBuildMessage:
    case Handler::PreviousBuildMessage:
      if (BuildOutputShown()) buildOutput_->Step(handler == Handler::NextBuildMessage);
      break;
    // The Edit commands are one call on the editor each.
    case Handler::BCopy1Click: Memo1.CopySelection(); break;
    case Handler::BCut1Click: Memo1.CutSelection(); break;
    case Handler::BPaste1Click: Memo1.PasteClipboard(); break;
    case Handler::BdelClick: Memo1.Deselect(); break;
    case Handler::BundoClick: Memo1.Undo(); break;
    case Handler::BeditClick: BeditClick(sender); break;
    case Handler::BeventsClick: BeventsClick(); break;
    case Handler::_MOUSEWHEELClick: _MOUSEWHEELClick(sender); break;
    default:
      // The palette and the Events menu come with the code generation feature; until
      // then they do nothing.
      break;
  }
}

void TFmain::ButtonClick(Handler handler, std::string_view sender) {
  struct FocusBack {
    MainWindowPort& window;
    ~FocusBack() { window.FocusEditor(); }
  } focusBack{window_};
  Run(handler, sender);
}

ClientLayout TFmain::Layout(const Rect& client, int statusBarHeight) const {
  ClientLayout layout;
  layout.Pbutton = Rect{client.left, client.top, client.right, client.top + (PbuttonVisible ? kToolBarHeight : 0)};
  layout.Memo1 = Rect{client.left, layout.Pbutton.bottom, client.right, client.bottom - statusBarHeight};
  if (layout.Memo1.bottom < layout.Memo1.top) layout.Memo1.bottom = layout.Memo1.top;
  if (BuildOutputShown() && buildOutput_->PaneVisible()) {
    const int height = buildOutput_->PaneHeight(layout.Memo1.Height());
    layout.Pane = Rect{client.left, layout.Memo1.bottom - height, client.right, layout.Memo1.bottom};
    layout.Memo1.bottom = layout.Pane.top;
  }
  layout.Bar1 = Rect{client.left, client.bottom - statusBarHeight, client.right, client.bottom};
  return layout;
}

}  // namespace vantorel
