// End-to-end: the XP-look buttons as the real program draws them, read back from the
// screen: outline, blend, inner and corner pixels of a tool-bar button, its hot ring
// while the pointer is over it, a click that runs its command while the editor keeps
// the focus, and the settings dialog's disabled and enabled push buttons.
#include <thread>

#include "E2eFixture.h"

namespace vantorel::e2e {
namespace {

constexpr char kSettings[] = "Настройки программы";

class XPButtonsTest : public E2eTest {
 protected:
  // The button's pixels with a one-pixel margin, so (1, 1) is its top-left corner.
  std::optional<Image> Shot(const ScreenRect& r) {
    std::this_thread::sleep_for(300ms);
    return Capture(ScreenRect{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1});
  }
  // The outline's colours and the corners showing what lies behind the button.
  static void ExpectOutline(const Image& s, std::uint32_t border, std::uint32_t blend, std::uint32_t behind) {
    const int w = s.width - 2;
    const int h = s.height - 2;
    for (const auto& [x, y] : {std::pair{1, 1}, {w, 1}, {1, h}, {w, h}}) EXPECT_EQ(s.At(x, y), behind) << x << "," << y;
    for (const auto& [x, y] : {std::pair{2, 2}, {w - 1, 2}, {1 + w / 2, 1}, {1, 1 + h / 2}, {w, 1 + h / 2}, {1 + w / 2, h}})
      EXPECT_EQ(s.At(x, y), border) << x << "," << y;
    for (const auto& [x, y] : {std::pair{2, 1}, {w - 1, 1}, {1, 2}, {w, 2}}) EXPECT_EQ(s.At(x, y), blend) << x << "," << y;
  }
  static int Red(std::uint32_t p) { return static_cast<int>(p >> 16); }
  static int Blue(std::uint32_t p) { return static_cast<int>(p & 0xFF); }
};

TEST_F(XPButtonsTest, AToolBarButtonsLookHotRingAndClick) {
  ASSERT_NO_FATAL_FAILURE(StartOnFile("src\\b.asm", "abc\r\n"));
  ASSERT_TRUE(CaretRect());
  const std::optional<ScreenRect> undo = ParseRect(wine.Ask({"button", "Отменить"}));
  ASSERT_TRUE(undo);
  EXPECT_EQ(undo->Width(), 28);
  const std::optional<ScreenRect> editor = ParseRect(wine.Ask({"client", "editor"}));
  ASSERT_TRUE(editor);
  const std::string awayX = std::to_string(editor->left + 200);
  const std::string awayY = std::to_string(editor->top + 150);
  ASSERT_EQ(wine.Xdotool({"mousemove", awayX, awayY}).exitCode, 0);

  std::optional<Image> plain = Shot(*undo);
  ASSERT_TRUE(plain);
  const std::uint32_t behind = plain->At(0, plain->height / 2);  // the tool bar beside the button
  ExpectOutline(*plain, 0x244E93, 0x9898DC, behind);
  EXPECT_EQ(plain->At(3, 2), 0xCFCFEFu);  // an inner pixel
  EXPECT_GT(Blue(plain->At(2, plain->height / 2)), 200) << "the face, no ring";

  const std::string midX = std::to_string(undo->left + undo->Width() / 2);
  const std::string midY = std::to_string(undo->top + undo->Height() / 2);
  ASSERT_EQ(wine.Xdotool({"mousemove", midX, midY}).exitCode, 0);
  // The system tells the button of the pointer's coming and going in its own time.
  std::optional<Image> hot;
  EXPECT_TRUE(WineSession::WaitUntil([&] { return (hot = Shot(*undo)) && Red(hot->At(2, hot->height / 2)) == 255; }));
  ASSERT_TRUE(hot);
  const std::uint32_t ring = hot->At(2, hot->height / 2);
  EXPECT_EQ(Red(ring), 255) << std::hex << ring;
  EXPECT_LT(Blue(ring), 180) << std::hex << ring;
  wine.Screenshot(WineSession::ArtifactsDir() / "xp-toolbar-hot.png",
                  ScreenRect{undo->left - 130, undo->top - 4, undo->right + 10, undo->bottom + 4});
  ASSERT_EQ(wine.Xdotool({"mousemove", awayX, awayY}).exitCode, 0);
  std::optional<Image> left;
  EXPECT_TRUE(
      WineSession::WaitUntil([&] { return (left = Shot(*undo)) && Blue(left->At(2, left->height / 2)) > 200; }))
      << "the ring stays after the pointer left";

  // A click runs the command; the editor keeps the focus.
  Keys("x");
  ASSERT_TRUE(TextBecomes("xabc\r\n"));
  ASSERT_EQ(wine.Xdotool({"mousemove", midX, midY, "sleep", "0.2", "click", "1"}).exitCode, 0);
  EXPECT_TRUE(TextBecomes("abc\r\n"));
  EXPECT_EQ(wine.Ask({"focus"}), "THLEditor");
}

TEST_F(XPButtonsTest, TheEventsButtonDropsItsMenuOnARightButtonReleaseToo) {
  ASSERT_NO_FATAL_FAILURE(StartOnFile("src\\e.asm", "\r\n"));
  ASSERT_TRUE(CaretRect());
  const std::optional<ScreenRect> events = ParseRect(wine.Ask({"button", "Events"}));
  ASSERT_TRUE(events);
  ASSERT_EQ(wine.Xdotool({"mousemove", std::to_string(events->left + 8), std::to_string(events->top + 8), "sleep",
                          "0.2", "click", "3"})
                .exitCode,
            0);
  std::optional<ScreenRect> menu;
  ASSERT_TRUE(WineSession::WaitUntil([&] {
    const CommandResult r = wine.Driver({"rect", "menu"});
    return r.exitCode == 0 && (menu = ParseRect(r.out)).has_value();
  }));
  EXPECT_EQ(menu->left, events->left - 1);
  EXPECT_EQ(menu->top, events->bottom);
  Keys("Escape");
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Driver({"rect", "menu"}).exitCode != 0; }));
  EXPECT_EQ(Text(), "\r\n");  // the release itself typed nothing
}

