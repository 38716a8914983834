// The main window's behaviour: start-up, placement and settings, the resize rule,
// the status bar panels it owns, the scroll-bar toggle and the dispatch of every
// menu item and button to its handler.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/BuildOutput.h"
#include "app/CodeHints.h"
#include "app/MainLayout.h"
#include "app/MainWindowPort.h"
#include "app/Settings.h"
#include "highlight/HLEditor.h"
#include "platform/CodePages.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/Shell.h"

namespace vantorel {

struct MenuItemState {
  std::string Caption;
  std::string Hint;
};

// Where the tool bar and the editor go in the window's client area.
struct ClientLayout {
  Rect Pbutton;
  Rect Memo1;
  Rect Pane;  // the build output, empty while it is hidden
  Rect Bar1;
};

class TFmain {
 public:
  TFmain(MainWindowPort& window, THLEditor& memo, RegistryPort& registry, FileSystem& fs, Dialogs& dialogs,
         Processes& processes, CodePages& codePages, Shell& shell);
  ~TFmain();
  TFmain(const TFmain&) = delete;
  TFmain& operator=(const TFmain&) = delete;

  // --- window events ---
  void FormCreate();
  void FormShow();
  void FormResize();
  // The window was sized. Minimised, it keeps the bounds it comes back to, and nothing
  // is fitted to the icon's size.
  void WindowSized(bool minimised) {
    if (!minimised) FormResize();
  }
  // True when the window may close.
  bool FormCloseQuery();
  void FormClose();
  // A request to close the window (its close box, the menu, the system): the close
  // question, then the settings are saved and the window is destroyed. A failure of
  // the save is reported and the window still goes.
  void CloseRequested();
  // The session is about to end: true when it may, after the same question.
  bool QueryEndSession();
  // The session ends (ending) or goes on because some program refused. When it ends
  // the settings are saved; the window goes with the process.
  void EndSession(bool ending);
  void Memo1KeyUp();
  void Memo1MouseUp();
  void Memo1Change();
  // The window came to the front.
  void FormActivate();
  // The index read the includes anew (woken by WakeForIndex): problems not told before
  // go to the status bar.
  void IndexReady();

  // Runs the handler of a menu item or button; sender is the item's or button's name,
  // which the palette and Events handlers build their text from.
  void Run(Handler handler, std::string_view sender = {});
  // A button of the tool bar or the palette: its handler, then the keyboard focus goes
  // back to the editor (also when the handler fails), so typing goes on there.
  void ButtonClick(Handler handler, std::string_view sender = {});
  // Types text into the editor one character message at a time, as a user would.
  void TypeText(std::string_view text);
  void BeditClick(std::string_view sender);
  void BeventsClick();
  void _MOUSEWHEELClick(std::string_view sender);
  void BV1Click();
  void N_newClick();
  void N_openClick();
  void N_saveClick();
  void N_save_asClick();
  void Last1Click();
  void N_closeClick();
  void N_compileClick();
  void N_runClick();
  // Shows the settings dialog modally; "Сохранить" changes Settings.
  void N_setupClick();
  void N8Click();
  // The find dialog's find-next: from the start of the caret's line down to the end,
  // ignoring case; the first match gets the caret and closes the dialog.
  void Find1Find();
  void WinDos1Click();
  void DosWin1Click();
  // The View menu opens: its check marks show which panels are visible.
  void N4Click();
  void _NtoolsClick();
  void _NcompClick();
  void _NfontClick();
  void N6Click();
  // The build output option: the pane shows while it is on, and the build command
  // then captures its output there.
  void N_buildOutputClick();
  void ShowBuildOutputOption();
  // The code hints option: on, Ctrl+Space lists the names the index knows for the
  // place of the caret; off, completion is the configured one (nothing here).
  void N_codeHintsClick();
  TCodeHints* CodeHints() noexcept { return codeHints_.get(); }
  // The colouring rules, a radio item per language of the table (row): the editor
  // recolours at once, and the choice is stored at close and applied at the next start.
  void N_hlClick(std::size_t row);

