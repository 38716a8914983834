#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "headless/RecordingSurface.h"
#include "platform/Errors.h"
#include "xpbuttons/Glyph.h"
#include "xpbuttons/Gradient.h"
#include "xpbuttons/Scheme.h"

namespace vantorel {
namespace {

// ---- schemes ----

class FakeTheme : public ThemeQuery {
 public:
  FakeTheme(int major, int minor, std::optional<std::string> name) : version_{major, minor}, name_(std::move(name)) {}
  Version SystemVersion() const override { return version_; }
  std::optional<std::string> CurrentColorSchemeName() const override {
    ++asked;
    if (fails) throw Exception("theme name failed");
    return name_;
  }
  mutable int asked = 0;
  bool fails = false;

 private:
  Version version_;
  std::optional<std::string> name_;
};

TEST(XPScheme, DetectionFollowsTheThemeNameOnlyFromVersion5Point1) {
  struct Case {
    int major, minor;
    std::optional<std::string> name;
    XPDrawnScheme expected;
    bool asks;
  };
  const Case cases[] = {
      {5, 1, "Metallic", XPDrawnScheme::Silver, true},
      {5, 1, "mETALLIC", XPDrawnScheme::Silver, true},
      {5, 1, "homestead", XPDrawnScheme::Green, true},
      {5, 1, "NormalColor", XPDrawnScheme::Blue, true},
      {5, 2, "Royale", XPDrawnScheme::Blue, true},
      {5, 1, "Metallic ", XPDrawnScheme::Blue, true},
      {5, 1, std::nullopt, XPDrawnScheme::Blue, true},
      {5, 0, "Metallic", XPDrawnScheme::Blue, false},
      {4, 10, "Metallic", XPDrawnScheme::Blue, false},
      {6, 0, "Metallic", XPDrawnScheme::Blue, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor) + " " + c.name.value_or("<none>"));
    const FakeTheme theme(c.major, c.minor, c.name);
    EXPECT_EQ(DetectThemeScheme(theme), c.expected);
    EXPECT_EQ(ResolveScheme(TXPScheme::xpAutomatic, theme), c.expected);
    EXPECT_EQ(theme.asked > 0, c.asks);
  }
}

TEST(XPScheme, FixedSettingsIgnoreTheThemeAndAFailingThemeThrows) {
  FakeTheme theme(5, 1, "Metallic");
  theme.fails = true;
  EXPECT_EQ(ResolveScheme(TXPScheme::xpBlue, theme), XPDrawnScheme::Blue);
  EXPECT_EQ(ResolveScheme(TXPScheme::xpSilver, theme), XPDrawnScheme::Silver);
  EXPECT_EQ(ResolveScheme(TXPScheme::xpGreen, theme), XPDrawnScheme::Green);
  EXPECT_EQ(ResolveScheme(TXPScheme::xpOrange, theme), XPDrawnScheme::Orange);
  EXPECT_EQ(theme.asked, 0);
  EXPECT_THROW(DetectThemeScheme(theme), Exception);
  EXPECT_THROW(ResolveScheme(TXPScheme::xpAutomatic, theme), Exception);
}

// ---- gradient ----

std::uint32_t At(const PixelImage& image, int x, int y) {
  return image.pixels.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                         static_cast<std::size_t>(x));
}

// The red channel of each row, after checking the row is one opaque colour.
std::vector<int> RowReds(const PixelImage& image) {
  std::vector<int> reds;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 1; x < image.width; ++x) EXPECT_EQ(At(image, x, y), At(image, 0, y)) << "row " << y << " x " << x;
    EXPECT_EQ(At(image, 0, y) >> 24, 0xFFu);
    reds.push_back(static_cast<int>((At(image, 0, y) >> 16) & 0xFF));
  }
  return reds;
}

GradientRandom NoRandom() {
  return [](int) -> int { throw std::logic_error("no dither expected"); };
}

