// In-memory stand-ins for the editor's window, the main window and the message
// boxes: they keep what the core set and let a test read it back or script answers.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <atomic>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/MainWindowPort.h"
#include "platform/Dialogs.h"
#include "platform/Processes.h"
#include "platform/Shell.h"
#include "headless/RecordingSurface.h"
#include "platform/WindowHost.h"

namespace vantorel {

class TCustomEditorBase;

// A pop-up window in memory: where it was placed, whether it shows, its capture and
// timer; a test hands it input through client.
class HeadlessPopupWindow : public PopupWindow {
 public:
  explicit HeadlessPopupWindow(PopupClient& c) noexcept : client(c) {}
  void Place(const Rect& value) override { bounds = value; }
  void ShowWithoutActivating() override { visible = true; }
  void Hide() override { visible = false; }
  bool Visible() const override { return visible; }
  Rect ClientRect() const override { return Rect{0, 0, bounds.Width() - 2, bounds.Height() - 2}; }
  void InvalidateAll() override { ++invalidations; }
  void CaptureMouse() override { captured = true; }
  void ReleaseMouse() override { captured = false; }
  // Starting a timer, as the system's does, starts its wait anew.
  void StartTimer(int milliseconds) override {
    timer = milliseconds;
    ++timerStarts;
  }
  void StopTimer() override { timer = 0; }
  // Paints the whole window on canvas, as WM_PAINT would.
  void Paint() {
    canvas.Clear();
    client.PopupPaint(canvas, ClientRect());
  }

  PopupClient& client;
  Rect bounds{};
  bool visible = false;
  bool captured = false;
  int timer = 0;  // the running timer's period, 0 when stopped
  int timerStarts = 0;
  int invalidations = 0;
  RecordingSurface canvas;
};

// The editor's window in memory: a recording canvas, the region marked for
// repainting, the scroll bars' last values and the caret's state.
class HeadlessWindowHost : public WindowHost {
 public:
  bool HasWindow() const override { return hasWindow; }
  bool IsShowing() const override { return showing; }
  bool IsEnabled() const override { return enabled; }
  bool Focused() const override { return focused; }
  Rect ClientRect() const override { return client; }
  Surface* Canvas() override { return hasWindow ? &canvas : nullptr; }
  void InvalidateAll() override {
    ++invalidations;
    Invalidate(client);
  }
  void Invalidate(const Rect& rect) override;
  void ScrollPixels(int dx, int dy, const Rect& area, const Rect& clip) override {
    scrolls.push_back({dx, dy, area, clip});
    canvas.MovePixels(dx, dy, area, clip);
  }
  // Paints the marked region through the attached control, as WM_PAINT would.
  void UpdateNow() override;
  void RecreateWindow() override { ++recreations; }
  void SetReadOnlyStyle(bool value) override { readOnlyStyle = value; }
  void SetScrollBar(ScrollBarKind kind, int min, int max, int page, int position) override {
    bars[kind] = {min, max, page, position};
    ++barChanges;
  }
  int ScrollTrackPosition(ScrollBarKind kind) override { return trackPosition[kind]; }
  void CreateCaret(int width, int height) override {
    caretSize = {width, height};
    caretExists = true;
    caretHidden = 1;
  }
  void DestroyCaret() override { caretExists = false; }
  void ShowCaret() override {
    if (caretExists && caretHidden > 0) --caretHidden;
  }
  void HideCaret() override {
    if (caretExists) ++caretHidden;
  }
  void SetCaretPos(Point at) override { caretPos = at; }
  bool CaretVisible() const { return caretExists && caretHidden == 0; }
  Point MousePosition() const override { return mouse; }
  void TakeFocus() override { focused = true; }
  void CaptureMouse() override { captured = true; }
  void ReleaseMouse() override { captured = false; }
  void StartTimer(EditorTimer timer, int milliseconds) override { timers[timer] = milliseconds; }
  void StopTimer(EditorTimer timer) override { timers.erase(timer); }
  void Beep() override { ++beeps; }
  void PostCommand(int code) override { postedCommands.push_back(code); }
  void RefreshCursor() override { ++cursorRefreshes; }
  Point ClientOrigin() const override { return clientOrigin; }
  int WindowWidth() const override { return client.Width() + 2 * border.x; }
  Point ScreenSize() const override { return screen; }
  Point BorderSize() const override { return border; }
  std::unique_ptr<PopupWindow> CreatePopup(PopupClient& c) override {
    auto popup = std::make_unique<HeadlessPopupWindow>(c);
    popups.push_back(popup.get());
    return popup;
  }

