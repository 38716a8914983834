// End-to-end: the settings dialog, find, the code page commands and the View menu in
// the real program. Dialog fields and buttons are read and pressed through the
// driver's dialog commands; the settings reach the registry only at the close.
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

constexpr char kSettings[] = "Настройки программы";

struct Child {
  std::string className;
  int id = 0;
  std::string text;
  bool enabled = false;
  bool visible = false;
  ScreenRect rect;
};

class ShellCommandsTest : public E2eTest {
 protected:
  std::vector<Child> Dialog(const std::string& window) {
    std::vector<Child> children;
    std::istringstream in(wine.Ask({"dialog", window}));
    for (std::string line; std::getline(in, line);) {
      std::vector<std::string> f;
      std::istringstream fields(line);
      for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
      if (f.size() < 6) continue;
      const std::optional<ScreenRect> rect = ParseRect(f[5]);
      children.push_back({f[0], std::stoi(f[1]), f[2], f[3] == "1", f[4] == "1", rect.value_or(ScreenRect{})});
    }
    return children;
  }
  static std::vector<std::string> Fields(const std::vector<Child>& children) {
    std::vector<std::string> texts;
    for (const Child& c : children)
      if (c.className == "Edit") texts.push_back(c.text);
    return texts;
  }
  static const Child* Find(const std::vector<Child>& children, const std::string& text) {
    for (const Child& c : children)
      if (c.text == text) return &c;
    return nullptr;
  }
  bool Shown(const std::string& window) { return wine.Driver({"dialog", window}).exitCode == 0; }
  bool WaitShown(const std::string& window, bool shown = true) {
    return WineSession::WaitUntil([&] { return Shown(window) == shown; });
  }
  // The check marks of the View menu, after opening it with the keyboard.
  std::map<std::string, bool> ViewChecks() {
    EXPECT_TRUE(wine.FocusMainWindow());
    EXPECT_EQ(wine.Xdotool({"key", "--delay", "150", "F10", "Right", "Right", "Right", "Down", "Escape", "Escape",
                            "Escape"})
                  .exitCode,
              0);
    std::map<std::string, bool> checks;
    std::istringstream in(wine.Ask({"menu-dump"}));
    for (std::string line; std::getline(in, line);) {
      std::vector<std::string> f;
      std::istringstream fields(line);
      for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
      if (f.size() == 4 && f[0].rfind("3/", 0) == 0 && f[0].size() == 3 && f[0][2] < '2') checks[f[3]] = f[2] == "checked";
    }
    return checks;
  }
};

TEST_F(ShellCommandsTest, SettingsDialogFieldsCancelSaveAndTheRegistry) {
  ASSERT_TRUE(wine.Start());
  wine.Ask({"menu", "Проект/настройки"});
  ASSERT_TRUE(WaitShown(kSettings));
  std::vector<Child> children = Dialog(kSettings);
  EXPECT_EQ(Fields(children), (std::vector<std::string>(4, "")));  // a first run: nothing stored
  const Child* save = Find(children, "Сохранить");
  ASSERT_TRUE(save);
  EXPECT_FALSE(save->enabled);
  // Positions in the dialog's client area: a group's controls sit at the group's origin.
  const Child* firstField = nullptr;
  for (const Child& c : children)
    if (!firstField && c.className == "Edit") firstField = &c;
  ASSERT_TRUE(firstField);
  EXPECT_EQ(firstField->rect, (ScreenRect{36 + 81, 28 + 30, 36 + 81 + 284, 28 + 30 + 24}));  // E_masm_path
  EXPECT_EQ(save->rect, (ScreenRect{120, 313 + 7, 120 + 90, 313 + 7 + 26}));
  wine.Screenshot(WineSession::ArtifactsDir() / "settings-dialog.png");

  // "Отмена" after an edit keeps the settings.
  wine.Ask({"dialog-set", kSettings, "0", "C:\\changed"});
  EXPECT_TRUE(WineSession::WaitUntil([&] { return Find(Dialog(kSettings), "Сохранить")->enabled; }));
  wine.Ask({"dialog-click", kSettings, "Отмена"});
  ASSERT_TRUE(WaitShown(kSettings, false));
  wine.Ask({"menu", "Проект/настройки"});
  ASSERT_TRUE(WaitShown(kSettings));
  children = Dialog(kSettings);
  EXPECT_EQ(Fields(children), (std::vector<std::string>(4, "")));
  EXPECT_FALSE(Find(children, "Сохранить")->enabled);

  // "Сохранить" keeps the values in memory; the close writes them.
  wine.Ask({"dialog-set", kSettings, "0", "C:\\masm32"});
  wine.Ask({"dialog-set", kSettings, "1", "C:\\my projects"});
  wine.Ask({"dialog-set", kSettings, "2", "build all.bat"});
  wine.Ask({"dialog-set", kSettings, "3", "run.bat"});
  wine.Ask({"dialog-click", kSettings, "Сохранить"});
  ASSERT_TRUE(WaitShown(kSettings, false));
  EXPECT_FALSE(wine.RegQuery("MASM_PATH"));
  wine.Ask({"menu", "Проект/настройки"});
  ASSERT_TRUE(WaitShown(kSettings));
  EXPECT_EQ(Fields(Dialog(kSettings)),
            (std::vector<std::string>{"C:\\masm32", "C:\\my projects", "build all.bat", "run.bat"}));
  wine.Ask({"dialog-click", kSettings, "Отмена"});
  ASSERT_TRUE(WaitShown(kSettings, false));
  Close();
  for (const auto& [name, value] : std::map<std::string, std::string>{
           {"MASM_PATH", "C:\\masm32"}, {"PROG_PATH", "C:\\my projects"}, {"COMPILE_FILE", "build all.bat"},
           {"RUN_FILE", "run.bat"}}) {
    const std::optional<RegistryValue> stored = wine.RegQuery(name);
    ASSERT_TRUE(stored) << name;
    EXPECT_EQ(stored->data, value) << name;
  }
}