TEST(XPGradient, MulDivRoundsHalvesAwayFromZero) {
  struct Case {
    int a, b, c, expected;
  };
  const Case cases[] = {
      {1, 1, 2, 1},   {-1, 1, 2, -1},  {1, -1, 2, -1},   {-1, -1, -2, -1}, {3, 1, 2, 2},
      {4, 1, 3, 1},   {5, 1, 3, 2},    {-5, 1, 3, -2},   {5, 1, -3, -2},   {6, 25, 255, 1},
      {5, 25, 255, 0}, {7, 9, 0, -1},  {0, 0, 0, -1},    {65536, 65536, 2, -1},
      {2147483647, 2147483647, 2147483647, 2147483647},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
  }
}

TEST(XPGradient, ManyStepsOverFewRowsShowTheLastBandStartingOnEachRow) {
  // Entry i of a 0 -> 254 red table is i itself, so each row names its band.
  PixelImage image;
  PaintGradient(3, 25, Color::Rgb(0, 0, 0), Color::Rgb(254, 0, 0), 255, 1, false, image, NoRandom());
  ASSERT_EQ(image.height, 25);
  const std::vector<int> expected = {5,   15,  25,  35,  45,  56,  66,  76,  86,  96,  107, 117, 127,
                                     137, 147, 158, 168, 178, 188, 198, 209, 219, 229, 239, 249};
  EXPECT_EQ(RowReds(image), expected);
}

TEST(XPGradient, TableRoundsHalvesToEvenInBothDirections) {
  // Five steps over five rows: one row per table entry, i * 2 / 4 has halves at 1 and 3.
  PixelImage down;
  PaintGradient(2, 5, Color::Rgb(0, 10, 100), Color::Rgb(2, 20, 98), 5, 1, false, down, NoRandom());
  EXPECT_EQ(RowReds(down), (std::vector<int>{0, 0, 1, 2, 2}));
  EXPECT_EQ(At(down, 0, 1), 0xFF000C64u);  // green 10 + 2.5 -> 12, blue 100 - 0.5 -> 100
  EXPECT_EQ(At(down, 0, 3), 0xFF021262u);  // green 10 + 7.5 -> 18, blue 100 - 1.5 -> 98
  PixelImage up;
  PaintGradient(2, 5, Color::Rgb(0, 0, 0), Color::Rgb(2, 0, 0), 5, 3, false, up, NoRandom());
  EXPECT_EQ(RowReds(up), (std::vector<int>{2, 2, 1, 0, 0}));
}

TEST(XPGradient, DitherRowsComeFromTheRandomSourceAndRepeatAcrossTheWidth) {
  // Three steps over ten rows: bands start at rows 0, 3 and 7 in red 0, 100, 200;
  // each border is dithered at rows border + random(j) for j = 1..5 (10 div 2).
  std::vector<int> asked;
  const std::vector<int> answers = {0, 1, 0, 0, 2, /* second border */ 0, 0, 0, 3, 4};
  const GradientRandom scripted = [&](int n) {
    asked.push_back(n);
    return answers.at(asked.size() - 1);
  };
  PixelImage image;
  PaintGradient(40, 10, Color::Rgb(0, 0, 0), Color::Rgb(200, 0, 0), 3, 1, true, image, scripted);
  EXPECT_EQ(asked, (std::vector<int>{1, 2, 3, 4, 5, 1, 2, 3, 4, 5}));
  // Rows 3..5 take band 0's colour, row 6 keeps band 1's, rows 10 and 11 fall outside.
  EXPECT_EQ(RowReds(image), (std::vector<int>{0, 0, 0, 0, 0, 0, 100, 100, 200, 200}));
}

