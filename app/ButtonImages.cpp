#include "app/ButtonImages.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace vantorel {
namespace {

struct PaletteEntry {
  char symbol;
  std::uint32_t argb;
};

// Colours of the classic sixteen-colour Windows tool bars, plus a warmer folder
// yellow, so the pictures sit well on a grey button face.
constexpr PaletteEntry kPalette[] = {
    {'.', 0x00000000u},  // transparent
    {'k', 0xFF000000u},  // black
    {'w', 0xFFFFFFFFu},  // white
    {'g', 0xFFC0C0C0u},  // light grey
    {'G', 0xFF808080u},  // dark grey
    {'y', 0xFFE0C040u},  // folder yellow
    {'Y', 0xFFFFF080u},  // light yellow
    {'o', 0xFF808000u},  // dark yellow
    {'b', 0xFF000080u},  // dark blue
    {'r', 0xFFFF0000u},  // red
    {'R', 0xFF800000u},  // dark red
    {'n', 0xFF00C000u},  // green
    {'N', 0xFF008000u},  // dark green
};

constexpr int kMaxRows = 16;

struct ImageArt {
  ButtonImageId id;
  // Rows top to bottom; the rows past the image's height stay empty.
  std::array<std::string_view, kMaxRows> rows;
};

// Listed in the order of ButtonImageId.
constexpr ImageArt kImages[] = {
    {ButtonImageId::Open,
     {
         "................",
         "................",
         "................",
         ".kkkkk..........",
         "kwYYYwk.........",
         "kYyyyyykkkkkkk..",
         "kyyyyyyyyyyyyk..",
         "kyyyyyyyyyyyyk..",
         "kyyykkkkkkkkkkkk",
         "kyyykYYYYYYYYYYk",
         "kyykYYYYYYYYYYk.",
         "kyykYYYYYYYYYYk.",
         "kykYYYYYYYYYYk..",
         "kykYYYYYYYYYYk..",
         "kkkkkkkkkkkkkk..",
         "................",
     }},
    {ButtonImageId::New,
     {
         "................",
         "..kkkkkkkk......",
         "..kwwwwwwkk.....",
         "..kwwwwwwkgk....",
         "..kwwwwwwkggk...",
         "..kwwwwwwkkkkk..",
         "..kwwwwwwwwwwk..",
         "..kwwwwwwwwwwk..",
         "..kwwwwwwwwwwk..",
         "..kwwwwwwwwwwk..",
         "..kwwwwwwwwwwk..",
         "..kwwwwwwwwwwk..",
         "..kwwwwwwwwwwk..",
         "..kwwwwwwwwwwk..",
         "..kkkkkkkkkkkk..",
         "................",
     }},
    {ButtonImageId::Save,
     {
         "................",
         ".kkkkkkkkkkkkkk.",
         ".kbkwwwwwwwwkbk.",
         ".kbkwwwwwwwwkbk.",
         ".kbkwGGGGGGwkbk.",
         ".kbkwwwwwwwwkbk.",
         ".kbkwGGGGGGwkbk.",
         ".kbbkkkkkkkkbbk.",
         ".kbbbbbbbbbbbbk.",
         ".kbbbbbbbbbbbbk.",
         ".kbbbggggggbbbk.",
         ".kbbbggGGggbbbk.",
         ".kbbbggGGggbbbk.",
         ".kbbbggggggbbbk.",
         ".kkkkkkkkkkkkkk.",
         "................",
     }},
    {ButtonImageId::SaveAs,
     {
         "kkkkkkkkkkkk....",
         "kbkwwwwwwkbk....",
         "kbkwGGGGwkbk....",
         "kbkwwwwwwkbk....",
         "kbkwGGGGwkbk....",
         "kbbkkkkkkbbk....",
         "kbbbbbbbbbbk....",
         "kbbbbbbbbbbk.kk.",
         "kbbggggggbbkkrrk",
         "kbbggGGggbbkrrk.",
         "kbbggGGggbkYYk..",
         "kkkkkkkkkkYYk...",
         ".........kYYk...",
         "........kwwk....",
         "........kwk.....",
         "........kk......",
     }},
    {ButtonImageId::Settings,
     {
         "......kkkk......",
         "......kwgk......",
         "..kk..kwgk..kk..",
         ".kwgkkkggkkkgGk.",
         ".kgggggggggggGk.",
         "..kggggkkgggGk..",
         "kkkgggk..kgGGkkk",
         "kwgggk....kGGGGk",
         "kwgggk....kGGGGk",
         "kkkgggk..kGGGkkk",
         "..kgggGkkGGGGk..",
         ".kgggGGGGGGGGGk.",
         ".kgGkkkGGkkkGGk.",
         "..kk..kGGk..kk..",
         "......kGGk......",
         "......kkkk......",
     }},
    {ButtonImageId::Compile,
     {
         "................",
         "................",
         "................",
         "GGGGGGGGG.......",
         "GrrrrrrrG.......",
         "GRRRRRRRG.......",
         "GGGGGGGGGGGGGGGG",
         "GrrrGrrrrrrrGrrG",
         "GRRRGRRRRRRRGRRG",
         "GGGGGGGGGGGGGGGG",
         "GrrrrrrrGrrrrrrG",
         "GRRRRRRRGRRRRRRG",
         "GGGGGGGGGGGGGGGG",
         "GrrrGrrrrrrrGrrG",
         "GRRRGRRRRRRRGRRG",
         "GGGGGGGGGGGGGGGG",
     }},
    {ButtonImageId::Run,
     {
         "................",
         "................",
         "...kk...........",
         "...knkk.........",
         "...knnnkk.......",
         "...knnnnnkk.....",
         "...knnnnnnnkk...",
         "...knnnnnnnnnk..",
         "...kNNNNNNNNNk..",
         "...kNNNNNNNkk...",
         "...kNNNNNkk.....",
         "...kNNNkk.......",
         "...kNkk.........",
         "...kk...........",
         "................",
         "................",
     }},
    {ButtonImageId::Copy,
     {
         "................",
         ".kkkkkkkk.......",
         ".kwwwwwwk.......",
         ".kwbbbbwk.......",
         ".kwwwwwwk.......",
         ".kwbbbkkkkkkkkk.",
         ".kwwwwkwwwwwwwk.",
         ".kwbbbkwbbbbbwk.",
         ".kwwwwkwwwwwwwk.",
         ".kkkkkkwbbbbbwk.",
         "......kwwwwwwwk.",
         "......kwbbbbbwk.",
         "......kwwwwwwwk.",
         "......kwbbbbbwk.",
         "......kwwwwwwwk.",
         "......kkkkkkkkk.",
     }},
    {ButtonImageId::Cut,
     {
         "....k.....k.....",
         "....kk....k.....",
         ".....k...kk.....",
         ".....kk..k......",
         "......k.kk......",
         "......kkk.......",
         ".......k........",
         "......kGk.......",
         "......k.kk......",
         "...bbbk..kbbb...",
         "..b..kb..b...b..",
         ".b....b..b....b.",
         ".b....b..b....b.",
         ".b....b..b....b.",
         "..b..b....b..b..",
         "...bb......bb...",
     }},
    {ButtonImageId::Paste,
     {
         "....kkkkk.......",
         "kkkkgggggkkkk...",
         "kooGkkkkkGook...",
         "koooooooooook...",
         "koooooooooook...",
         "kooooookkkkkkkkk",
         "kooooookwwwwwwwk",
         "kooooookwGGGGGwk",
         "kooooookwwwwwwwk",
         "kooooookwGGGGGwk",
         "kooooookwwwwwwwk",
         "kooooookwGGGGGwk",
         "kooooookwwwwwwwk",
         "kkkkkkkkwGGGGGwk",
         ".......kwwwwwwwk",
         ".......kkkkkkkkk",
     }},
    {ButtonImageId::Delete,
     {
         "................",
         "................",
         "..rr........rr..",
         "..rrr......rrr..",
         "...rrr....rrr...",
         "....rrr..rrr....",
         ".....rrrrrr.....",
         "......rrrr......",
         "......rrrr......",
         ".....rrrrrr.....",
         "....rrr..rrr....",
         "...rrr....rrr...",
         "..rrr......rrr..",
         "..rr........rr..",
         "................",
         "................",
     }},
    {ButtonImageId::Undo,
     {
         "................",
         "................",
         "................",
         "...b............",
         "..bb............",
         ".bbbbbbbbbb.....",
         "bbbbbbbbbbbbb...",
         ".bbbbbbbbbbbbb..",
         "..bb.......bbbb.",
         "...b........bbb.",
         "............bbb.",
         "............bbb.",
         "...........bbb..",
         "..........bbb...",
         ".........bb.....",
         "................",
     }},
    {ButtonImageId::Edit,
     {
         "................",
         "................",
         "................",
         "kkkkkkkkkkkkkkkk",
         "kwwwwwwwwwwwwwwk",
         "kwwwwwwkwwwwkwwk",
         "kwwkkkwkwwwwkwwk",
         "kwwwwkwkkkwwkwwk",
         "kwwkkkwkwkwwkwwk",
         "kwwkwkwkwkwwkwwk",
         "kwwkkkwkkkwwkwwk",
         "kwwwwwwwwwwwwwwk",
         "kkkkkkkkkkkkkkkk",
         "................",
         "................",
         "................",
     }},
    {ButtonImageId::ListBox,
     {
         "................",
         "kkkkkkkkkkkkkkkk",
         "kwwwwwwwwwkggggk",
         "kwGGGGGGwwkgkkgk",
         "kwwwwwwwwwkkkkkk",
         "kbbbbbbbbbkggggk",
         "kbwwwwwwbbkGGGGk",
         "kbbbbbbbbbkGGGGk",
         "kwwwwwwwwwkggggk",
         "kwGGGGGwwwkggggk",
         "kwwwwwwwwwkggggk",
         "kwGGGGGGGwkkkkkk",
         "kwwwwwwwwwkgkkgk",
         "kwwwwwwwwwkggggk",
         "kkkkkkkkkkkkkkkk",
         "................",
     }},
    {ButtonImageId::Button,
     {
         "................",
         "................",
         "................",
         "wwwwwwwwwwwwwwwk",
         "wgggggggggggggGk",
         "wgggkkkgkgkgggGk",
         "wgggkgkgkgkgggGk",
         "wgggkgkgkkggggGk",
         "wgggkgkgkgkgggGk",
         "wgggkkkgkgkgggGk",
         "wgggggggggggggGk",
         "wGGGGGGGGGGGGGGk",
         "kkkkkkkkkkkkkkkk",
         "................",
         "................",
         "................",
     }},
    {ButtonImageId::CheckBox,
     {
         "................",
         "................",
         "..GGGGGGGGGGGw..",
         "..Gkkkkkkkkkgw..",
         "..Gkwwwwwwwwgw..",
         "..Gkwwwwwwkwgw..",
         "..Gkwwwwwkkwgw..",
         "..Gkwkwwkkkwgw..",
         "..Gkwkkkkkwwgw..",
         "..Gkwkkkkwwwgw..",
         "..Gkwwkkwwwwgw..",
         "..Gkwwwkwwwwgw..",
         "..Gkwwwwwwwwgw..",
         "..Gggggggggggw..",
         "..wwwwwwwwwwww..",
         "................",
     }},
    {ButtonImageId::RadioButton,
     {
         "................",
         "................",
         "......GGGG......",
         "....GGkkkkGG....",
         "...Gkkwwwwkkw...",
         "...Gkwwwwwwgw...",
         "..Gkwwwkkwwwgw..",
         "..Gkwwkkkkwwgw..",
         "..Gkwwkkkkwwgw..",
         "..Gkwwwkkwwwgw..",
         "...Gkwwwwwwgw...",
         "...Gggwwwwggw...",
         "....wwggggww....",
         "......wwww......",
         "................",
         "................",
     }},
    {ButtonImageId::ComboBox,
     {
         "................",
         "................",
         "................",
         "kkkkkkkkkkkkkkkk",
         "kwwwwwwwwwwwwwGk",
         "kwwwwwwwwgggggGk",
         "kwkkkkkwwgggggGk",
         "kwwwwwwwwkkkkkGk",
         "kwkkkkwwwgkkkgGk",
         "kwwwwwwwwggkggGk",
         "kwwwwwwwwgggggGk",
         "kwwwwwwwGGGGGGGk",
         "kkkkkkkkkkkkkkkk",
         "................",
         "................",
         "................",
     }},
    {ButtonImageId::Scroll,
     {
         "....kkkkkkk.....",
         "....kgggggk.....",
         "....kggkggk.....",
         "....kgkkkgk.....",
         "....kgggggk.....",
         "....kkkkkkk.....",
         "....kwGwGwk.....",
         "....kGkkkGk.....",
         "....kgwwwGk.....",
         "....kGGGGGk.....",
         "....kwGwGwk.....",
         "....kkkkkkk.....",
         "....kgggggk.....",
         "....kgkkkgk.....",
         "....kggkggk.....",
         "....kkkkkkk.....",
     }},
    {ButtonImageId::EventsArrow,
     {
         "kkkkkkk.",
         ".kkkkk..",
         "..kkk...",
         "...k....",
         "........",
     }},
    {ButtonImageId::PickFolder,
     {
         "................",
         "................",
         ".kkkkk..........",
         "kYYYYYk.........",
         "kYyyyyykkkkkkk..",
         "kyyyyyyyyyyyyk..",
         "kyyyyyyyyyyyyk..",
         "kyyyyyyyyyyyyk..",
         "kyyyyyyyyyyyyk..",
         "kyyyyyyyyyyyyk..",
         "koooooooooooook.",
         "kkkkkkkkkkkkkkk.",
         "................",
         "....kk.kk.kk....",
         "....kk.kk.kk....",
         "................",
     }},
    {ButtonImageId::PickFile,
     {
         "................",
         "..kkkkkkkk......",
         "..kwwwwwwkk.....",
         "..kwwwwwwkgk....",
         "..kwbbbbwkkkk...",
         "..kwwwwwwwwwk...",
         "..kwbbbbbbbwk...",
         "..kwwwwwwwwwk...",
         "..kwbbbbbbbwk...",
         "..kwwwwwwwwwk...",
         "..kkkkkkkkkkk...",
         "................",
         "................",
         "....kk.kk.kk....",
         "....kk.kk.kk....",
         "................",
     }},
};

static_assert(std::size(kImages) == static_cast<std::size_t>(ButtonImageId::Count),
              "every button image needs its art");

std::uint32_t PaletteColor(char symbol) {
  for (const PaletteEntry& entry : kPalette) {
    if (entry.symbol == symbol) return entry.argb;
  }
  throw std::logic_error(std::string("pixel art: unknown palette character '") + symbol + "'");
}

}  // namespace

