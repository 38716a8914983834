#include "app/BuildOutput.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/Errors.h"

namespace vantorel {

namespace {

// The tools write ASCII keywords and numbers; the bytes of a path in the ANSI or OEM
// page are never taken for them, whatever the system's locale says.
constexpr bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }
constexpr bool IsAlpha(char c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }
constexpr char Lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view TrimLeft(std::string_view s) noexcept {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view Trim(std::string_view s) noexcept {
  s = TrimLeft(s);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) noexcept {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (Lower(s[i]) != prefix[i]) return false;
  return true;
}

// "fatal error CODE:", "error CODE:" or "warning CODE:" (blanks allowed before the
// colon, any case, as the compatible assemblers write "Error"), CODE being letters
// and digits such as A2008, LNK2001, RC2104.
std::optional<PaneLineKind> Severity(std::string_view s) noexcept {
  PaneLineKind kind = PaneLineKind::Error;
  if (StartsWithNoCase(s, "fatal error ")) {
    s.remove_prefix(12);
  } else if (StartsWithNoCase(s, "error ")) {
    s.remove_prefix(6);
  } else if (StartsWithNoCase(s, "warning ")) {
    s.remove_prefix(8);
    kind = PaneLineKind::Warning;
  } else {
    return std::nullopt;
  }
  std::size_t i = 0;
  while (i < s.size() && IsAlpha(s[i])) ++i;
  if (i == 0 || i > 6) return std::nullopt;
  const std::size_t letters = i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  if (i == letters) return std::nullopt;
  while (i < s.size() && IsBlank(s[i])) ++i;
  if (i == s.size() || s[i] != ':') return std::nullopt;
  return kind;
}

// "file(12)", "file (12)" (the resource compiler) or "file(12,5)"; anything else
// names a file (or a tool, "LINK") without a line.
void ReadOrigin(std::string_view origin, ToolMessage& m) noexcept {
  origin = Trim(origin);
  m.file = origin;
  if (origin.size() < 3 || origin.back() != ')') return;
  const std::size_t open = origin.rfind('(');
  if (open == std::string_view::npos || open == 0) return;
  const std::string_view inside = origin.substr(open + 1, origin.size() - open - 2);
  std::size_t i = 0;
  long long number = 0;
  while (i < inside.size() && IsDigit(inside[i])) {
    // A line beyond any text still names the last line; it must not overflow.
    number = std::min<long long>(number * 10 + (inside[i] - '0'), 1'000'000'000);
    ++i;
  }
  if (i == 0) return;
  if (i < inside.size()) {
    if (inside[i] != ',') return;
    for (++i; i < inside.size(); ++i)
      if (!IsDigit(inside[i])) return;
  }
  const std::string_view file = Trim(origin.substr(0, open));
  if (file.empty()) return;
  m.file = file;
  m.line = static_cast<int>(number);
}

}  // namespace

ToolMessage ParseToolMessage(std::string_view line) {
  ToolMessage m;
  const std::string_view s = TrimLeft(line);
  if (const auto kind = Severity(s)) {
    m.kind = *kind;
    return m;
  }
  // The origin ends at the colon before the severity; a drive letter's colon is not
  // followed by one, so a path with a drive passes.
  for (std::size_t colon = s.find(':'); colon != std::string_view::npos; colon = s.find(':', colon + 1)) {
    if (const auto kind = Severity(TrimLeft(s.substr(colon + 1)))) {
      m.kind = *kind;
      ReadOrigin(s.substr(0, colon), m);
      return m;
    }
  }
  // A line that names a position without being an error ("x.asm(12): Main Line Code"
  // after an error inside a macro) still takes the user there.
  for (std::size_t colon = s.find(':'); colon != std::string_view::npos; colon = s.find(':', colon + 1)) {
    const std::string_view origin = Trim(s.substr(0, colon));
    if (origin.empty() || origin.back() != ')') continue;
    ToolMessage candidate;
    ReadOrigin(origin, candidate);
    if (candidate.HasPosition()) return candidate;
  }
  return ToolMessage{};
}

// --- lines ---

void TLineSplitter::Emit(std::vector<std::string>& out) {
  while (!pending_.empty() && pending_.back() == '\r') pending_.pop_back();
  out.push_back(std::move(pending_));
  pending_.clear();
}

void TLineSplitter::Feed(std::string_view bytes, std::vector<std::string>& out) {
  while (!bytes.empty()) {
    const std::size_t room = kMaxLineBytes - pending_.size();
    const std::size_t end = bytes.substr(0, room).find('\n');
    if (end != std::string_view::npos) {
      pending_.append(bytes.substr(0, end));
      bytes.remove_prefix(end + 1);
      Emit(out);
      continue;
    }
    const std::size_t take = std::min(room, bytes.size());
    pending_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (pending_.size() == kMaxLineBytes) Emit(out);
  }
}

void TLineSplitter::Finish(std::vector<std::string>& out) {
  if (!pending_.empty()) Emit(out);
}

namespace {
constexpr int kVkF4 = 0x73;
constexpr Accelerator kBuildOutputKeys[] = {
    {kVkF4, ShiftState{}, Handler::NextBuildMessage},
    {kVkF4, ShiftState{true}, Handler::PreviousBuildMessage},
};
}  // namespace

std::span<const Accelerator> BuildOutputKeys() { return kBuildOutputKeys; }

// --- the build ---

TBuildOutput::TBuildOutput(MainWindowPort& window, THLEditor& memo, FileSystem& fs, CodePages& codePages,
                           CapturedProcesses& capture, PaneWindow& pane, std::int32_t& storedHeight,
                           std::function<void()> caretMoved)
    : window_(window),
      memo_(memo),
      fs_(fs),
      codePages_(codePages),
      capture_(capture),
      paneWindow_(pane),
      storedHeight_(storedHeight),
      caretMoved_(std::move(caretMoved)),
      pane_(pane, lines_, codePages, *this) {
  pane_.SetFont(memo_.Font());
}

TBuildOutput::~TBuildOutput() { Stop(); }

void TBuildOutput::Stop() noexcept {
  capture_.EndCaptured();
  running_ = false;
}

void TBuildOutput::StopByUser() {
  if (!running_) {
    paneWindow_.Beep();
    return;
  }
  capture_.EndCaptured();
  running_ = false;
  pane_.LinesChanged(AddNote(std::string(kBuildStopped)));
  window_.SetPanelText(panel::Build, std::string(kBuildStopped));
}

void TBuildOutput::ShowPane(bool visible) {
  if (visible == paneVisible_) return;
  paneVisible_ = visible;
  window_.SetToolPanelVisible(ToolPanel::BuildOutput, visible);
  if (!visible) window_.FocusEditor();
}

int TBuildOutput::PaneHeight(int space) {
  space_ = space;
  return HeightFor(storedHeight_);
}

int TBuildOutput::HeightFor(int wanted) const {
  return PaneHeightFor(wanted, pane_.LineHeight(), pane_.FrameHeight(), space_);
}

void TBuildOutput::PaneClosed() { ShowPane(false); }

void TBuildOutput::PaneDragged(int height) {
  const int kept = HeightFor(std::max(height, 1));
  if (kept == storedHeight_) return;
  storedHeight_ = kept;
  // Shown again, the pane takes its new height in the window's layout.
  if (paneVisible_) window_.SetToolPanelVisible(ToolPanel::BuildOutput, true);
}

void TBuildOutput::FontChanged() {
  pane_.SetFont(memo_.Font());
  // Shown again, the pane takes the height of its new lines in the window's layout.
  if (paneVisible_) window_.SetToolPanelVisible(ToolPanel::BuildOutput, true);
}

int TBuildOutput::AddNote(std::string text) {
  OutputLine line;
  line.text = std::move(text);
  line.utf8 = true;
  return lines_.Add(std::move(line));
}

void TBuildOutput::Refuse() {
  paneWindow_.Beep();
  pane_.LinesChanged(AddNote(std::string(kBuildBusy)));
  ShowPane(true);
}

void TBuildOutput::Start(const std::string& commandLine, const std::string& folder) {
  folder_ = folder;
  existing_.clear();
  lines_.Clear();
  AddNote(commandLine);
  pane_.LinesChanged(0);
  ShowPane(true);
  // Set first: a command may end before the start returns.
  running_ = true;
  window_.SetPanelText(panel::Build, std::string(kBuildRunning));
  if (const std::optional<std::string> failure = capture_.StartCaptured(commandLine, *this)) {
    running_ = false;
    pane_.LinesChanged(AddNote(FormatText(kCannotStartBuild, {*failure})));
    window_.SetPanelText(panel::Build, std::string(kBuildNotStarted));
  }
}

void TBuildOutput::CapturedLines(std::vector<std::string>& lines) {
  int dropped = 0;
  for (std::string& raw : lines) dropped += lines_.Add(ReadToolLine(std::move(raw)));
  pane_.LinesChanged(dropped);
}

// The command interpreter writes in the OEM page, but the assembler and the linker
// print the file names they were given, which are in the ANSI page. A line naming a
// file is therefore read both ways: the ANSI reading is taken when its file exists,
// else the OEM one.
OutputLine TBuildOutput::ReadToolLine(std::string raw) {
  OutputLine line;
  line.text = codePages_.DosToWin(raw);
  const ToolMessage oem = ParseToolMessage(line.text);
  line.kind = oem.kind;
  line.line = oem.line;
  if (!oem.HasPosition()) return line;
  line.path = FullPath(oem.file);
  // A name in ASCII reads the same both ways; most lines are ASCII throughout and are
  // not parsed again.
  const auto ascii = [](std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  };
  if (ascii(raw)) return line;
  const ToolMessage ansi = ParseToolMessage(raw);
  if (!ansi.HasPosition() || ascii(ansi.file)) return line;
  std::string path = FullPath(ansi.file);
  if (!FileExists(path)) return line;
  line.kind = ansi.kind;
  line.line = ansi.line;
  line.path = std::move(path);
  line.text = std::move(raw);
  return line;
}

std::string TBuildOutput::FullPath(std::string_view ansiName) const {
  return ResolveToolPath(codePages_.Utf8FromAnsi(ansiName), folder_);
}

bool TBuildOutput::FileExists(const std::string& path) {
  const auto known = existing_.find(path);
  if (known != existing_.end()) return known->second;
  const bool exists = fs_.FileExists(path);
  existing_.emplace(path, exists);
  return exists;
}

void TBuildOutput::CaptureEnded(int exitCode) {
  running_ = false;
  window_.SetPanelText(panel::Build, FormatText(exitCode == 0 ? kBuildSucceeded : kBuildFailed,
                                                {std::to_string(exitCode)}));
}

bool TBuildOutput::IsOpenFile(const std::string& path) {
  const std::string current = window_.PanelText(panel::File);
  return !current.empty() && SamePath(ResolveToolPath(current, ""), path, codePages_);
}

void TBuildOutput::LineOpened(int index) {
  if (index < 0 || index >= lines_.Count()) return;
  lines_.Select(index);
  const OutputLine& line = lines_[index];
  if (!line.HasPosition()) return;
  if (!IsOpenFile(line.path)) {
    window_.SetPanelText(panel::Build, FormatText(kOtherFile, {line.path}));
    return;
  }
  const int last = std::max(0, memo_.Lines().Count() - 1);
  const int y = std::clamp(line.line - 1, 0, last);
  memo_.SetSelStart(memo_.PositionToOffset(0, y));
  memo_.EnsureLineVisible(y);
  window_.FocusEditor();
  if (caretMoved_) caretMoved_();
}

void TBuildOutput::Step(bool forward) {
  const int next = lines_.NextMessage(forward);
  if (next < 0) {
    paneWindow_.Beep();
    return;
  }
  lines_.Select(next);
  pane_.ShowSelection();
  LineOpened(next);
}

}  // namespace vantorel