TEST(XPGradient, LeftToRightStylesAreTheTransposeOfTopToBottom) {
  for (int style : {0, 2}) {
    for (auto [w, h] : {std::pair{40, 7}, std::pair{5, 20}, std::pair{33, 33}}) {
      SCOPED_TRACE(std::to_string(style) + ": " + std::to_string(w) + "x" + std::to_string(h));
      PixelImage across;
      PixelImage down;
      PaintGradient(w, h, Color::Rgb(10, 200, 30), Color::Rgb(250, 0, 90), 9, style, true, across,
                    DefaultGradientRandom());
      PaintGradient(h, w, Color::Rgb(10, 200, 30), Color::Rgb(250, 0, 90), 9, style + 1, true, down,
                    DefaultGradientRandom());
      ASSERT_EQ(across.width, w);
      ASSERT_EQ(across.height, h);
      bool same = true;
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) same = same && At(across, x, y) == At(down, y, x);
      }
      EXPECT_TRUE(same);
    }
  }
}

TEST(XPGradient, DegenerateInputsAndRepaintingInPlace) {
  PixelImage image;
  PaintGradient(30, 20, Color::Rgb(1, 2, 3), Color::Rgb(200, 100, 50), 255, 1, true, image, DefaultGradientRandom());
  const std::uint32_t* storage = image.pixels.data();
  PaintGradient(30, 20, Color::Rgb(9, 9, 9), Color::Rgb(90, 90, 90), 16, 3, true, image, DefaultGradientRandom());
  EXPECT_EQ(image.pixels.data(), storage) << "a repaint of the same size must reuse the pixels";

  // One step or fewer: the start colour throughout, with no division by zero.
  for (int steps : {1, 0, -3}) {
    PaintGradient(4, 3, Color::Rgb(1, 2, 3), Color::Rgb(200, 100, 50), steps, 1, true, image, NoRandom());
    EXPECT_EQ(image.pixels, std::vector<std::uint32_t>(12, 0xFF010203u)) << steps;
  }
  for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-2, 5}}) {
    PaintGradient(w, h, Color::Rgb(1, 2, 3), Color::Rgb(4, 5, 6), 16, 1, true, image, NoRandom());
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_TRUE(image.pixels.empty());
  }
}

TEST(XPGradient, DefaultRandomIsAFixedSeedGeneratorInRange) {
  GradientRandom first = DefaultGradientRandom();
  std::vector<int> values;
  for (int i = 0; i < 6; ++i) values.push_back(first(1000));
  EXPECT_EQ(values, (std::vector<int>{0, 31, 861, 202, 272, 671}));
  GradientRandom second = DefaultGradientRandom();
  EXPECT_EQ(second(1000), 0) << "every generator starts from the same seed";
  for (int n = 1; n < 200; ++n) {
    const int value = second(n);
    EXPECT_TRUE(value >= 0 && value < n) << value << " of " << n;
  }
}

// ---- glyphs ----

constexpr std::uint32_t kFuchsia = 0xFFFF00FFu;

// Pixel art: F fuchsia, K black, N grey 191 (dark enough to grey), S silver 192 (too
// light), W white, R red, '.' a pixel of alpha 0.
PixelImage Art(std::vector<std::string_view> rows) {
  PixelImage image{static_cast<int>(rows.front().size()), static_cast<int>(rows.size()), {}};
  for (std::string_view row : rows) {
    for (char c : row) {
      switch (c) {
        case 'F': image.pixels.push_back(kFuchsia); break;
        case 'K': image.pixels.push_back(0xFF000000u); break;
        case 'N': image.pixels.push_back(0xFFBFBFBFu); break;
        case 'S': image.pixels.push_back(0xFFC0C0C0u); break;
        case 'W': image.pixels.push_back(0xFFFFFFFFu); break;
        case 'R': image.pixels.push_back(0xFFFF0000u); break;
        default: image.pixels.push_back(0x00123456u); break;
      }
    }
  }
  return image;
}

PixelImage Solid(int width, int height, std::uint32_t pixel) {
  return PixelImage{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), pixel)};
}