TEST_F(XPButtonsTest, TheSettingsDialogsPushButtonsDisabledAndEnabled) {
  ASSERT_TRUE(wine.Start());
  wine.Ask({"menu", "Проект/настройки"});
  ASSERT_TRUE(WineSession::WaitUntil([&] { return wine.Driver({"dialog", kSettings}).exitCode == 0; }));
  const std::optional<ScreenRect> save = ParseRect(wine.Ask({"control-rect", kSettings, "Сохранить"}));
  const std::optional<ScreenRect> cancel = ParseRect(wine.Ask({"control-rect", kSettings, "Отмена"}));
  ASSERT_TRUE(save && cancel);
  constexpr std::uint32_t kPanelGrey = 0x808080;
  constexpr std::uint32_t kDisabledInk = 0xB8AA9A;

  std::optional<Image> s = Shot(*save);
  ASSERT_TRUE(s);
  wine.Screenshot(WineSession::ArtifactsDir() / "xp-settings-buttons.png",
                  ScreenRect{save->left - 10, save->top - 10, cancel->right + 10, cancel->bottom + 10});
  ExpectOutline(*s, kDisabledInk, 0xEEEBE8, kPanelGrey);
  int ink = 0;
  for (int y = 4; y < s->height - 4; ++y)
    for (int x = 4; x < s->width - 4; ++x) ink += s->At(x, y) == kDisabledInk ? 1 : 0;
  EXPECT_GT(ink, 20) << "the caption in the disabled colour";
  EXPECT_GT(Blue(s->At(s->width / 2, 3)), 240) << "the face's light top";

  std::optional<Image> c = Shot(*cancel);
  ASSERT_TRUE(c);
  ExpectOutline(*c, 0x333399, 0x9898DC, kPanelGrey);

  // A real click on "Отмена" closes the dialog.
  ASSERT_EQ(wine.Xdotool({"mousemove", std::to_string(cancel->left + 20), std::to_string(cancel->top + 10), "sleep",
                          "0.2", "click", "1"})
                .exitCode,
            0);
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Driver({"dialog", kSettings}).exitCode != 0; }));

  // From the keyboard: Shift+Tab from the first field reaches "Отмена", which shows its
  // focus ring, and Space presses it. The pointer rests on the panel: over the button the
  // ring would be the hot one, and outside the dialog the keys would not reach it.
  ASSERT_EQ(wine.Xdotool({"mousemove", std::to_string(save->left - 60), std::to_string(save->top + 10)}).exitCode, 0);
  wine.Ask({"menu", "Проект/настройки"});
  ASSERT_TRUE(WineSession::WaitUntil([&] { return wine.Driver({"dialog", kSettings}).exitCode == 0; }));
  Keys("shift+Tab");
  ASSERT_TRUE(WineSession::WaitUntil([&] { return wine.Ask({"focus"}) == "TXPButton"; }));
  std::optional<Image> focused = Shot(*cancel);
  ASSERT_TRUE(focused);
  const std::uint32_t ring = focused->At(2, focused->height / 2);
  EXPECT_GT(Blue(ring), 200) << std::hex << ring;
  EXPECT_LT(Red(ring), 200) << std::hex << ring;
  Keys("space");
  EXPECT_TRUE(WineSession::WaitUntil([&] { return wine.Driver({"dialog", kSettings}).exitCode != 0; }));
}

}  // namespace
}  // namespace vantorel::e2e
