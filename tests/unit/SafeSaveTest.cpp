// The save over a file system in memory whose primitives fail on demand: after every
// failure, alone or followed by a second one, the target holds the old or the new
// text, or the new text is in a temporary file the message names.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include "TempFolder.h"
#include "headless/PosixFileSystem.h"
#include "platform/Errors.h"

namespace vantorel {
namespace {

enum class Step { CreateNew, WriteTemp, FlushTemp, Replace, Move, Remove, OpenInPlace, WriteInPlace, FlushInPlace };
constexpr Step kSteps[] = {Step::CreateNew, Step::WriteTemp,   Step::FlushTemp,    Step::Replace,     Step::Move,
                           Step::Remove,    Step::OpenInPlace, Step::WriteInPlace, Step::FlushInPlace};
constexpr FileFault kFaults[] = {FileFault::AccessDenied,           FileFault::SharingViolation, FileFault::NotFound,
                                 FileFault::AlreadyExists, FileFault::UnableToMoveReplacement, FileFault::Other};

std::string ReasonFor(Step step) { return "reason" + std::to_string(static_cast<int>(step)) + "."; }

class MemoryFileSystem : public FileSystem {
 public:
  std::map<std::string, std::string> files;
  std::map<Step, FileFault> failures;  // each fails once, at its first call
  std::vector<std::string> created;    // the names CreateNew was asked for
  std::set<Step> fired;                // the failures that happened
  int calls(Step step) const { return counts_.count(step) ? counts_.at(step) : 0; }

  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  FileBytes ReadInPieces(const std::string& path, const ReadObserver& observer) override {
    return FileBytes::CopyOf(files.at(path), observer);
  }
  std::optional<FileStamp> Stamp(const std::string& path) override {
    if (!files.count(path)) return std::nullopt;
    return FileStamp{files.at(path).size(), 0};
  }
  std::string FullPath(const std::string& path) override {
    return path.rfind("C:\\", 0) == 0 ? path : "C:\\cwd\\" + path;
  }

  OpenedFile CreateNew(const std::string& path) override {
    created.push_back(path);
    if (auto fault = Fails(Step::CreateNew)) return {*fault, nullptr};
    if (files.count(path)) return {{FileFault::AlreadyExists, "taken."}, nullptr};
    files[path];
    return {{}, std::make_unique<File>(*this, path, Step::WriteTemp, Step::FlushTemp)};
  }
  OpenedFile OpenExistingTruncated(const std::string& path) override {
    if (auto fault = Fails(Step::OpenInPlace)) return {*fault, nullptr};
    if (!files.count(path)) return {{FileFault::NotFound, "none."}, nullptr};
    files[path].clear();
    return {{}, std::make_unique<File>(*this, path, Step::WriteInPlace, Step::FlushInPlace)};
  }
  FileStatus Replace(const std::string& target, const std::string& replacement) override {
    if (auto fault = Fails(Step::Replace)) {
      // Windows has then removed the old file, or renamed it to a name it does not give.
      if (fault->fault == FileFault::UnableToMoveReplacement) files.erase(target);
      return *fault;
    }
    if (!files.count(target) || !files.count(replacement)) return {FileFault::NotFound, "none."};
    files[target] = files[replacement];
    files.erase(replacement);
    return {};
  }
  FileStatus Move(const std::string& from, const std::string& to) override {
    if (auto fault = Fails(Step::Move)) return *fault;
    if (files.count(to)) return {FileFault::AlreadyExists, "taken."};
    if (!files.count(from)) return {FileFault::NotFound, "none."};
    files[to] = files[from];
    files.erase(from);
    return {};
  }
  FileStatus Remove(const std::string& path) override {
    if (auto fault = Fails(Step::Remove)) return *fault;
    return files.erase(path) ? FileStatus{} : FileStatus{FileFault::NotFound, "none."};
  }