// The raster as characters: '.' the background, legend letters, '?' anything else.
std::vector<std::string> Render(const RecordingSurface& surface, Color background,
                                const std::vector<std::pair<Color, char>>& legend) {
  std::vector<std::string> rows;
  for (int y = 0; y < surface.rasterHeight; ++y) {
    std::string row;
    for (int x = 0; x < surface.rasterWidth; ++x) {
      const Color c = surface.PixelAt(x, y);
      char shown = c == background ? '.' : '?';
      for (const auto& [color, letter] : legend) {
        if (c == color) shown = letter;
      }
      row += shown;
    }
    rows.push_back(row);
  }
  return rows;
}

// Two cells; the second (a separate "disabled" picture) must never show.
PixelImage TwoCellArt() {
  return Art({"FKF.KKKK",  //
              "FNWFKKKK",  //
              "KKSKKKKK",  //
              "FFFFKKKK"});
}

TEST(XPGlyph, CellCountFollowsTheBitmapShape) {
  struct Case {
    int width, height, before, after;
  };
  const Case cases[] = {
      {32, 16, 1, 2}, {64, 16, 1, 4}, {16, 16, 3, 1}, {100, 20, 2, 1}, {30, 20, 3, 3}, {0, 16, 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    TXPBGlyph glyph;
    glyph.SetNumGlyphs(c.before);
    glyph.SetGlyph(Solid(c.width, c.height, 0xFF000000u));
    EXPECT_EQ(glyph.NumGlyphs(), c.after);
    const int index = glyph.ImageForState(TButtonState::bsUp);
    if (c.width == 0) {
      EXPECT_EQ(index, -1);
      continue;
    }
    ASSERT_GE(index, 0);
    const TXPGlyphL& list = GlyphCache()->ListForSize(c.width / c.after, c.height);
    EXPECT_EQ(list.Image(index).width, c.width / c.after);
    EXPECT_EQ(list.Image(index).height, c.height);
  }
}

TEST(XPGlyph, DisabledDrawsTheFirstCellGreyedAndUpDrawsItMasked) {
  TXPBGlyph glyph;
  glyph.SetGlyph(TwoCellArt());
  ASSERT_EQ(glyph.NumGlyphs(), 2);
  EXPECT_EQ(glyph.TransparentColor(), Color::Rgb(255, 0, 255));

  RecordingSurface surface;
  surface.StartRaster(10, 7, clGray);
  glyph.DrawGlyph(surface, Point{2, 2}, TButtonState::bsDisabled);
  EXPECT_EQ(Render(surface, clGray, {{clBtnShadow, 's'}, {clBtnHighlight, 'h'}}),
            (std::vector<std::string>{"..........",  //
                                      "..........",  //
                                      "...s......",  //
                                      "...sh.....",  //
                                      "..sshs....",  //
                                      "...hh.h...",  //
                                      ".........."}));
  EXPECT_EQ(surface.fills.size(), 8u) << "four runs, each drawn twice";
  EXPECT_TRUE(surface.images.empty());

  RecordingSurface plain;
  plain.StartRaster(10, 7, clGray);
  glyph.DrawGlyph(plain, Point{2, 2}, TButtonState::bsUp);
  EXPECT_EQ(Render(plain, clGray,
                   {{clBlack, 'K'}, {Color::Rgb(191, 191, 191), 'N'}, {clSilver, 'S'}, {clWhite, 'W'}}),
            (std::vector<std::string>{"..........",  //
                                      "..........",  //
                                      "...K......",  //
                                      "...NW.....",  //
                                      "..KKSK....",  //
                                      "..........",  //
                                      ".........."}));
}

TEST(XPGlyph, ImagesAreCutOncePerStateFromTheFirstCell) {
  TXPBGlyph empty;
  EXPECT_EQ(empty.ImageForState(TButtonState::bsUp), -1);
  RecordingSurface surface;
  empty.DrawGlyph(surface, Point{0, 0}, TButtonState::bsDisabled);
  EXPECT_TRUE(surface.fills.empty() && surface.images.empty());

  TXPBGlyph two;
  two.SetGlyph(TwoCellArt());
  const int up = two.ImageForState(TButtonState::bsUp);
  EXPECT_EQ(two.ImageForState(TButtonState::bsUp), up);
  EXPECT_EQ(two.ImageForState(TButtonState::bsDown), up) << "with two cells down shows the up image";
  const int exclusive = two.ImageForState(TButtonState::bsExclusive);
  EXPECT_NE(exclusive, up);

  TXPBGlyph three;
  three.SetGlyph(Art({"KRRWWW", "FRRWWW"}));
  ASSERT_EQ(three.NumGlyphs(), 3);
  const int threeUp = three.ImageForState(TButtonState::bsUp);
  const int threeDown = three.ImageForState(TButtonState::bsDown);
  EXPECT_NE(threeDown, threeUp);
  const TXPGlyphL& list = GlyphCache()->ListForSize(2, 2);
  EXPECT_EQ(list.Image(threeDown).pixels, list.Image(threeUp).pixels);
  EXPECT_EQ(list.Image(threeDown).pixels, (std::vector<std::uint32_t>{0xFF000000u, 0xFFFF0000u, 0u, 0xFFFF0000u}));
}

TEST(XPGlyph, GlyphsOfOneSizeShareAListThatGoesWithTheLastImage) {
  ASSERT_EQ(GlyphCache(), nullptr) << "another test left a glyph or a list behind";
  {
    TXPBGlyph idle;
    ASSERT_NE(GlyphCache(), nullptr);
    {
      auto a = std::make_unique<TXPBGlyph>();
      auto b = std::make_unique<TXPBGlyph>();
      auto wide = std::make_unique<TXPBGlyph>();
      a->SetGlyph(Solid(16, 16, 0xFF000000u));
      b->SetGlyph(Solid(16, 16, 0xFFFF0000u));
      wide->SetGlyph(Solid(32, 16, 0xFF0000FFu));
      wide->SetNumGlyphs(1);
      a->ImageForState(TButtonState::bsUp);
      b->ImageForState(TButtonState::bsUp);
      b->ImageForState(TButtonState::bsDisabled);
      wide->ImageForState(TButtonState::bsUp);
      TXPGlyphC* cache = GlyphCache();
      EXPECT_EQ(cache->ListCount(), 2);
      TXPGlyphL& shared = cache->ListForSize(16, 16);
      EXPECT_EQ(shared.UsedCount(), 3);

      a.reset();
      EXPECT_EQ(GlyphCache(), cache);
      EXPECT_EQ(shared.UsedCount(), 2);
      wide.reset();
      EXPECT_EQ(cache->ListCount(), 1);
      b.reset();
    }
    // The last image went with b: the cache was empty and went with it, although
    // `idle` (which never cut an image) still lives.
    EXPECT_EQ(GlyphCache(), nullptr);
    idle.SetGlyph(Solid(8, 8, 0xFF000000u));
    EXPECT_GE(idle.ImageForState(TButtonState::bsUp), 0);
    ASSERT_NE(GlyphCache(), nullptr) << "a cut brings the cache back";
  }
  EXPECT_EQ(GlyphCache(), nullptr);
}

TEST(XPGlyph, ImageListReusesFreedSlotsAndMasksTheGivenColour) {
  TXPGlyphL list(2, 1);
  const PixelImage art = Art({"FW"});
  EXPECT_EQ(list.AddGlyph(art, Color::Rgb(255, 0, 255)), 0);
  EXPECT_EQ(list.AddGlyph(art, clNone), 1);
  EXPECT_EQ(list.AddGlyph(Art({".W"}), Color::Rgb(255, 255, 255)), 2);
  EXPECT_EQ(list.Image(0).pixels, (std::vector<std::uint32_t>{0u, 0xFFFFFFFFu}));
  EXPECT_EQ(list.Image(1).pixels, (std::vector<std::uint32_t>{kFuchsia, 0xFFFFFFFFu})) << "clNone masks nothing";
  EXPECT_EQ(list.Image(2).pixels, (std::vector<std::uint32_t>{0u, 0u}));

  list.ReleaseSlot(1);
  list.ReleaseSlot(1);
  list.ReleaseSlot(7);
  list.ReleaseSlot(-1);
  EXPECT_EQ(list.UsedCount(), 2);
  EXPECT_EQ(list.AddGlyph(Art({"KK"}), clOlive), 1) << "the first free slot is reused";
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.AllocateSlot(), 3);
  EXPECT_EQ(list.UsedCount(), 4);
  EXPECT_EQ(list.Image(3).width, 2);

  // A bitmap of another size is cut to the list's size.
  EXPECT_EQ(list.AddGlyph(Art({"KRW", "KKK"}), clOlive), 4);
  EXPECT_EQ(list.Image(4).pixels, (std::vector<std::uint32_t>{0xFF000000u, 0xFFFF0000u}));
}