  struct ScrollCall {
    int dx, dy;
    Rect area, clip;
  };
  struct BarState {
    int min = 0, max = 0, page = 0, position = 0;
    bool operator==(const BarState&) const = default;
  };

  bool hasWindow = true;
  bool showing = true;
  bool enabled = true;
  bool focused = false;
  Rect client{0, 0, 640, 480};
  RecordingSurface canvas;
  TCustomEditorBase* control = nullptr;  // painted by UpdateNow
  Rect invalid{};                              // empty when nothing is marked
  // With the canvas's raster: the marked pixels exactly, and a paint changes no other.
  std::vector<char> invalidPixels;
  int invalidations = 0;
  int recreations = 0;
  bool readOnlyStyle = false;
  std::vector<ScrollCall> scrolls;
  std::map<ScrollBarKind, BarState> bars;
  int barChanges = 0;  // calls that gave a bar its values
  std::map<ScrollBarKind, int> trackPosition;
  Point mouse{};
  bool captured = false;
  std::map<EditorTimer, int> timers;  // running timers and their periods
  int beeps = 0;
  std::vector<int> postedCommands;
  int cursorRefreshes = 0;
  Point caretSize;
  Point caretPos;
  bool caretExists = false;
  int caretHidden = 0;
  Point clientOrigin{100, 80};
  Point screen{1024, 768};
  Point border{1, 1};
  std::vector<HeadlessPopupWindow*> popups;  // made by CreatePopup, owned by the control
};

// The settings dialog's window in memory: its fields, the state of "Сохранить" and
// the modal result it was ended with.
class HeadlessSettingsWindow : public SettingsDialogWindow {
 public:
  explicit HeadlessSettingsWindow(Dialogs& dialogs);
  std::string FieldText(SettingField field) const override;
  void SetFieldText(SettingField field, const std::string& text) override { fields[field] = text; }
  void SetSaveEnabled(bool enabled) override { saveEnabled = enabled; }
  void FocusField(SettingField field) override { focused = field; }
  void EndModal(ModalResult r) override { result = r; }
  Dialogs& OwnedDialogs() override { return dialogs_; }
  // The user types into a field: the text changes and the change event fires.
  void Type(TFsetting& form, SettingField field, const std::string& text) {
    fields[field] = text;
    form.E_masm_pathChange();
  }

  std::map<SettingField, std::string> fields;
  bool saveEnabled = false;
  std::optional<SettingField> focused;
  ModalResult result = ModalResult::None;

 private:
  Dialogs& dialogs_;
};

class HeadlessMainWindow : public MainWindowPort {
 public:
  void WakeForIndex() override { ++indexWakes; }
  std::atomic<int> indexWakes{0};
  Rect Bounds() const override { return bounds; }
  void SetBounds(const Rect& b) override {
    bounds = b;
    boundsHistory.push_back(b);
  }
  Point ScreenSize() const override { return screen; }
  std::string PanelText(int index) const override;
  void SetPanelText(int index, const std::string& text) override { panels[index] = text; }
  void SetMenuCaption(MenuItemId item, const std::string& caption) override { captions[item] = caption; }
  void SetButtonLeft(std::string_view name, int left) override { buttonLeft[std::string(name)] = left; }
  std::string ProgramPath() const override { return programPath; }
  std::vector<std::string> CommandLineArgs() const override { return args; }
  void Close() override { ++closeRequests; }
  void Destroy() override { ++destroyed; }
  void FocusEditor() noexcept override { ++editorFocused; }
  // The character reaches the editor attached here, as WM_CHAR would bring it.
  void SendEditorChar(unsigned char code) override;
  void DropDownMenu(std::string_view buttonName, std::span<const MenuItem> items, int offsetX) override {
    droppedMenus.push_back({std::string(buttonName), items, offsetX});
  }
  void SetMenuItemShown(MenuItemId item, bool shown) override {
    if (shown) {
      hiddenItems.erase(item);
    } else {
      hiddenItems.insert(item);
    }
  }
  void SetMenuChecked(MenuItemId item, bool checked) override {
    if (checked) {
      checkedItems.insert(item);
    } else {
      checkedItems.erase(item);
    }
  }
  void SetToolPanelVisible(ToolPanel panel, bool visible) override { panelVisible[panel] = visible; }
  void SetMenuRadioChoice(MenuItemId first, MenuItemId last, MenuItemId chosen) override {
    radioChoices[{first, last}] = chosen;
  }
  void ShowFindDialog(const std::string& text) override {
    if (!findOpen) findText = text;
    findOpen = true;
    ++findShown;
  }
  void CloseFindDialog() override { findOpen = false; }
  // Shows the dialog's window: FormShow, then what the test does with it until it ends.
  ModalResult ShowSettingsDialog(TFsetting& form) override;

