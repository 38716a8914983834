// The include tree: where an include is found, that each file is read once and only
// the changed ones again, that its faults are reported and never stop it, and that
// the name table answers as a plain filter over every declaration would.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <random>
#include <set>

#include "headless/IconvCodePages.h"
#include "headless/MemoryFileSystem.h"
#include "index/IncludeTree.h"
#include "tests/support/IncludeTreeGenerator.h"

namespace vantorel {
namespace {

std::vector<IncludeLine> Lines(const std::vector<std::string>& names) {
  std::vector<IncludeLine> lines;
  for (const std::string& name : names) lines.push_back(IncludeLine{name, static_cast<int>(lines.size())});
  return lines;
}

std::map<IncludeFault, int> Faults(const IncludeTree& tree) {
  std::map<IncludeFault, int> faults;
  for (const IncludeProblem& problem : tree.Problems()) ++faults[problem.fault];
  return faults;
}

IncludeTree ReadGenerated(MemoryFileSystem& fs, CodePages& pages, const GeneratedIncludeTree& generated,
                          const IncludeTree* previous = nullptr) {
  return IncludeTree::Read(fs, pages, {generated.sourcePath, generated.masmPath}, Lines(generated.sourceIncludes),
                           previous);
}

MemoryFileSystem FilesOf(const GeneratedIncludeTree& generated) {
  MemoryFileSystem fs;
  for (const auto& [path, bytes] : generated.files) fs.Put(path, bytes);
  return fs;
}

class IncludeTreeTest : public ::testing::Test {
 protected:
  IconvCodePages pages;
};

// Each case: the files there are, the source and the Masm32 folder, an include in the
// source and, when via is set, the include that the file it names makes in turn.
struct ResolutionCase {
  const char* what;
  std::vector<std::string> files;
  std::string source;
  std::string masm;
  std::string include;
  std::string via;  // the file the source's include names, holding the second include
  std::string second;
  std::string expected;  // the path of the last include; empty when it is nowhere
};

TEST_F(IncludeTreeTest, IncludesAreFoundWhereTheAssemblerLooks) {
  const std::string wide = "C:\\masm32\\include\\w.inc";
  const ResolutionCase cases[] = {
      {"a drive is used as written",
       {"D:\\x\\a.inc", "C:\\x\\a.inc"},
       "C:\\proj\\t.asm",
       "C:\\masm32",
       "D:\\x\\a.inc",
       "",
       "",
       "D:\\x\\a.inc"},
      {"a leading backslash is on the source's drive",
       {wide, "E:\\masm32\\include\\w.inc"},
       "E:\\proj\\t.asm",
       "C:\\masm32",
       "\\masm32\\include\\w.inc",
       "",
       "",
       "E:\\masm32\\include\\w.inc"},
      {"a leading slash as well",
       {wide, "E:\\masm32\\include\\w.inc"},
       "E:\\proj\\t.asm",
       "C:\\masm32",
       "/masm32/include/w.inc",
       "",
       "",
       "E:\\masm32\\include\\w.inc"},
      {"without a source, on the Masm32 folder's drive",
       {wide, "D:\\masm32\\include\\w.inc"},
       "",
       "D:\\masm32",
       "\\masm32\\include\\w.inc",
       "",
       "",
       "D:\\masm32\\include\\w.inc"},
      {"a source on a share keeps its share",
       {"\\\\srv\\docs\\inc\\a.inc"},
       "\\\\srv\\docs\\p\\t.asm",
       "",
       "\\inc\\a.inc",
       "",
       "",
       "\\\\srv\\docs\\inc\\a.inc"},
      {"a rooted name in an include on another drive is on the source's drive",
       {"D:\\lib\\a.inc", "D:\\x\\y.inc", "C:\\x\\y.inc"},
       "C:\\proj\\t.asm",
       "C:\\masm32",
       "D:\\lib\\a.inc",
       "D:\\lib\\a.inc",
       "\\x\\y.inc",
       "C:\\x\\y.inc"},
      {"relative: the including file's folder first",
       {"C:\\lib\\a.inc", "C:\\lib\\b.inc", "C:\\proj\\b.inc", "C:\\masm32\\include\\b.inc"},
       "C:\\proj\\t.asm",
       "C:\\masm32",
       "\\lib\\a.inc",
       "C:\\lib\\a.inc",
       "b.inc",
       "C:\\lib\\b.inc"},
      {"then the source's folder",
       {"C:\\lib\\a.inc", "C:\\proj\\b.inc", "C:\\masm32\\include\\b.inc"},
       "C:\\proj\\t.asm",
       "C:\\masm32",
       "\\lib\\a.inc",
       "C:\\lib\\a.inc",
       "b.inc",
       "C:\\proj\\b.inc"},
      {"then the Masm32 include folder",
       {"C:\\lib\\a.inc", "C:\\masm32\\include\\b.inc"},
       "C:\\proj\\t.asm",
       "C:\\masm32\\",
       "\\lib\\a.inc",
       "C:\\lib\\a.inc",
       "b.inc",
       "C:\\masm32\\include\\b.inc"},
      {"a text never saved looks in the Masm32 folder only",
       {"C:\\proj\\w.inc", wide},
       "",
       "C:\\masm32",
       "w.inc",
       "",
       "",
       wide},
      {"missing everywhere",
       {"C:\\lib\\a.inc", "C:\\lib\\sub\\b.inc"},
       "C:\\proj\\t.asm",
       "C:\\masm32",
       "\\lib\\a.inc",
       "C:\\lib\\a.inc",
       "b.inc",
       ""},
      {"nowhere to look", {"w.inc", "C:\\w.inc"}, "", "", "w.inc", "", "", ""},
      {"a Cyrillic name in the ANSI page",
       {"C:\\proj\\\xd0\x9f\xd0\xa0\xd0\x9e\xd0\x95\xd0\x9a\xd0\xa2.INC"},
       "C:\\proj\\t.asm",
       "",
       "\xcf\xf0\xee\xe5\xea\xf2.inc",
       "",
       "",
       "C:\\proj\\\xd0\x9f\xd1\x80\xd0\xbe\xd0\xb5\xd0\xba\xd1\x82.inc"},
      {"steps up",
       {"C:\\shared\\c.inc"},
       "C:\\proj\\src\\t.asm",
       "",
       "..\\..\\shared\\.\\c.inc",
       "",
       "",
       "C:\\shared\\c.inc"},
      {"steps up stop at the root", {"C:\\c.inc"}, "C:\\proj\\t.asm", "", "..\\..\\..\\c.inc", "", "", "C:\\c.inc"},
      {"a control byte names no file", {"C:\\proj\\a\x01.inc"}, "C:\\proj\\t.asm", "", "a\x01.inc", "", "", ""},
  };
  for (const ResolutionCase& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFileSystem fs;
    for (const std::string& path : c.files) fs.Put(path, path == c.via ? "include " + c.second + "\r\n" : "");
    const IncludeTree tree = IncludeTree::Read(fs, pages, {c.source, c.masm}, {IncludeLine{c.include, 4}});
    if (c.expected.empty()) {
      ASSERT_EQ(tree.Problems().size(), 1u);
      EXPECT_EQ(tree.Problems()[0].fault, IncludeFault::Missing);
      EXPECT_EQ(tree.Files().size(), c.via.empty() ? 0u : 1u);
      continue;
    }
    EXPECT_TRUE(tree.Problems().empty()) << tree.Problems()[0].message;
    ASSERT_EQ(tree.Files().size(), c.via.empty() ? 1u : 2u);
    EXPECT_EQ(tree.Files().back()->path, c.expected);
    EXPECT_EQ(fs.TotalReads(), static_cast<int>(tree.Files().size()));
  }
}

TEST_F(IncludeTreeTest, AMissingIncludeIsNamedAsWrittenWithItsFileAndLine) {
  MemoryFileSystem fs;
  fs.Put("C:\\masm32\\include\\a.inc", "; one\r\ninclude \xcd\xe5\xf2.inc\r\ninclude \xcd\xe5\xf2.inc\r\n");
  const IncludeTree tree = IncludeTree::Read(fs, pages, {"C:\\proj\\test.asm", "C:\\masm32"},
                                             {{"\\masm32\\include\\foo.inc", 2}, {"\\masm32\\include\\a.inc", 3}});
  ASSERT_EQ(tree.Problems().size(), 2u);  // the second line naming the same file is not told again
  EXPECT_EQ(tree.Problems()[0].message, "Не найден include-файл \\masm32\\include\\foo.inc (test.asm, строка 3)");
  EXPECT_EQ(tree.Problems()[1].message, "Не найден include-файл Нет.inc (a.inc, строка 2)");
}

// The declarations of a tree in the table's order, found without the table: a stable
// sort by the name in lower case (Latin letters only), then by its bytes.
std::vector<NameEntry> Everything(const IncludeTree& tree) {
  std::vector<NameEntry> all;
  for (std::size_t f = 0; f < tree.Files().size(); ++f)
    for (const Declaration& d : tree.Files()[f]->declarations.declarations)
      all.push_back(NameEntry{&d, static_cast<std::uint32_t>(f)});
  const auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return s;
  };
  std::stable_sort(all.begin(), all.end(), [&](const NameEntry& a, const NameEntry& b) {
    const std::string x = lower(a.declaration->name);
    const std::string y = lower(b.declaration->name);
    return x != y ? x < y : a.declaration->name < b.declaration->name;
  });
  return all;
}

bool SameEntries(std::span<const NameEntry> a, const std::vector<NameEntry>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const NameEntry& x, const NameEntry& y) {
    return x.declaration == y.declaration && x.file == y.file;
  });
}