PixelImage DecodePixelArt(std::span<const std::string_view> rows, int width, int height) {
  if (width <= 0 || height <= 0) throw std::logic_error("pixel art: the size must be positive");
  if (rows.size() != static_cast<std::size_t>(height)) {
    throw std::logic_error("pixel art: expected " + std::to_string(height) + " rows, got " +
                           std::to_string(rows.size()));
  }
  PixelImage image;
  image.width = width;
  image.height = height;
  image.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::size_t y = 0; y < rows.size(); ++y) {
    const std::string_view row = rows[y];
    if (row.size() != static_cast<std::size_t>(width)) {
      throw std::logic_error("pixel art: row " + std::to_string(y) + " has " +
                             std::to_string(row.size()) + " pixels, expected " +
                             std::to_string(width));
    }
    for (char symbol : row) image.pixels.push_back(PaletteColor(symbol));
  }
  return image;
}

PixelImage LoadButtonImage(ButtonImageId id) {
  const auto index = static_cast<std::size_t>(id);
  if (index >= std::size(kImages)) throw std::logic_error("button image: no image for this id");
  const ImageArt& art = kImages[index];
  if (art.id != id) throw std::logic_error("button image: the table is out of order");

  // Only the first rows are filled for images shorter than the table allows; a
  // missing row in the middle ends the count early and fails the height check.
  std::size_t rowCount = 0;
  while (rowCount < art.rows.size() && !art.rows[rowCount].empty()) ++rowCount;
  for (std::size_t y = rowCount; y < art.rows.size(); ++y) {
    if (!art.rows[y].empty()) throw std::logic_error("button image: an empty row inside the art");
  }

  const bool arrow = id == ButtonImageId::EventsArrow;
  return DecodePixelArt(std::span(art.rows.data(), rowCount), arrow ? 8 : 16, arrow ? 5 : 16);
}