TEST_F(ShellCommandsTest, FindAndTheCodePageCommands) {
  const std::string path = wine.PutFile("find.asm",
                                        "mov eax, ebx\r\nstart:\r\n  MOV EAX, 1\r\nret\r\n"
                                        "; \xcf\xf0\xe8\xe2\xe5\xf2\r\n");  // "Привет" in Windows-1251
  ASSERT_TRUE(wine.Start({path}));
  ASSERT_TRUE(WaitForPanel(1, path));

  // "eb" lands on column 9, not on the first "e".
  wine.Ask({"setsel", "0", "0"});
  wine.Ask({"menu", "Правка/найти"});
  ASSERT_TRUE(WaitShown("find"));
  std::vector<std::string> fields = Fields(Dialog("find"));
  ASSERT_FALSE(fields.empty());
  EXPECT_EQ(fields[0], "Найти текст");
  wine.Ask({"dialog-set", "find", "0", "eb"});
  wine.Ask({"dialog-click", "find", "1"});  // find next
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Ask({"getsel"}) == "9 9"; })) << wine.Ask({"getsel"});
  EXPECT_TRUE(WaitShown("find", false));  // closed after a match

  // From the line "ret" a match above is not found; the dialog stays open with its text.
  wine.Ask({"setsel", "36", "36"});
  wine.Ask({"menu", "Правка/найти"});
  ASSERT_TRUE(WaitShown("find"));
  EXPECT_EQ(Fields(Dialog("find")).at(0), "eb");
  wine.Ask({"dialog-set", "find", "0", "eax"});
  wine.Ask({"dialog-click", "find", "1"});
  // Given time to act, the search leaves the caret where it is.
  EXPECT_FALSE(WineSession::WaitUntil([&] { return wine.Ask({"getsel"}) != "36 36"; }, 1500ms));
  EXPECT_EQ(wine.Ask({"getsel"}), "36 36");
  EXPECT_TRUE(Shown("find"));

  // From line 1, "eax" finds "EAX" on line 2 (offset 14 + 8 + 6).
  wine.Ask({"setsel", "14", "14"});
  wine.Ask({"dialog-click", "find", "1"});
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Ask({"getsel"}) == "28 28"; })) << wine.Ask({"getsel"});
  EXPECT_TRUE(WaitShown("find", false));

  // Win > Dos and back, through the system's code pages 1251 and 866.
  const std::string before = "mov eax, ebx\r\nstart:\r\n  MOV EAX, 1\r\nret\r\n; \xcf\xf0\xe8\xe2\xe5\xf2\r\n";
  wine.Ask({"menu", "Правка/конвертация Win > Dos"});
  EXPECT_TRUE(WineSession::WaitUntil([&] {
    const auto text = wine.ReadEditorText();
    return text && text->bytes != before;
  }));
  ExpectEditorText("mov eax, ebx\r\nstart:\r\n  MOV EAX, 1\r\nret\r\n; \x8f\xe0\xa8\xa2\xa5\xe2\r\n");
  wine.Ask({"menu", "Правка/конвертация Dos > Win"});
  EXPECT_TRUE(WineSession::WaitUntil([&] {
    const auto text = wine.ReadEditorText();
    return text && text->bytes == before;
  }));
  EXPECT_EQ(wine.Panel(3), "");
}

TEST_F(ShellCommandsTest, ToolBarAndPaletteHideAndShowWithTheirCheckMarks) {
  ASSERT_TRUE(wine.Start());
  const std::optional<ScreenRect> client = ParseRect(wine.Ask({"client", "main"}));
  ASSERT_TRUE(client);
  auto editorTop = [&] { return ParseRect(wine.Ask({"rect", "editor"})).value_or(ScreenRect{}).top; };
  EXPECT_EQ(editorTop(), client->top + 31);
  EXPECT_EQ(ViewChecks(), (std::map<std::string, bool>{{"панель инструментов", true}, {"панель компонентов", true}}));

  wine.Ask({"menu", "Вид/панель компонентов"});
  wine.Ask({"menu", "Вид/панель инструментов"});
  EXPECT_TRUE(WineSession::WaitUntil([&] { return editorTop() == client->top; })) << editorTop();
  EXPECT_EQ(ViewChecks(), (std::map<std::string, bool>{{"панель инструментов", false}, {"панель компонентов", false}}));

  // The tool bar comes back without its palette.
  wine.Ask({"menu", "Вид/панель инструментов"});
  EXPECT_TRUE(WineSession::WaitUntil([&] { return editorTop() == client->top + 31; })) << editorTop();
  EXPECT_EQ(ViewChecks(), (std::map<std::string, bool>{{"панель инструментов", true}, {"панель компонентов", false}}));
}

}  // namespace
}  // namespace vantorel::e2e