TEST(XPGlyph, ChangesReleaseTheImagesAndNotify) {
  TXPBGlyph glyph;
  int changes = 0;
  glyph.OnChange = [&] { ++changes; };
  glyph.SetGlyph(Art({"KK", "RW"}));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(glyph.TransparentColor(), Color::Rgb(255, 0, 0));
  glyph.ImageForState(TButtonState::bsUp);
  ASSERT_EQ(GlyphCache()->ListForSize(2, 2).UsedCount(), 1);

  glyph.SetNumGlyphs(0);
  glyph.SetNumGlyphs(1);
  EXPECT_EQ(changes, 1) << "zero and the same count change nothing";
  EXPECT_EQ(GlyphCache()->ListCount(), 1);
  glyph.SetNumGlyphs(2);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(glyph.CellSize(), (Point{1, 2}));
  EXPECT_EQ(GlyphCache()->ListCount(), 0) << "the released list went back to the cache";
  glyph.SetNumGlyphs(9);
  EXPECT_EQ(glyph.NumGlyphs(), 4);

  // A transparent bottom-left pixel keeps the colour taken before.
  glyph.SetGlyph(Art({"KK", ".W"}));
  EXPECT_EQ(glyph.TransparentColor(), Color::Rgb(255, 0, 0));
  glyph.GlyphChanged();
  EXPECT_EQ(changes, 5);
  EXPECT_THROW(glyph.SetGlyph(PixelImage{4, 4, std::vector<std::uint32_t>(3)}), std::invalid_argument);
}