 private:
  class File : public WritableFile {
   public:
    File(MemoryFileSystem& fs, std::string path, Step write, Step flush)
        : fs_(fs), path_(std::move(path)), write_(write), flush_(flush) {}
    FileStatus Write(std::string_view bytes) override {
      if (auto fault = fs_.Fails(write_)) {
        fs_.files[path_] += bytes.substr(0, bytes.size() / 2);  // a disk that filled up half-way
        return *fault;
      }
      fs_.files[path_] += bytes;
      return {};
    }
    FileStatus FlushAndClose() override {
      if (auto fault = fs_.Fails(flush_)) return *fault;
      return {};
    }

   private:
    MemoryFileSystem& fs_;
    std::string path_;
    Step write_, flush_;
  };

  std::optional<FileStatus> Fails(Step step) {
    ++counts_[step];
    const auto it = failures.find(step);
    if (it == failures.end()) return std::nullopt;
    const FileStatus status{it->second, ReasonFor(step)};
    failures.erase(it);
    fired.insert(step);
    return status;
  }
  std::map<Step, int> counts_;
};

const std::string kTarget = "C:\\work\\a.asm";
const std::string kOld = "old text\r\n";
const std::string kNew = std::string(64, 'n') + "\r\n";

// Saves and checks the promise: the target holds the old or the new text, or the new
// text is in the one temporary file named by the message. Returns the message ("" on
// success).
std::string SaveAndCheck(MemoryFileSystem& fs, bool existed, const std::string& context) {
  std::string message;
  try {
    fs.WriteFile(kTarget, kNew);
  } catch (const EFileError& e) {
    message = e.what();
  }
  std::set<std::string> temps;
  for (const auto& [name, bytes] : fs.files) {
    if (name != kTarget) temps.insert(name);
  }
  const auto target = fs.files.find(kTarget);
  const bool targetNew = target != fs.files.end() && target->second == kNew;
  const bool targetOld = existed ? target != fs.files.end() && target->second == kOld : target == fs.files.end();
  const std::string kept = "The new text is in \"";
  if (message.empty()) {
    EXPECT_TRUE(targetNew) << context;
    // A copy is left only when removing it was what failed.
    EXPECT_TRUE(temps.empty() || fs.fired.count(Step::Remove)) << context;
    return message;
  }
  EXPECT_EQ(message.rfind("Cannot create file \"" + kTarget + "\". ", 0), 0u) << context << ": " << message;
  const std::size_t at = message.find(kept);
  if (at == std::string::npos) {
    // Nothing kept: the old file is as it was (a failed direct in-place write is the
    // one exception, when not even a temporary file could be made).
    const bool directInPlace =
        fs.fired.count(Step::CreateNew) && fs.created.size() == 1 && fs.calls(Step::OpenInPlace) > 0;
    EXPECT_TRUE(targetOld || directInPlace) << context << ": " << message;
    // A temporary file may stay only when removing it failed.
    EXPECT_TRUE(temps.empty() || fs.fired.count(Step::Remove)) << context << ": " << message;
  } else {
    const std::string temp = message.substr(at + kept.size(), message.size() - at - kept.size() - 2);
    EXPECT_EQ(message.substr(message.size() - 2), "\".") << context;
    EXPECT_TRUE(fs.files.count(temp) && fs.files[temp] == kNew) << context << ": " << message;
    EXPECT_EQ(temps, std::set<std::string>{temp}) << context;
  }
  return message;
}

std::string Describe(Step step, FileFault fault) {
  return "step " + std::to_string(static_cast<int>(step)) + " fault " + std::to_string(static_cast<int>(fault));
}

TEST(SafeSave, EveryFailureAloneOrFollowedByAnotherKeepsOneCompleteText) {
  for (const bool existed : {true, false}) {
    for (const Step first : kSteps) {
      for (const FileFault firstFault : kFaults) {
        for (int second = -1; second < static_cast<int>(std::size(kSteps)); ++second) {
          for (const FileFault secondFault : kFaults) {
            if (second >= 0 && kSteps[second] == first) continue;
            MemoryFileSystem fs;
            if (existed) fs.files[kTarget] = kOld;
            fs.failures[first] = firstFault;
            std::string context = (existed ? "existing, " : "new, ") + Describe(first, firstFault);
            if (second >= 0) {
              fs.failures[kSteps[second]] = secondFault;
              context += ", then " + Describe(kSteps[second], secondFault);
            }
            SaveAndCheck(fs, existed, context);
            if (second < 0) break;  // one pass of the inner loop is enough without a second failure
          }
        }
      }
    }
  }
}

TEST(SafeSave, ASaveWithoutFailuresGoesThroughATemporaryFileBesideTheTarget) {
  MemoryFileSystem fs;
  fs.files[kTarget] = kOld;
  fs.WriteFile(kTarget, kNew);
  EXPECT_EQ(fs.files, (std::map<std::string, std::string>{{kTarget, kNew}}));
  ASSERT_EQ(fs.created.size(), 1u);
  EXPECT_EQ(fs.created[0].rfind("C:\\work\\vnt", 0), 0u) << fs.created[0];
  EXPECT_EQ(fs.calls(Step::Replace), 1);
  fs.WriteFile("C:\\work\\b.asm", "");  // a new file is moved into place
  EXPECT_EQ(fs.calls(Step::Move), 1);
  EXPECT_EQ(fs.files.size(), 2u);
}

// Where each fallback ends: the files left (TEMP stands for the temporary file) and
// the message, whose reason is that of the step named.
TEST(SafeSave, EachFallbackEndsWithTheFilesAndMessageItPromises) {
  struct Case {
    const char* what;
    bool existed;
    std::map<Step, FileFault> failures;
    std::map<std::string, std::string> files;
    std::optional<Step> reason;  // none: the save succeeds
    bool kept = false;
  };
  const std::string o = kOld, n = kNew, t = kTarget;
  const Case cases[] = {
      {"held open", true, {{Step::Replace, FileFault::SharingViolation}}, {{t, n}}, {}},
      {"no rename right", true, {{Step::Replace, FileFault::AccessDenied}}, {{t, n}}, {}},
      {"old file lost, copy moved in", true, {{Step::Replace, FileFault::UnableToMoveReplacement}}, {{t, n}}, {}},
      {"no new file allowed", true, {{Step::CreateNew, FileFault::AccessDenied}}, {{t, n}}, {}},
      {"held and not writable", true,
       {{Step::Replace, FileFault::SharingViolation}, {Step::OpenInPlace, FileFault::AccessDenied}}, {{t, o}},
       Step::OpenInPlace},
      {"in place breaks off", true,
       {{Step::Replace, FileFault::SharingViolation}, {Step::WriteInPlace, FileFault::Other}},
       {{t, n.substr(0, n.size() / 2)}, {"TEMP", n}}, Step::WriteInPlace, true},
      {"old file lost, copy stuck", true,
       {{Step::Replace, FileFault::UnableToMoveReplacement}, {Step::Move, FileFault::AccessDenied}}, {{"TEMP", n}},
       Step::Replace, true},
      {"temporary file incomplete", true, {{Step::WriteTemp, FileFault::Other}}, {{t, o}}, Step::WriteTemp},
      {"temporary file not flushed", true, {{Step::FlushTemp, FileFault::Other}}, {{t, o}}, Step::FlushTemp},
      {"new file, folder missing", false, {{Step::CreateNew, FileFault::NotFound}}, {}, Step::CreateNew},
      {"new file, no right", false, {{Step::CreateNew, FileFault::AccessDenied}}, {}, Step::CreateNew},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    if (c.existed) fs.files[kTarget] = kOld;
    fs.failures = c.failures;
    const std::string message = SaveAndCheck(fs, c.existed, c.what);
    const std::string temp = fs.created.empty() ? "" : fs.created.back();
    std::map<std::string, std::string> expected;
    for (const auto& [name, bytes] : c.files) expected[name == "TEMP" ? temp : name] = bytes;
    EXPECT_EQ(fs.files, expected) << c.what;
    std::string wanted;
    if (c.reason) wanted = "Cannot create file \"" + kTarget + "\". " + ReasonFor(*c.reason);
    if (c.kept) wanted += " The new text is in \"" + temp + "\".";
    EXPECT_EQ(message, wanted) << c.what;
  }
}

TEST(SafeSave, TakenTemporaryNamesAreSkippedAndMessagesShowTheFullPath) {
  MemoryFileSystem fs;
  fs.failures = {{Step::CreateNew, FileFault::AlreadyExists}};
  fs.WriteFile("a.asm", "x");
  EXPECT_EQ(fs.files, (std::map<std::string, std::string>{{"a.asm", "x"}}));
  ASSERT_EQ(fs.created.size(), 2u);
  EXPECT_NE(fs.created[0], fs.created[1]);
  fs.failures = {{Step::Replace, FileFault::Other}};
  try {
    fs.WriteFile("a.asm", "y");
    ADD_FAILURE() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(e.what(), "Cannot create file \"C:\\cwd\\a.asm\". " + ReasonFor(Step::Replace));
  }
}

TEST(SafeSave, TemporaryNamesAreShortAndInTheTargetsFolder) {
  EXPECT_EQ(TemporaryNameBeside("C:\\deep\\folder\\source.asm").size(), std::string("C:\\deep\\folder\\").size() + 15);
  EXPECT_EQ(TemporaryNameBeside("/home/u/a.asm").rfind("/home/u/vnt", 0), 0u);
  EXPECT_EQ(TemporaryNameBeside("C:a.asm").rfind("C:vnt", 0), 0u);
  EXPECT_EQ(TemporaryNameBeside("a.asm").find_first_of("\\/:"), std::string::npos);
  EXPECT_NE(TemporaryNameBeside("a.asm"), TemporaryNameBeside("a.asm"));
}

// The POSIX primitives on real files.
class PosixPrimitives : public ::testing::Test {
 protected:
  TempFolder folder;
  PosixFileSystem fs;
  std::string Path(const std::string& name) const { return (folder.Path() / name).string(); }
};

TEST_F(PosixPrimitives, CreateNewRefusesATakenNameAndInPlaceNeedsAFile) {
  const std::string taken = folder.Write("t.asm", "keep");
  EXPECT_EQ(fs.CreateNew(taken).status.fault, FileFault::AlreadyExists);
  EXPECT_EQ(TempFolder::Read(taken), "keep");
  EXPECT_EQ(fs.OpenExistingTruncated(Path("none.asm")).status.fault, FileFault::NotFound);
  EXPECT_EQ(fs.CreateNew(Path("no/x.asm")).status.fault, FileFault::NotFound);
  OpenedFile opened = fs.OpenExistingTruncated(taken);
  ASSERT_TRUE(opened.status.ok());
  EXPECT_TRUE(opened.file->Write("new").ok());
  EXPECT_TRUE(opened.file->FlushAndClose().ok());
  EXPECT_EQ(TempFolder::Read(taken), "new");
}

TEST_F(PosixPrimitives, ReplaceKeepsTheTargetsRightsAndMoveNeverOverwrites) {
  const std::string target = folder.Write("t.asm", "old");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const std::string temp = folder.Write("vnt1.tmp", "new");
  ASSERT_TRUE(fs.Replace(target, temp).ok());
  EXPECT_EQ(TempFolder::Read(target), "new");
  EXPECT_FALSE(std::filesystem::exists(temp));
  struct stat st{};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  const std::string other = folder.Write("vnt2.tmp", "other");
  EXPECT_EQ(fs.Move(other, target).fault, FileFault::AlreadyExists);
  EXPECT_EQ(TempFolder::Read(target), "new");
  ASSERT_TRUE(fs.Move(other, Path("fresh.asm")).ok());
  EXPECT_EQ(TempFolder::Read(Path("fresh.asm")), "other");
  EXPECT_FALSE(std::filesystem::exists(other));
  EXPECT_EQ(fs.Remove(other).fault, FileFault::NotFound);
  EXPECT_EQ(fs.Replace(Path("gone.asm"), target).fault, FileFault::NotFound);
}

}  // namespace
}  // namespace vantorel