  Rect bounds{216, 122, 216 + 696, 122 + 405};
  std::vector<Rect> boundsHistory;
  Point screen{1024, 768};
  std::map<int, std::string> panels;
  std::map<MenuItemId, std::string> captions;
  std::map<std::string, int> buttonLeft;
  std::string programPath = "C:\\Tools\\vantorel.exe";
  std::vector<std::string> args;
  int closeRequests = 0;
  int destroyed = 0;
  int editorFocused = 0;
  TCustomEditorBase* editor = nullptr;
  std::string sentChars;
  struct DroppedMenu {
    std::string button;
    std::span<const MenuItem> items;
    int offsetX;
  };
  std::vector<DroppedMenu> droppedMenus;
  std::set<MenuItemId> checkedItems;
  std::set<MenuItemId> hiddenItems;  // taken out of their menus
  std::map<std::pair<MenuItemId, MenuItemId>, MenuItemId> radioChoices;  // by the group's first and last
  std::map<ToolPanel, bool> panelVisible;
  bool findOpen = false;
  std::string findText;  // what the find dialog showed when it opened
  int findShown = 0;
  // What the user does in the settings dialog; no script closes it with the close box.
  Dialogs* settingsDialogs = nullptr;  // the dialogs the settings dialog owns
  std::function<void(TFsetting&, HeadlessSettingsWindow&)> settingsScript;
  int settingsShown = 0;
};

struct ShownMessage {
  std::string text;
  std::string caption;
  MessageButtons buttons;
  MessageIcon icon;
};

class ScriptedDialogs : public Dialogs {
 public:
  // Answers the file dialogs with the scripted paths; nothing left means Cancel.
  std::optional<std::string> OpenFile(const FileDialogDesc& desc) override;
  std::optional<std::string> SaveFile(const FileDialogDesc& desc) override;
  // Answers with the scripted folders and fonts; nothing left means Cancel.
  std::optional<std::string> BrowseForFolder(const std::string& title) override;
  std::optional<FontDesc> PickFont(const FontDesc& initial) override;
  std::deque<std::optional<std::string>> files;
  std::deque<std::optional<std::string>> folders;
  std::vector<std::string> folderTitles;
  std::deque<std::optional<FontDesc>> fonts;
  std::vector<FontDesc> fontDialogs;  // the font each dialog started from
  std::vector<FileDialogDesc> fileDialogs;

  // Answers the next message box with the scripted result, or Ok / Yes when none is left.
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons,
                           MessageIcon icon) override;
  std::deque<MessageResult> answers;
  std::vector<ShownMessage> shown;
};

// Records the directory changes and the commands started instead of running them.
class RecordingProcesses : public Processes {
 public:
  bool ChangeDirectory(const std::string& dir) override {
    directories.push_back(dir);
    return !changeDirectoryFails;
  }
  bool StartCommand(const std::string& commandLine) override {
    commands.push_back(commandLine);
    return true;
  }
  void ProcessMessages() override { ++messagePumps; }
  std::vector<std::string> directories;
  bool changeDirectoryFails = false;
  std::vector<std::string> commands;
  int messagePumps = 0;
};

// Records the documents handed to the shell.
class RecordingShell : public Shell {
 public:
  void Open(const std::string& path) noexcept override { opened.push_back(path); }
  std::vector<std::string> opened;
};

}  // namespace vantorel