  // Gives the build command its capture and its pane; without them the option is kept
  // but the build starts on its own as before.
  void AttachBuildOutput(CapturedProcesses& capture, PaneWindow& pane);
  TBuildOutput* BuildOutput() noexcept { return buildOutput_.get(); }
  bool BuildOutputShown() const noexcept { return buildOutput_ && Settings.BUILD_OUTPUT; }
  // The tables of keys the window turns into commands before the focused control sees
  // them: the menu's shortcuts, and those with the build output's F4 and Shift+F4.
  static std::span<const std::vector<Accelerator>> ShortcutTables();
  // The table that holds now: the build output's keys only while it shows, so that
  // otherwise F4 reaches the editor.
  std::size_t ShortcutTable() const noexcept { return BuildOutputShown() ? 1 : 0; }

  // The build output pane, while it shows, takes the bottom of the space between the
  // tool bar and the status bar, as high as the build output's rules give.
  ClientLayout Layout(const Rect& client, int statusBarHeight) const;

  THLEditor& Memo1;
  TSettings Settings;
  std::string ProgramDir;
  MenuItemState Last1;
  FileDialogDesc Open1;
  FileDialogDesc Save1;
  struct FindDialogState {
    std::string Text = "Найти текст";  // UTF-8, as the dialog shows it
  } Find1;
  // The font dialog's own font: where it starts, and the last one confirmed.
  FontDesc Font1{"MS Sans Serif", -11, FontStyle::None, clWindowText, kDefaultCharset};
  bool PbuttonVisible = true;
  bool PtoolsVisible = true;  // its own flag, also while the tool bar around it is hidden

 private:
  void ShowCaretPosition();
  // Gives the editor the rules Settings.HIGHLIGHTER names and marks its menu item.
  void ApplyHighlighter();
  // Gives the editor's completion the index's names while the option is on.
  void ApplyCodeHints();
  bool Ask(std::string_view question, MessageIcon icon);
  void LoadFile(const std::string& path);
  // Another text or another path: the index reads the includes it names from there.
  void SourceChanged();
  // Saves and starts the build or run command with the source's path; with capture,
  // the command's output goes to the build output pane.
  void StartWithSource(const std::string& command, std::string_view status, TBuildOutput* capture = nullptr);
  void SaveOnClose();
  // Replaces every non-empty line by its conversion through the line list, so neither
  // the change event nor undo sees it.

  MainWindowPort& window_;
  RegistryPort& registry_;
  FileSystem& fs_;
  Dialogs& dialogs_;
  Processes& processes_;
  CodePages& codePages_;
  Shell& shell_;
  bool settingsSaved_ = false;  // at the end of the session; a later close only destroys
  std::unique_ptr<TBuildOutput> buildOutput_;
  std::unique_ptr<TCodeHints> codeHints_;  // while the code hints option is on
};

// The new project's skeleton in place of the editor's text, through the line list (no
// change event: the skeleton counts as unchanged).
void PutNewProject(TCustomEditor& memo);

// Every line of the text through a code page conversion, as line-list operations (no
// change event, no undo); the change is still reported, so per-line state such as the
// highlighter's follows the new bytes.
void ConvertEditorLines(TCustomEditor& memo, CodePages& codePages,
                        std::string (CodePages::*convert)(std::string_view));

// The directory part of a path with its trailing separator ("" when it has none).
std::string ExtractFileDir(const std::string& path);

// The path without the extension of its file name; a "." in a folder name stays.
std::string PathWithoutExtension(const std::string& path);

// The help file below the program's folder (ProgramDir ends in a separator already).
inline constexpr std::string_view kHelpFile = "\\Help\\mapi.hlp";
inline constexpr std::string_view kAttention = "Внимание";
inline constexpr std::string_view kNewQuestion = "Код программы не сохранен, вы уверены?";
inline constexpr std::string_view kOpenLastQuestion = "Изменения не сохранены!!! Продолжить?";
inline constexpr std::string_view kCloseQuestion = "Внимание, проект был изменен, выйти без сохранения?";
inline constexpr std::string_view kSaveFirst = "Необходимо сначала сохранить проект";
inline constexpr std::string_view kCompileStatus = "compile file...";
inline constexpr std::string_view kRunStatus = "Run file...";
// The source's folder cannot be the current one (Windows refuses folders of MAX_PATH
// characters or more there), so the command would run in the wrong folder.
inline constexpr std::string_view kCannotEnterFolder =
    "Не удалось сделать текущей папку \"%s\". Сборка и запуск из неё невозможны.";

}  // namespace vantorel
