#include "WineSession.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace vantorel::e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// --- processes ---

struct Redirect {
  fs::path out = "/dev/null";
  fs::path err = "/dev/null";
};

std::vector<char*> CStrings(const std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (const std::string& s : strings) out.push_back(const_cast<char*>(s.c_str()));
  out.push_back(nullptr);
  return out;
}

// Starts a program found on PATH (or by its path), its input from /dev/null and its
// output to files: Wine's background processes inherit the standard handles and a
// pipe would stay open as long as they live. `keepFd` stays open in the child.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const Redirect& redirect,
            const fs::path& cwd = {}, int keepFd = -1) {
  std::vector<char*> args = CStrings(argv);
  std::vector<char*> envp = CStrings(env);
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed: " + std::string(std::strerror(errno)));
  if (pid == 0) {
    // Nothing started here should outlive a test run that was killed.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    int in = open("/dev/null", O_RDONLY);
    int out = open(redirect.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(redirect.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    for (int fd = 3; fd < 1024; ++fd)
      if (fd != keepFd) close(fd);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    execvpe(args[0], args.data(), envp.data());
    _exit(127);
  }
  return pid;
}

// The exit code, or -1 when the process had to be killed after the time-out.
int WaitFor(pid_t pid, std::chrono::milliseconds timeout) {
  auto deadline = Clock::now() + timeout;
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (done < 0) return -1;
    if (Clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(5ms);
  }
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string TrimLineEnds(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

CommandResult Run(const std::vector<std::string>& argv, const std::vector<std::string>& env, const fs::path& outputs,
                  std::chrono::milliseconds timeout, const fs::path& cwd = {}) {
  Redirect redirect{outputs.string() + ".out", outputs.string() + ".err"};
  CommandResult result;
  result.exitCode = WaitFor(Spawn(argv, env, redirect, cwd), timeout);
  result.out = TrimLineEnds(ReadFile(redirect.out));
  result.err = TrimLineEnds(ReadFile(redirect.err));
  std::error_code ignored;
  fs::remove(redirect.out, ignored);
  fs::remove(redirect.err, ignored);
  return result;
}

// Wine's debug channels: none, unless VANTOREL_E2E_WINEDEBUG names some (such as
// "+timestamp,+relay", to see what a keystroke calls and when).
std::string DebugChannels() {
  const char* wanted = std::getenv("VANTOREL_E2E_WINEDEBUG");
  return wanted && *wanted ? wanted : "-all";
}

std::vector<std::string> EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& overrides) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const auto& [key, value] : overrides) replaced = replaced || key == name;
    if (!replaced) env.push_back(entry);
  }
  for (const auto& [key, value] : overrides) env.push_back(key + "=" + value);
  return env;
}

fs::path FindOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':'))
    if (!dir.empty() && access((fs::path(dir) / name).c_str(), X_OK) == 0) return fs::path(dir) / name;
  return {};
}

fs::path TempRoot() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp && *tmp ? fs::path(tmp) : fs::temp_directory_path();
}

// A session folder holds a prefix of several hundred megabytes; its name carries the
// test process's id so that a later run can remove those of a run that was killed.
constexpr char kSessionStem[] = "vantorel-e2e-session";

void RemoveFoldersOfEndedRuns() {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(TempRoot(), error)) {
    std::string name = entry.path().filename().string();
    std::string stem = std::string(kSessionStem) + "-";
    if (name.compare(0, stem.size(), stem) != 0) continue;
    pid_t owner = static_cast<pid_t>(std::atol(name.c_str() + stem.size()));
    if (owner > 0 && kill(owner, 0) != 0 && errno == ESRCH) fs::remove_all(entry.path(), error);
  }
}