// ---- layout ----

TEST(XPLayout, PlacesGlyphAndCaptionByLayoutMarginAndSpacing) {
  // Glyph 16 x 16, caption "Ab" 16 x 15, press offset (1, 1).
  struct Case {
    const char* name;
    Rect client;
    TButtonLayout layout;
    int margin, spacing;
    bool rightToLeft, withGlyph;
    const char* caption;
    Point glyphPos;
    Rect text;
  };
  const Rect client{10, 20, 70, 60};  // 60 x 40
  const Case cases[] = {
      {"left, centred", client, TButtonLayout::blGlyphLeft, -1, 4, false, true, "Ab", {23, 33}, {42, 33, 58, 48}},
      {"right", client, TButtonLayout::blGlyphRight, 2, 4, false, true, "Ab", {53, 33}, {32, 33, 48, 48}},
      {"left read right to left", client, TButtonLayout::blGlyphLeft, 2, 4, true, true, "Ab", {53, 33},
       {32, 33, 48, 48}},
      {"right read right to left", client, TButtonLayout::blGlyphRight, 2, 4, true, true, "Ab", {13, 33},
       {32, 33, 48, 48}},
      {"top, thirds", client, TButtonLayout::blGlyphTop, -1, -1, false, true, "Ab", {33, 24}, {32, 42, 48, 57}},
      {"bottom, free spacing", client, TButtonLayout::blGlyphBottom, 5, -1, false, true, "Ab", {33, 40},
       {32, 22, 48, 37}},
      {"no caption", client, TButtonLayout::blGlyphLeft, -1, 4, false, true, "", {33, 33}, {48, 40, 48, 40}},
      {"no glyph", client, TButtonLayout::blGlyphLeft, -1, -1, false, false, "Ab", {33, 41}, {32, 33, 48, 48}},
      {"too narrow: thirds of -13", Rect{0, 0, 19, 40}, TButtonLayout::blGlyphLeft, -1, -1, false, true, "Ab",
       {-3, 13}, {8, 13, 24, 28}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TXPBGlyph glyph;
    if (c.withGlyph) glyph.SetGlyph(Solid(16, 16, 0xFF000000u));
    RecordingSurface surface;
    const ButtonLayout placed =
        CalcLayout(glyph, surface, c.client, Point{1, 1}, c.caption, c.layout, c.margin, c.spacing, c.rightToLeft);
    EXPECT_EQ(placed.glyphPos, c.glyphPos);
    EXPECT_EQ(placed.textBounds, c.text);
    EXPECT_TRUE(surface.formatted.empty()) << "measuring draws nothing";
  }
}

TEST(XPLayout, DrawButtonPutsGlyphAndCaptionWhereLaidOut) {
  TXPBGlyph glyph;
  PixelImage picture = Solid(16, 16, 0xFF000000u);
  picture.pixels[15 * 16] = kFuchsia;  // the bottom-left pixel names the transparent colour
  glyph.SetGlyph(picture);
  const Rect client{10, 20, 70, 60};
  const unsigned centred = textformat::Center | textformat::VCenter;

  RecordingSurface surface;
  const Rect text = DrawButton(glyph, surface, client, Point{1, 1}, "Ab", TButtonLayout::blGlyphLeft, -1, 4,
                               TButtonState::bsDown, textformat::RtlReading, clWindowText, false);
  EXPECT_EQ(text, (Rect{42, 33, 58, 48}));
  ASSERT_EQ(surface.images.size(), 1u);
  EXPECT_EQ((Point{surface.images[0].x, surface.images[0].y}), (Point{23, 33}));
  ASSERT_EQ(surface.formatted.size(), 1u);
  EXPECT_EQ(surface.formatted[0].rect, text);
  EXPECT_EQ(surface.formatted[0].color, clWindowText);
  EXPECT_EQ(surface.formatted[0].format, textformat::RtlReading | centred);

  RecordingSurface disabled;
  DrawButton(glyph, disabled, client, Point{0, 0}, "Ab", TButtonLayout::blGlyphLeft, -1, 4, TButtonState::bsDisabled,
             0, clWindowText, false);
  EXPECT_TRUE(disabled.images.empty());
  ASSERT_FALSE(disabled.fills.empty());
  // The last shadow run: the glyph's bottom row but its transparent first pixel.
  EXPECT_EQ(disabled.fills.back().rect, (Rect{23, 47, 38, 48}));
  ASSERT_EQ(disabled.formatted.size(), 2u);
  EXPECT_EQ(disabled.formatted[0].rect, (Rect{43, 34, 59, 49}));
  EXPECT_EQ(disabled.formatted[0].color, clBtnHighlight);
  EXPECT_EQ(disabled.formatted[1].rect, (Rect{42, 33, 58, 48}));
  EXPECT_EQ(disabled.formatted[1].color, clBtnShadow);
  EXPECT_EQ(disabled.formatted[1].format, centred);

  RecordingSurface silent;
  DrawCaption(silent, "", Rect{0, 0, 50, 20}, TButtonState::bsDisabled, 0, clWindowText);
  EXPECT_TRUE(silent.formatted.empty());
}

}  // namespace
}  // namespace vantorel