PixelImage DisabledImage(const PixelImage& image) {
  PixelImage result = image;
  for (std::uint32_t& pixel : result.pixels) {
    const std::uint32_t alpha = pixel >> 24;
    if (alpha == 0) continue;
    const std::uint32_t r = (pixel >> 16) & 0xFFu;
    const std::uint32_t g = (pixel >> 8) & 0xFFu;
    const std::uint32_t b = pixel & 0xFFu;
    const std::uint32_t luminance = (299 * r + 587 * g + 114 * b) / 1000;  // 0..255
    const std::uint32_t grey = 0x80u + luminance * 0x40u / 255u;           // 0x80..0xC0
    pixel = (alpha << 24) | (grey << 16) | (grey << 8) | grey;
  }
  return result;
}

PixelImage BlendOntoFace(const PixelImage& image, Color face) {
  if (face.IsSystem() || face == clNone) throw std::invalid_argument("button image: the face colour is not RGB");
  // Color holds 0x00BBGGRR, as COLORREF does.
  const std::uint32_t faceChannel[] = {(face.value >> 16) & 0xFFu, (face.value >> 8) & 0xFFu, face.value & 0xFFu};
  PixelImage result = image;
  for (std::uint32_t& pixel : result.pixels) {
    const std::uint32_t alpha = pixel >> 24;
    std::uint32_t blended = 0xFF000000u;
    for (int i = 0; i < 3; ++i) {  // blue, green, red
      const int shift = 8 * i;
      const std::uint32_t channel = (pixel >> shift) & 0xFFu;
      blended |= ((channel * alpha + faceChannel[i] * (255 - alpha)) / 255) << shift;
    }
    pixel = blended;
  }
  return result;
}

}  // namespace vantorel
