// The fixture the end-to-end tests share: one WineSession, and the readings and
// actions most tests need (panels, rectangles, the editor's text, closing, pixels).
#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "WineSession.h"

namespace vantorel::e2e {

using namespace std::chrono_literals;

// A screenshot in memory: rows top to bottom, three bytes (R, G, B) a pixel.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  std::uint32_t At(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
    return (std::uint32_t{rgb[i]} << 16) | (std::uint32_t{rgb[i + 1]} << 8) | rgb[i + 2];
  }
  bool Dark(int x, int y) const {
    const std::uint32_t p = At(x, y);
    return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 200;
  }
};

class E2eTest : public ::testing::Test {
 protected:
  // The command-line file is loaded once the window shows, a moment after it appears.
  bool WaitForPanel(int index, const std::string& text) {
    return WineSession::WaitUntil([&] { return wine.Panel(index) == text; });
  }
  // Puts the file below drive C and starts the program on it, until it shows the file.
  void StartOnFile(const std::string& name, const std::string& text) {
    const std::string path = wine.PutFile(name, text);
    ASSERT_TRUE(wine.Start({path}));
    ASSERT_TRUE(WaitForPanel(1, path));
  }

  ScreenRect Screen() {
    std::istringstream in(wine.Ask({"screen"}));
    ScreenRect screen;
    in >> screen.right >> screen.bottom;
    return screen;
  }

  ScreenRect Centred(int width, int height) {
    ScreenRect screen = Screen();
    int left = (screen.Width() - width) / 2;
    int top = (screen.Height() - height) / 2;
    return {left, top, left + width, top + height};
  }

  static std::optional<ScreenRect> ParseRect(const std::string& text) {
    std::istringstream in(text);
    ScreenRect rect;
    if (!(in >> rect.left >> rect.top >> rect.right >> rect.bottom)) return std::nullopt;
    return rect;
  }

  void ExpectEditorText(const std::string& expected) {
    std::optional<EditorText> text = wine.ReadEditorText();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->bytes, expected);
    EXPECT_EQ(text->count, static_cast<long>(expected.size()));
    // The length leaves out the line break after the last line.
    EXPECT_EQ(text->length, expected.empty() ? 0L : static_cast<long>(expected.size()) - 2);
  }

  // The caret's rectangle in the editor's client coordinates. The caret is made when
  // the editor gets the focus, a moment after the window shows.
  std::optional<ScreenRect> CaretRect() {
    std::string reply;
    WineSession::WaitUntil([&] {
      const CommandResult r = wine.Driver({"caret"});
      reply = r.out;
      return r.exitCode == 0 && reply.rfind("THLEditor ", 0) == 0;
    });
    if (reply.rfind("THLEditor ", 0) != 0) return std::nullopt;
    return ParseRect(reply.substr(10));
  }
  // Real key presses, as xdotool names them ("End ctrl+space Down"), a little apart.
  void Keys(const std::string& keys) {
    std::vector<std::string> args{"key", "--delay", "80"};
    std::istringstream names(keys);
    for (std::string name; names >> name;) args.push_back(name);
    ASSERT_EQ(wine.Xdotool(args).exitCode, 0);
  }
  // The editor's text through WM_GETTEXT.
  std::string Text() {
    const std::optional<EditorText> text = wine.ReadEditorText();
    return text ? text->bytes : "<no text>";
  }
  bool TextBecomes(const std::string& expected) {
    return WineSession::WaitUntil([&] { return Text() == expected; });
  }
  // A file's bytes, by its path below the prefix's drive C.
  std::string ReadDriveC(const std::string& relative) {
    std::ifstream in(wine.DriveC() / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Sends WM_CLOSE and waits for the program to end.
  void Close() {
    wine.Ask({"close"});
    ASSERT_TRUE(wine.WaitForExit(15s)) << "the program did not end after WM_CLOSE";
  }

  void StorePlacement(int left, int top, int width, int height) {
    ASSERT_TRUE(wine.RegAddDword("Left", static_cast<std::uint32_t>(left)));
    ASSERT_TRUE(wine.RegAddDword("Top", static_cast<std::uint32_t>(top)));
    ASSERT_TRUE(wine.RegAddDword("Width", static_cast<std::uint32_t>(width)));
    ASSERT_TRUE(wine.RegAddDword("Height", static_cast<std::uint32_t>(height)));
  }

  // The screen's pixels inside the rectangle.
  std::optional<Image> Capture(const ScreenRect& part);
  // The editor's client area once its painting has settled.
  std::optional<Image> EditorShot();

  WineSession wine;
};

}  // namespace vantorel::e2e