fs::path MakeTempDir(const std::string& stem) {
  std::string pattern = (TempRoot() / (stem + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder in " + TempRoot().string());
  return pattern;
}

std::string PercentEncodeNonAscii(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 || c == '%') {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

// The Windows name of a Unix path: the default prefix maps drive Z: to "/".
std::string WindowsName(const fs::path& unixPath) {
  std::string name = "Z:" + fs::absolute(unixPath).string();
  for (char& c : name)
    if (c == '/') c = '\\';
  return name;
}

// --- the test run: one display, one pristine prefix ---

// Without a window manager nobody draws the windows' title bars; Wine draws them
// itself when told that the window manager does not decorate them. This goes into
// the cached prefix's name, so that a change here makes a new prefix.
constexpr char kPrefixRecipe[] = "undecorated";

class TestRun : public ::testing::Environment {
 public:
  static TestRun& Get() {
    if (!instance_) throw std::runtime_error("the end-to-end test environment is not registered");
    return *instance_;
  }

  TestRun() { instance_ = this; }

  void SetUp() override {
    wine64_ = FindWine64();
    ASSERT_FALSE(wine64_.empty()) << "wine64 is neither on the PATH nor in /usr/lib/wine (scripts/install-deps.sh)";
    wineserver_ = wine64_.parent_path() / "wineserver";
    if (access(wineserver_.c_str(), X_OK) != 0) wineserver_ = FindOnPath("wineserver");
    ASSERT_FALSE(wineserver_.empty()) << "no wineserver beside " << wine64_;
    for (const char* file :
         {"vantorel.exe", "tests/e2e/win32/vdriver.exe", "tests/e2e/win32/vprobe.dll"})
      ASSERT_TRUE(fs::exists(fs::path(VANTOREL_WINDOWS_BUILD_DIR) / file))
          << VANTOREL_WINDOWS_BUILD_DIR << "/" << file
          << " is missing: build the Windows preset first (cmake --preset windows && cmake --build build/windows)";
    RemoveFoldersOfEndedRuns();
    ASSERT_NO_FATAL_FAILURE(OpenDisplay());
    ASSERT_NO_FATAL_FAILURE(PreparePrefix());
  }

  void TearDown() override {
    if (xvfb_ > 0) {
      kill(xvfb_, SIGTERM);
      WaitFor(xvfb_, 5s);
      xvfb_ = -1;
    }
  }

  const fs::path& Wine64() const { return wine64_; }
  const fs::path& Wineserver() const { return wineserver_; }
  const fs::path& Pristine() const { return pristine_; }

  // Every Wine command runs with this: the Russian locale makes the ANSI code page
  // Windows-1251, and the overrides keep Wine from offering to install Mono and Gecko.
  std::vector<std::string> WineEnvironment(const fs::path& prefix) const {
    return EnvironmentWith({{"WINEPREFIX", prefix.string()},
                            {"DISPLAY", display_},
                            {"WINEDEBUG", DebugChannels()},
                            {"LC_ALL", "ru_RU.UTF-8"},
                            {"WINEDLLOVERRIDES", "mscoree,mshtml="}});
  }

 private:
  static fs::path FindWine64() {
    fs::path onPath = FindOnPath("wine64");
    if (!onPath.empty()) {
      std::error_code error;
      fs::path real = fs::canonical(onPath, error);
      // /usr/bin/wine64 may be a wrapper script; the real launcher sits beside wineserver.
      if (!error && access((real.parent_path() / "wineserver").c_str(), X_OK) == 0) return real;
    }
    if (access("/usr/lib/wine/wine64", X_OK) == 0) return "/usr/lib/wine/wine64";
    return onPath;
  }

  void OpenDisplay() {
    const char* wanted = std::getenv("VANTOREL_E2E_DISPLAY");
    const char* current = std::getenv("DISPLAY");
    if (wanted && *wanted) {
      // "1" runs on the display already set in DISPLAY, anything else names one.
      display_ = std::string(wanted) == "1" && current ? current : wanted;
      std::vector<std::string> env = EnvironmentWith({{"DISPLAY", display_}});
      fs::path scratch = MakeTempDir("vantorel-e2e-display");
      CommandResult probe = Run({"xdotool", "getdisplaygeometry"}, env, scratch / "probe", 10s);
      fs::remove_all(scratch);
      ASSERT_EQ(probe.exitCode, 0) << "display " << display_ << " is not usable: " << probe.err;
      return;
    }
    // Xvfb picks a free display number itself and writes it to the pipe once it
    // accepts connections.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   "-noreset"},
                  EnvironmentWith({}), Redirect{}, {}, fds[1]);
    close(fds[1]);
    std::string number;
    pollfd ready{fds[0], POLLIN, 0};
    auto deadline = Clock::now() + 15s;
    char c = 0;
    while (Clock::now() < deadline && poll(&ready, 1, 100) >= 0) {
      if (!(ready.revents & (POLLIN | POLLHUP))) continue;
      if (read(fds[0], &c, 1) != 1 || c == '\n') break;
      number += c;
    }
    close(fds[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start (is it installed? scripts/install-deps.sh)";
    display_ = ":" + number;
  }

  // Booting a prefix takes several seconds, so the booted prefix is kept under the
  // build tree and shared by the test processes ctest runs. Its name holds the Wine
  // version and a digest of how it was made, so that either change makes a new one.
  void PreparePrefix() {
    fs::path work = VANTOREL_E2E_WORK_DIR;
    fs::create_directories(work);
    CommandResult version = Run({wine64_.string(), "--version"}, EnvironmentWith({}), work / "wine-version", 30s);
    ASSERT_EQ(version.exitCode, 0) << version.err;
    fs::path script = fs::path(VANTOREL_SOURCE_DIR) / "scripts" / "wine-prefix.sh";
    std::string recipe = ReadFile(script) + kPrefixRecipe;
    std::string key = version.out + "-" + std::to_string(std::hash<std::string>{}(recipe) % 1000000007);
    for (char& c : key)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.') c = '-';
    pristine_ = work / ("prefix-" + key);

    int lock = open((work / "prefix.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(lock, 0);
    flock(lock, LOCK_EX);
    if (!fs::exists(pristine_ / "system.reg")) BuildPrefix(work, script);
    flock(lock, LOCK_UN);
    close(lock);
    ASSERT_TRUE(fs::exists(pristine_ / "system.reg")) << "no pristine Wine prefix at " << pristine_;
  }

  // The program's own prefix script (wineboot and the font replacements that give
  // the editor a monospaced font), then what only the tests need.
  void BuildPrefix(const fs::path& work, const fs::path& script) {
    fs::path building = work / "prefix-building";
    fs::remove_all(building);
    std::vector<std::string> env = WineEnvironment(building);
    CommandResult made = fs::exists(script)
                             ? Run({"bash", script.string(), building.string()}, env, work / "wine-prefix", 180s)
                             : Run({wine64_.string(), "wineboot", "-i"}, env, work / "wineboot", 180s);
    CommandResult undecorated = Run(
        {wine64_.string(), "reg", "add", R"(HKCU\Software\Wine\X11 Driver)", "/v", "Decorated", "/d", "N", "/f"}, env,
        work / "reg-add", 60s);
    CommandResult settled = Run({wineserver_.string(), "-w"}, env, work / "wineserver", 60s);
    if (made.exitCode != 0 || undecorated.exitCode != 0 || settled.exitCode != 0 ||
        !fs::exists(building / "system.reg")) {
      ADD_FAILURE() << "making the Wine prefix failed (" << made.exitCode << ", " << undecorated.exitCode
                    << "): " << made.err << undecorated.err;
      return;
    }
    fs::rename(building, pristine_);
    // Prefixes made for another Wine version or by an older recipe are not used again.
    for (const fs::directory_entry& entry : fs::directory_iterator(work)) {
      std::string name = entry.path().filename().string();
      if (entry.is_directory() && name.rfind("prefix-", 0) == 0 && entry.path() != pristine_)
        fs::remove_all(entry.path());
    }
  }

  static inline TestRun* instance_ = nullptr;
  std::string display_;
  fs::path wine64_, wineserver_, pristine_;
  pid_t xvfb_ = -1;
};

[[maybe_unused]] ::testing::Environment* const registered = ::testing::AddGlobalTestEnvironment(new TestRun);

constexpr auto kCommandTimeout = 30s;

}  // namespace

void PrintTo(const ScreenRect& rect, std::ostream* out) {
  *out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "} ("
       << rect.Width() << " x " << rect.Height() << ")";
}

// --- the session ---

WineSession::WineSession() {
  TestRun& run = TestRun::Get();
  dir_ = MakeTempDir(std::string(kSessionStem) + "-" + std::to_string(getpid()));
  prefix_ = dir_ / "prefix";
  try {
    CommandResult copy =
        Run({"cp", "-a", run.Pristine().string(), prefix_.string()}, EnvironmentWith({}), dir_ / "copy", 120s);
    if (copy.exitCode != 0) throw std::runtime_error("cannot copy the Wine prefix: " + copy.err);
    fs::create_directories(DriveC() / "Vantorel");
    fs::copy_file(fs::path(VANTOREL_WINDOWS_BUILD_DIR) / "vantorel.exe", DriveC() / "Vantorel" / "vantorel.exe");
  } catch (...) {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
    throw;
  }
  // This prefix's own server, started before any program so that none of the Wine
  // processes holds a test's output file as the server's. It lingers a minute at
  // most should the test run be killed before it could end the server.
  Run({run.Wineserver().string(), "-p60"}, Environment(), dir_ / "wineserver", kCommandTimeout);
}

WineSession::~WineSession() {
  Stop();
  TestRun& run = TestRun::Get();
  Run({run.Wineserver().string(), "-k"}, Environment(), dir_ / "wineserver-kill", kCommandTimeout);
  Run({run.Wineserver().string(), "-w"}, Environment(), dir_ / "wineserver-wait", kCommandTimeout);
  for (const pid_t pid : background_) WaitFor(pid, 5s);
  if (::testing::Test::HasFailure()) {
    std::string log = ProgramLog();
    if (!log.empty()) std::cerr << "vantorel.exe wrote:\n" << log.substr(0, 4000) << "\n";
  }
  const char* keep = std::getenv("VANTOREL_E2E_KEEP");
  if (keep && *keep) {
    std::cerr << "kept the session folder " << dir_ << "\n";
    return;
  }
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

std::vector<std::string> WineSession::Environment() const { return TestRun::Get().WineEnvironment(prefix_); }

CommandResult WineSession::Wine(const std::vector<std::string>& args, std::chrono::milliseconds timeout) {
  std::vector<std::string> argv{TestRun::Get().Wine64().string()};
  argv.insert(argv.end(), args.begin(), args.end());
  return Run(argv, Environment(), dir_ / ("command-" + std::to_string(++commands_)), timeout, DriveC());
}

std::string WineSession::PutFile(std::string_view windowsRelativePath, std::string_view bytes) {
  std::string relative(windowsRelativePath);
  std::string unixRelative = relative;
  for (char& c : unixRelative)
    if (c == '\\') c = '/';
  fs::path file = DriveC() / unixRelative;
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  for (char& c : relative)
    if (c == '/') c = '\\';
  return "C:\\" + relative;
}

::testing::AssertionResult WineSession::Launch(const std::vector<std::string>& args) {
  if (Running()) return ::testing::AssertionFailure() << "the program is already running";
  std::vector<std::string> argv{TestRun::Get().Wine64().string(), (DriveC() / "Vantorel" / "vantorel.exe").string()};
  argv.insert(argv.end(), args.begin(), args.end());
  program_ = Spawn(argv, Environment(), Redirect{dir_ / "program.out", dir_ / "program.err"}, DriveC());
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult WineSession::Start(const std::vector<std::string>& args) {
  if (auto launched = Launch(args); !launched) return launched;
  auto deadline = Clock::now() + 45s;
  while (Clock::now() < deadline) {
    if (!Running())
      return ::testing::AssertionFailure() << "vantorel.exe ended before its main window showed; it wrote:\n"
                                           << ProgramLog();
    CommandResult wait = Driver({"wait", "1000"});
    if (wait.exitCode == 0) return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "the main window did not show within 45 s; vantorel.exe wrote:\n"
                                       << ProgramLog();
}

bool WineSession::Running() {
  if (program_ <= 0) return false;
  int status = 0;
  if (waitpid(program_, &status, WNOHANG) == 0) return true;
  program_ = -1;
  return false;
}

bool WineSession::WaitForExit(std::chrono::milliseconds timeout) {
  return WaitUntil([this] { return !Running(); }, timeout, 50ms);
}

void WineSession::Stop() {
  if (!Running()) return;
  Run({TestRun::Get().Wineserver().string(), "-k"}, Environment(), dir_ / "stop", kCommandTimeout);
  WaitFor(program_, 10s);
  program_ = -1;
}

CommandResult WineSession::Driver(const std::vector<std::string>& args) {
  std::vector<std::string> argv{(fs::path(VANTOREL_WINDOWS_BUILD_DIR) / "tests/e2e/win32/vdriver.exe").string()};
  for (const std::string& arg : args) argv.push_back(PercentEncodeNonAscii(arg));
  CommandResult result = Wine(argv, kCommandTimeout);
  // The driver itself ends with 0, or with 2 and a message of its own. A 1 comes from
  // Wine starting it (seen now and then while the wine server is busy): the driver
  // never ran, nothing was sent yet, and one more start is safe.
  if (result.exitCode == 1 && result.out.empty() && result.err.find("vdriver:") == std::string::npos) {
    result = Wine(argv, kCommandTimeout);
  }
  return result;
}

::testing::AssertionResult WineSession::DriverInBackground(const std::vector<std::string>& args) {
  std::vector<std::string> argv{TestRun::Get().Wine64().string(),
                                (fs::path(VANTOREL_WINDOWS_BUILD_DIR) / "tests/e2e/win32/vdriver.exe").string()};
  for (const std::string& arg : args) argv.push_back(PercentEncodeNonAscii(arg));
  const fs::path out = dir_ / ("background-" + std::to_string(++commands_));
  const pid_t pid = Spawn(argv, Environment(), Redirect{out.string() + ".out", out.string() + ".err"}, DriveC());
  background_.push_back(pid);
  if (WaitUntil([&] { return ReadFile(out.string() + ".out").find('\n') != std::string::npos; }, 30s)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "vdriver did not answer; it wrote: " << ReadFile(out.string() + ".err");
}

std::string WineSession::Ask(const std::vector<std::string>& args) {
  CommandResult result = Driver(args);
  if (result.exitCode != 0) {
    std::string command;
    for (const std::string& arg : args) command += " " + arg;
    ADD_FAILURE() << "vdriver" << command << " failed (" << result.exitCode << "): " << result.err;
    return {};
  }
  return result.out;
}

std::optional<ScreenRect> WineSession::Rect(std::string_view what) {
  std::istringstream in(Ask({"rect", std::string(what)}));
  ScreenRect rect;
  if (!(in >> rect.left >> rect.top >> rect.right >> rect.bottom)) return std::nullopt;
  return rect;
}

std::string WineSession::Panel(int index) { return Ask({"panel", std::to_string(index)}); }

std::optional<EditorText> WineSession::ReadEditorText() {
  fs::path file = dir_ / "editor-text.bin";
  std::istringstream in(Ask({"editor-text", WindowsName(file)}));
  EditorText text;
  if (!(in >> text.count >> text.length)) return std::nullopt;
  text.bytes = ReadFile(file);
  return text;
}

CommandResult WineSession::Reg(const std::vector<std::string>& args) {
  std::vector<std::string> argv{"reg"};
  argv.insert(argv.end(), args.begin(), args.end());
  return Wine(argv, kCommandTimeout);
}

std::optional<RegistryValue> WineSession::RegQuery(std::string_view name) {
  CommandResult result = Reg({"query", std::string(kSettingsKey), "/v", std::string(name)});
  if (result.exitCode != 0) return std::nullopt;
  // reg.exe lists a value as four blanks, the name, four blanks, the type, four
  // blanks and the data.
  const std::string gap = "    ";
  const std::string head = gap + std::string(name) + gap;
  std::istringstream lines(result.out);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, head.size(), head) != 0) continue;
    std::string rest = line.substr(head.size());
    std::size_t end = rest.find(gap);
    if (end == std::string::npos) return RegistryValue{rest, ""};
    return RegistryValue{rest.substr(0, end), rest.substr(end + gap.size())};
  }
  return std::nullopt;
}

std::optional<std::uint32_t> WineSession::RegDword(std::string_view name) {
  std::optional<RegistryValue> value = RegQuery(name);
  if (!value || value->type != "REG_DWORD") return std::nullopt;
  return static_cast<std::uint32_t>(std::stoul(value->data, nullptr, 0));
}

bool WineSession::RegAddDword(std::string_view name, std::uint32_t value) {
  return Reg({"add", std::string(kSettingsKey), "/v", std::string(name), "/t", "REG_DWORD", "/d",
              std::to_string(value), "/f"})
             .exitCode == 0;
}

bool WineSession::RegAddString(std::string_view name, std::string_view value) {
  return Reg({"add", std::string(kSettingsKey), "/v", std::string(name), "/t", "REG_SZ", "/d", std::string(value),
              "/f"})
             .exitCode == 0;
}

CommandResult WineSession::Xdotool(const std::vector<std::string>& args) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  return Run(argv, Environment(), dir_ / ("xdotool-" + std::to_string(++commands_)), kCommandTimeout);
}

bool WineSession::FocusMainWindow() {
  std::string xid = Ask({"xid"});
  return !xid.empty() && Xdotool({"windowfocus", "--sync", xid}).exitCode == 0;
}

bool WineSession::Screenshot(const fs::path& file, std::optional<ScreenRect> part) {
  fs::create_directories(file.parent_path());
  std::vector<std::string> argv{"import", "-window", "root"};
  if (part) {
    argv.push_back("-crop");
    argv.push_back(std::to_string(part->Width()) + "x" + std::to_string(part->Height()) + "+" +
                   std::to_string(part->left) + "+" + std::to_string(part->top));
    argv.push_back("+repage");
  }
  argv.push_back(file.string());
  return Run(argv, Environment(), dir_ / "import", kCommandTimeout).exitCode == 0;
}

bool WineSession::WaitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout,
                            std::chrono::milliseconds interval) {
  auto deadline = Clock::now() + timeout;
  for (;;) {
    if (predicate()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(interval);
  }
}

std::string WineSession::ProgramLog() const {
  return ReadFile(dir_ / "program.out") + ReadFile(dir_ / "program.err");
}

fs::path WineSession::ArtifactsDir() { return VANTOREL_E2E_ARTIFACTS_DIR; }

}  // namespace vantorel::e2e