bool StartsFolded(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    if (fold(s[i]) != fold(prefix[i])) return false;
  }
  return true;
}

TEST_F(IncludeTreeTest, GeneratedTreesAreReadOnceAndTheirNamesFoundAsAFilterFindsThem) {
  for (unsigned seed = 1; seed <= 8; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const GeneratedIncludeTree generated = IncludeTreeGenerator(seed).Generate(
        {0.01 + 0.01 * (seed % 3), static_cast<int>(seed % 4), static_cast<int>(seed % 3), static_cast<int>(seed % 2)});
    MemoryFileSystem fs = FilesOf(generated);
    const IncludeTree tree = ReadGenerated(fs, pages, generated);

    std::set<std::string> expected, read;
    for (const std::string& path : generated.reached) expected.insert(MemoryFileSystem::Key(path));
    for (const auto& file : tree.Files()) read.insert(MemoryFileSystem::Key(file->path));
    EXPECT_EQ(read, expected);
    EXPECT_EQ(tree.Files().size(), generated.reached.size());
    for (const auto& [path, bytes] : generated.files)
      EXPECT_EQ(fs.Reads(path), static_cast<int>(generated.reached.count(path))) << path;
    std::map<IncludeFault, int> faults{{IncludeFault::Missing, generated.missingProblems},
                                       {IncludeFault::Cycle, generated.cycleProblems}};
    std::erase_if(faults, [](const auto& f) { return f.second == 0; });
    EXPECT_EQ(Faults(tree), faults);
    std::map<int, int> kinds;
    for (const auto& file : tree.Files())
      for (const Declaration& d : file->declarations.declarations) ++kinds[static_cast<int>(d.kind)];
    EXPECT_EQ(kinds, generated.declarations);

    const std::vector<NameEntry> all = Everything(tree);
    ASSERT_TRUE(SameEntries(tree.Names().Entries(), all));
    const auto randomName = [&] {
      std::string name = all[random() % all.size()].declaration->name;
      for (char& c : name)
        if (random() % 3 == 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
      return name;
    };
    for (int round = 0; round < 300; ++round) {
      std::string prefix;
      if (round % 5 == 0) {
        static const char kAlphabet[] = "aAgGsSwW_0~\xcf\xef";
        for (int n = random() % 4; n > 0; --n) prefix += kAlphabet[random() % (sizeof kAlphabet - 1)];
      } else {
        prefix = randomName();
        prefix.resize(random() % (prefix.size() + 1));
      }
      std::vector<NameEntry> filtered;
      std::copy_if(all.begin(), all.end(), std::back_inserter(filtered),
                   [&](const NameEntry& e) { return StartsFolded(e.declaration->name, prefix); });
      ASSERT_TRUE(SameEntries(tree.Names().WithPrefix(prefix), filtered)) << prefix;

      const std::string name = round % 7 == 0 ? prefix + "q" : randomName();
      const auto exact =
          std::find_if(all.begin(), all.end(), [&](const NameEntry& e) { return e.declaration->name == name; });
      const auto folded = std::find_if(all.begin(), all.end(), [&](const NameEntry& e) {
        return e.declaration->name.size() == name.size() && StartsFolded(e.declaration->name, name);
      });
      const NameEntry* found = tree.Names().Find(name);
      const NameEntry* wanted = exact != all.end() ? &*exact : folded != all.end() ? &*folded : nullptr;
      ASSERT_EQ(found ? found->declaration : nullptr, wanted ? wanted->declaration : nullptr) << name;
    }
  }
}

TEST_F(IncludeTreeTest, ASecondReadTakesOverWhatDidNotChangeAndStaleSeesEveryChange) {
  const GeneratedIncludeTree generated = IncludeTreeGenerator(11).Generate({0.02, 1, 1, 1});
  MemoryFileSystem fs = FilesOf(generated);
  const IncludeTree first = ReadGenerated(fs, pages, generated);
  ASSERT_EQ(first.Problems().size(), 2u);
  EXPECT_FALSE(first.Stale(fs));

  const std::string windows = generated.masmPath + "\\include\\windows.inc";
  std::string unreached;
  for (const auto& [path, bytes] : generated.files)
    if (!generated.reached.count(path)) unreached = path;
  ASSERT_FALSE(unreached.empty());
  const FileStamp stamp = *fs.Stamp(windows);
  struct Change {
    const char* what;
    std::function<void(MemoryFileSystem&)> make;
    bool stale;
  };
  const Change changes[] = {
      {"nothing", [](MemoryFileSystem&) {}, false},
      {"a file nothing includes", [&](MemoryFileSystem& f) { f.Put(unreached, "x equ 1"); }, false},
      {"a file's time alone",
       [&](MemoryFileSystem& f) {
         f.SetStamp(windows, {stamp.size, stamp.time + 1});
       },
       true},
      {"a file's size alone",
       [&](MemoryFileSystem& f) {
         f.SetStamp(windows, {stamp.size + 1, stamp.time});
       },
       true},
      {"a file is gone", [&](MemoryFileSystem& f) { f.Erase(windows); }, true},
      {"a missing include appears", [](MemoryFileSystem& f) { f.Put("C:\\masm32\\include\\ABSENT0.inc", ""); }, true},
      // app.inc's relative windows.inc is looked for beside it before the Masm32 folder.
      {"a file appears where an include is looked for first",
       [](MemoryFileSystem& f) { f.Put("C:\\proj\\windows.inc", ""); }, true},
  };
  for (const Change& change : changes) {
    MemoryFileSystem changed = fs;
    change.make(changed);
    EXPECT_EQ(first.Stale(changed), change.stale) << change.what;
  }

  fs.ResetCounts();
  fs.Put(windows, generated.files.at(windows) + "Appended equ 1\r\n");
  const IncludeTree second = ReadGenerated(fs, pages, generated, &first);
  EXPECT_EQ(fs.TotalReads(), 1);
  EXPECT_EQ(fs.Reads(windows), 1);
  EXPECT_FALSE(second.Stale(fs));
  EXPECT_EQ(second.Problems().size(), first.Problems().size());
  ASSERT_EQ(second.Files().size(), first.Files().size());
  for (std::size_t i = 0; i < first.Files().size(); ++i) {
    EXPECT_EQ(second.Files()[i] == first.Files()[i], first.Files()[i]->path != windows) << first.Files()[i]->path;
  }
  EXPECT_NE(second.Names().Find("appended"), nullptr);
  EXPECT_EQ(first.Names().Find("appended"), nullptr);

  // A changed file that includes a new one: the two are read, nothing else.
  fs.ResetCounts();
  fs.Put("C:\\proj\\extra.inc", "Extra PROTO :DWORD\r\n");
  fs.Put("C:\\proj\\app.inc", generated.files.at("C:\\proj\\app.inc") + "include extra.inc\r\n");
  const IncludeTree third = ReadGenerated(fs, pages, generated, &second);
  EXPECT_EQ(fs.TotalReads(), 2);
  EXPECT_EQ(fs.Reads("C:\\proj\\extra.inc"), 1);
  EXPECT_EQ(third.Files().size(), second.Files().size() + 1);
  EXPECT_NE(third.Names().Find("EXTRA"), nullptr);
}

TEST_F(IncludeTreeTest, HostileFilesEndQuicklyEachFaultToldOnceAndTheRestIsRead) {
  const auto start = std::chrono::steady_clock::now();
  MemoryFileSystem fs;
  const std::string dir = "C:\\p\\";
  fs.Put(dir + "a.inc", "InA PROTO :DWORD\r\ninclude b.inc\r\n");
  fs.Put(dir + "b.inc", "include c.inc\r\n");
  fs.Put(dir + "c.inc", "include a.inc\r\n");
  fs.Put(dir + "self.inc", "include SELF.INC\r\n");
  fs.Put(dir + "t.asm", "include back.inc\r\n");  // the source as saved: its text is the editor's
  fs.Put(dir + "back.inc", "include \\p\\t.asm\r\n");
  fs.Put(dir + "locked.inc", "InLocked equ 1\r\n");
  fs.FailReads(dir + "locked.inc", "Access is denied.");
  fs.Put(dir + "huge.inc", "");
  fs.SetStamp(dir + "huge.inc", {IncludeTree::kMaxFileBytes + 1, 1});
  fs.Put(dir + "long.inc", "include " + std::string(10 << 20, 'n') + "\r\nInLong equ 1\r\n");
  std::mt19937 random(5);
  std::string noise(1 << 20, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  fs.Put(dir + "noise.inc", noise);
  constexpr int kMany = 5000;
  std::string wide;
  for (int k = 0; k < kMany; ++k) {
    fs.Put(dir + "chain" + std::to_string(k) + ".inc", "include chain" + std::to_string(k + 1) + ".inc\r\n");
    fs.Put(dir + "w" + std::to_string(k) + ".inc", "W" + std::to_string(k) + " equ 1\r\n");
    wide += "include w" + std::to_string(k) + ".inc\r\n";
  }
  // Then more include lines than are taken: the reading stops inside wide.inc and
  // the source's last include is not followed.
  for (std::size_t k = 0; k < IncludeTree::kMaxIncludeLines - kMany; ++k) wide += "include a.inc\r\n";
  fs.Put(dir + "wide.inc", wide);

  const IncludeTree tree = IncludeTree::Read(fs, pages, {dir + "t.asm", ""},
                                             Lines({"a.inc", "self.inc", "back.inc", "locked.inc", "huge.inc",
                                                    "long.inc", "noise.inc", "chain0.inc", "wide.inc", "self.inc"}));

  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_EQ(Faults(tree), (std::map<IncludeFault, int>{{IncludeFault::Cycle, 3},
                                                       {IncludeFault::Unreadable, 1},
                                                       {IncludeFault::TooLarge, 1},
                                                       {IncludeFault::Missing, 1},
                                                       {IncludeFault::TooDeep, 1},
                                                       {IncludeFault::TooManyFiles, 2}}));
  std::set<std::string> messages;
  for (const IncludeProblem& problem : tree.Problems()) {
    EXPECT_EQ(problem.message.find_first_of("\r\n"), std::string::npos);
    EXPECT_LT(problem.message.size(), 400u) << problem.message.substr(0, 400);
    messages.insert(problem.message);
  }
  for (const char* message : {
           "Include-файлы включают друг друга: a.inc → b.inc → c.inc → a.inc (c.inc, строка 1)",
           "Include-файлы включают друг друга: self.inc → self.inc (self.inc, строка 1)",
           "Include-файлы включают друг друга: t.asm → back.inc → t.asm (back.inc, строка 1)",
           "Не удалось прочитать C:\\p\\locked.inc: Access is denied. (t.asm, строка 4)",
           "Include-файл C:\\p\\huge.inc больше 64 МБ, не прочитан (t.asm, строка 5)",
           "Include-файлы вложены глубже 64 уровней: chain64.inc и глубже не прочитаны (chain63.inc, строка 1)",
       }) {
    EXPECT_EQ(messages.count(message), 1u) << message;
  }

  fs.ForEachFile([&](const std::string& path, std::string_view) { EXPECT_LE(fs.Reads(path), 1) << path; });
  EXPECT_EQ(fs.Reads(dir + "t.asm"), 0);
  // Files looked at, the locked and the huge one among them.
  EXPECT_EQ(tree.Files().size() + 2, IncludeTree::kMaxFiles);
  EXPECT_EQ(std::count_if(tree.Files().begin(), tree.Files().end(),
                          [](const auto& file) { return file->path.find("chain") != std::string::npos; }),
            IncludeTree::kMaxDepth);
  EXPECT_NE(tree.Names().Find("InA"), nullptr);
  EXPECT_NE(tree.Names().Find("InLong"), nullptr);
  EXPECT_NE(tree.Names().Find("W100"), nullptr);
  EXPECT_EQ(tree.Names().Find("InLocked"), nullptr);
}

}  // namespace
}  // namespace vantorel
