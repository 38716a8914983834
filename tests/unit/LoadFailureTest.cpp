// A load that fails half-way must leave the text it was to replace exactly as it was.
// The failures are real: this file replaces the global allocation functions of the
// test program with ones that can be told to fail once, at the n-th allocation from
// now. They pass everything on to malloc and free otherwise, so the sanitizers still
// see every block, and the other tests are not disturbed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "EditorFixture.h"
#include "TempFolder.h"
#include "editor/EditorStrings.h"
#include "headless/PosixFileSystem.h"
#include "platform/Errors.h"
#include "tests/support/EditorInternals.h"

namespace {

long gAllocationsUntilFailure = -1;  // -1: never fail
bool gFailed = false;

void* Allocate(std::size_t size) {
  if (gAllocationsUntilFailure == 0) {
    gAllocationsUntilFailure = -1;
    gFailed = true;
    throw std::bad_alloc();
  }
  if (gAllocationsUntilFailure > 0) --gAllocationsUntilFailure;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void* AllocateOrNull(std::size_t size) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace vantorel {
namespace {

// Makes the n-th allocation from now fail, once, for the life of the object.
class FailingAllocation {
 public:
  explicit FailingAllocation(long n) {
    gFailed = false;
    gAllocationsUntilFailure = n;
  }
  ~FailingAllocation() { gAllocationsUntilFailure = -1; }
  FailingAllocation(const FailingAllocation&) = delete;
  FailingAllocation& operator=(const FailingAllocation&) = delete;
  static bool Happened() { return gFailed; }
};

// A text that needs every kind of storage: plain lines, enough tabbed ones to fill
// more than one shared chunk, and a tabbed line too long for a chunk.
struct BigText {
  BigText() {
    for (int i = 0; i < 1200; ++i) {
      if (i % 4 == 0) {
        const std::string body(900, static_cast<char>('a' + i % 26));
        bytes += "\t" + body + "\r\n";
        lines.push_back("  " + body);
      } else {
        bytes += "line " + std::to_string(i) + "\n";
        lines.push_back("line " + std::to_string(i));
      }
    }
    bytes += "x\t" + std::string(20000, 'z');
    lines.push_back("x  " + std::string(20000, 'z'));
  }
  std::string bytes;
  Lines lines;
};

class FailedLoad : public EditorFixture {
 protected:
  FailedLoad() {
    // The old text holds a loaded line, an expanded one and an edited one.
    editor.Lines().SetTextStr("old\r\n\tkeep\r\nthird");
    editor.Lines().SetLineText(2, "edited");
    Inside(editor).undo.Record<TCaretUndo>(1, 1);
    ResetCounts();
    editor.Lines().AddWatcher(reports);
  }
  void ResetCounts() {
    listChanges = 0;
    editor.textAllChanged = 0;
    editor.modifications.clear();
  }
  // The text, its notifications and its undo state as they were before the load.
  void ExpectOldTextUntouched() {
    EXPECT_EQ(AllLines(), kOld);
    EXPECT_EQ(editor.Lines().Count(), 3);
    EXPECT_EQ(listChanges, 0);
    EXPECT_EQ(editor.textAllChanged, 0);
    EXPECT_TRUE(editor.modifications.empty());
    EXPECT_TRUE(Inside(editor).undo.CanUndo());
    EXPECT_EQ(editor.UpdateLock(), 0);
  }
  void RestoreOldText() {
    editor.Lines().Assign(kOld);
    Inside(editor).undo.Record<TCaretUndo>(1, 1);
    ResetCounts();
  }

  // Runs load with its n-th allocation failing, for n = 0, 1, ... until it succeeds.
  // A failure leaves either the old text untouched (the lines were still being built)
  // or the whole new text (a notification after the swap failed); never a part of
  // either. onBuildFailure checks what the load threw. Returns the failures of the
  // first kind.
  template <class Load, class OnBuildFailure>
  int FailEveryAllocation(Load load, const Lines& wanted, OnBuildFailure onBuildFailure) {
    int buildFailures = 0;
    for (long n = 0;; ++n) {
      std::exception_ptr error;
      bool failed;
      {
        FailingAllocation failing(n);
        try {
          load();
        } catch (...) {
          error = std::current_exception();
        }
        failed = FailingAllocation::Happened();
      }
      if (!failed) {
        EXPECT_FALSE(error) << "an error without a failed allocation";
        break;
      }
      EXPECT_TRUE(error) << "a failed allocation went unreported at " << n;
      // Told apart by their lines, not their count: a new text may have as many.
      if (AllLines() != wanted) {
        SCOPED_TRACE("allocation " + std::to_string(n));
        ExpectOldTextUntouched();
        onBuildFailure(error);
        ++buildFailures;
      } else {
        EXPECT_EQ(AllLines(), wanted) << "allocation " << n;
      }
      RestoreOldText();
    }
    EXPECT_EQ(AllLines(), wanted);
    return buildFailures;
  }

  const Lines kOld{"old", "  keep", "edited"};
  int listChanges = 0;
  struct Reports : LineWatcher {
    explicit Reports(int& counter) : count(counter) {}
    void LinesChanged(const LineChange&) noexcept override { ++count; }
    int& count;
  } reports{listChanges};
  BigText big;
};

TEST_F(FailedLoad, SetTextStrKeepsTheOldTextWhereverAnAllocationFails) {
  const int failures = FailEveryAllocation([&] { editor.Lines().SetTextStr(big.bytes); }, big.lines,
                                           [](std::exception_ptr error) {
                                             EXPECT_THROW(std::rethrow_exception(error), std::bad_alloc);
                                           });
  EXPECT_GT(failures, 20);  // the building allocates chunks, line records and a long line
  EXPECT_FALSE(Inside(editor).undo.CanUndo());
}

TEST_F(FailedLoad, AssignKeepsTheOldTextWhereverAnAllocationFails) {
  const int failures = FailEveryAllocation([&] { editor.Lines().Assign(Lines{"a\tb", "", "c"}); },
                                           Lines{"a  b", "", "c"}, [](std::exception_ptr) {});
  EXPECT_GT(failures, 0);
}

TEST_F(FailedLoad, LoadFromFileReportsAFailedAllocationAsAFileThatCannotBeOpened) {
  TempFolder folder;
  const std::string path = folder.Write("big.asm", big.bytes);
  PosixFileSystem fs;
  const int failures = FailEveryAllocation([&] { editor.Lines().LoadFromFile(fs, path); }, big.lines,
                                           [&](std::exception_ptr error) {
                                             try {
                                               std::rethrow_exception(error);
                                             } catch (const EFileError& e) {
                                               EXPECT_STREQ(e.what(), ("Cannot open file \"" + path +
                                                                       "\". Out of memory.")
                                                                          .c_str());
                                             } catch (...) {
                                               ADD_FAILURE() << "not a file error";
                                             }
                                           });
  EXPECT_GT(failures, 20);
}

TEST_F(FailedLoad, ATabStopErrorKeepsTheOldText) {
  editor.TabStops = "3 x";
  try {
    editor.Lines().SetTextStr("a\r\n\tb");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
  }
  ExpectOldTextUntouched();

  // Read through a relative path, the message names the file by its full path.
  TempFolder folder;
  folder.Write("tabbed.asm", "a\r\n\tb");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder.Path());
  PosixFileSystem fs;
  try {
    editor.Lines().LoadFromFile(fs, "tabbed.asm");
    ADD_FAILURE() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + (folder.Path() / "tabbed.asm").string() + "\". 'x' is not a valid integer value");
  }
  std::filesystem::current_path(before);
  ExpectOldTextUntouched();

  // The tab stops are read only for a text that holds a tab.
  editor.Lines().SetTextStr("no tab");
  EXPECT_EQ(AllLines(), Lines{"no tab"});
}

}  // namespace
}  // namespace vantorel
