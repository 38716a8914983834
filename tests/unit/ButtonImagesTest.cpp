#include "app/ButtonImages.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {
namespace {

std::vector<ButtonImageId> AllIds() {
  std::vector<ButtonImageId> ids;
  for (int i = 0; i < static_cast<int>(ButtonImageId::Count); ++i) {
    ids.push_back(static_cast<ButtonImageId>(i));
  }
  return ids;
}

std::uint32_t Alpha(std::uint32_t pixel) { return pixel >> 24; }
std::uint32_t Red(std::uint32_t pixel) { return (pixel >> 16) & 0xFFu; }
std::uint32_t Green(std::uint32_t pixel) { return (pixel >> 8) & 0xFFu; }
std::uint32_t Blue(std::uint32_t pixel) { return pixel & 0xFFu; }

std::uint32_t At(const PixelImage& image, int x, int y) {
  return image.pixels[static_cast<std::size_t>(y * image.width + x)];
}

int OpaqueInRow(const PixelImage& image, int y) {
  int count = 0;
  for (int x = 0; x < image.width; ++x) count += Alpha(At(image, x, y)) != 0 ? 1 : 0;
  return count;
}

// Expects DecodePixelArt to refuse the rows, with a message naming the fault.
void ExpectRejected(std::vector<std::string_view> rows, int width, int height,
                    const std::string& messagePart) {
  try {
    DecodePixelArt(rows, width, height);
    ADD_FAILURE() << "accepted malformed art, expected an error about '" << messagePart << "'";
  } catch (const std::logic_error& error) {
    EXPECT_NE(std::string(error.what()).find(messagePart), std::string::npos) << error.what();
  }
}

TEST(ButtonImages, EveryIdDecodesToItsSize) {
  for (ButtonImageId id : AllIds()) {
    SCOPED_TRACE(static_cast<int>(id));
    const PixelImage image = LoadButtonImage(id);
    const bool arrow = id == ButtonImageId::EventsArrow;
    EXPECT_EQ(image.width, arrow ? 8 : 16);
    EXPECT_EQ(image.height, arrow ? 5 : 16);
    EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(image.width * image.height));
  }
}

TEST(ButtonImages, EveryImageHasAShapeOnATransparentBackground) {
  for (ButtonImageId id : AllIds()) {
    SCOPED_TRACE(static_cast<int>(id));
    const PixelImage image = LoadButtonImage(id);
    bool anyOpaque = false;
    for (std::uint32_t pixel : image.pixels) anyOpaque = anyOpaque || Alpha(pixel) == 0xFF;
    EXPECT_TRUE(anyOpaque) << "the image is empty";

    // The button face must show through somewhere on the border, or the picture
    // would look like a pasted tile instead of an icon.
    bool transparentEdge = false;
    for (int x = 0; x < image.width; ++x) {
      transparentEdge = transparentEdge || Alpha(At(image, x, 0)) == 0 ||
                        Alpha(At(image, x, image.height - 1)) == 0;
    }
    for (int y = 0; y < image.height; ++y) {
      transparentEdge = transparentEdge || Alpha(At(image, 0, y)) == 0 ||
                        Alpha(At(image, image.width - 1, y)) == 0;
    }
    EXPECT_TRUE(transparentEdge);
  }
}

TEST(ButtonImages, NoTwoButtonsShareAPicture) {
  const std::vector<ButtonImageId> ids = AllIds();
  for (std::size_t i = 0; i < ids.size(); ++i) {
    for (std::size_t j = i + 1; j < ids.size(); ++j) {
      EXPECT_NE(LoadButtonImage(ids[i]).pixels, LoadButtonImage(ids[j]).pixels)
          << "ids " << i << " and " << j;
    }
  }
}

TEST(ButtonImages, IdOutsideTheEnumerationIsRefused) {
  EXPECT_THROW(LoadButtonImage(ButtonImageId::Count), std::logic_error);
  EXPECT_THROW(LoadButtonImage(static_cast<ButtonImageId>(-1)), std::logic_error);
  EXPECT_THROW(LoadButtonImage(static_cast<ButtonImageId>(1000)), std::logic_error);
}

TEST(ButtonImages, EventsArrowPointsDown) {
  const PixelImage arrow = LoadButtonImage(ButtonImageId::EventsArrow);
  ASSERT_EQ(arrow.width, 8);
  ASSERT_EQ(arrow.height, 5);
  EXPECT_GT(OpaqueInRow(arrow, 0), OpaqueInRow(arrow, arrow.height - 1));
  for (int y = 1; y < arrow.height; ++y) {
    EXPECT_LE(OpaqueInRow(arrow, y), OpaqueInRow(arrow, y - 1)) << "row " << y;
  }
}

TEST(ButtonImages, DecoderReadsRowsTopToBottomAndDotAsTransparent) {
  const std::vector<std::string_view> rows = {"k.r", "wgk"};
  const PixelImage image = DecodePixelArt(rows, 3, 2);
  ASSERT_EQ(image.width, 3);
  ASSERT_EQ(image.height, 2);
  ASSERT_EQ(image.pixels.size(), 6u);
  EXPECT_EQ(image.pixels[0], 0xFF000000u);
  EXPECT_EQ(Alpha(image.pixels[1]), 0u);
  EXPECT_EQ(image.pixels[2], 0xFFFF0000u);
  EXPECT_EQ(image.pixels[3], 0xFFFFFFFFu);
  EXPECT_EQ(image.pixels[5], 0xFF000000u);
}

TEST(ButtonImages, DecoderRejectsTyposInTheArt) {
  ExpectRejected({"kk", "k"}, 2, 2, "row 1");        // a pixel lost
  ExpectRejected({"kkk", "kk"}, 2, 2, "row 0");      // a pixel too many
  ExpectRejected({"kk", "kZ"}, 2, 2, "'Z'");         // not in the palette
  ExpectRejected({"kk", "k "}, 2, 2, "' '");         // a space is not transparent
  ExpectRejected({"kk"}, 2, 2, "rows");              // a row lost
  ExpectRejected({"kk", "kk", "kk"}, 2, 2, "rows");  // a row too many
  ExpectRejected({}, 0, 0, "size");
}

TEST(ButtonImages, DisabledImageIsAGreyShapeWithTheSameAlpha) {
  for (ButtonImageId id : AllIds()) {
    SCOPED_TRACE(static_cast<int>(id));
    const PixelImage image = LoadButtonImage(id);
    const PixelImage disabled = DisabledImage(image);
    ASSERT_EQ(disabled.width, image.width);
    ASSERT_EQ(disabled.height, image.height);
    ASSERT_EQ(disabled.pixels.size(), image.pixels.size());
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
      const std::uint32_t pixel = disabled.pixels[i];
      EXPECT_EQ(Alpha(pixel), Alpha(image.pixels[i])) << "pixel " << i;
      if (Alpha(pixel) == 0) continue;
      EXPECT_EQ(Red(pixel), Green(pixel)) << "pixel " << i;
      EXPECT_EQ(Green(pixel), Blue(pixel)) << "pixel " << i;
      EXPECT_GE(Red(pixel), 0x80u) << "pixel " << i;
      EXPECT_LE(Red(pixel), 0xC0u) << "pixel " << i;
    }
  }
}

TEST(ButtonImages, DisabledImageKeepsPartialAlphaAndTheOrderOfLightness) {
  // Black, red, white and a half-transparent blue: the outline must stay darker
  // than the fill, or the disabled picture loses its shape.
  const PixelImage image{4, 1, {0xFF000000u, 0xFFFF0000u, 0xFFFFFFFFu, 0x800000FFu}};
  const PixelImage disabled = DisabledImage(image);
  ASSERT_EQ(disabled.pixels.size(), 4u);
  EXPECT_LT(Red(disabled.pixels[0]), Red(disabled.pixels[1]));
  EXPECT_LT(Red(disabled.pixels[1]), Red(disabled.pixels[2]));
  EXPECT_EQ(Alpha(disabled.pixels[3]), 0x80u);
  EXPECT_EQ(Red(disabled.pixels[3]), Blue(disabled.pixels[3]));

  EXPECT_TRUE(DisabledImage(PixelImage{}).pixels.empty());
}

// The face is the classic grey 0xD4D0C8 with distinct channels, so a swap of red and
// blue shows.
constexpr Color kFace = Color::Rgb(0xD4, 0xD0, 0xC8);

PixelImage OneRow(std::vector<std::uint32_t> pixels) {
  PixelImage image;
  image.width = static_cast<int>(pixels.size());
  image.height = 1;
  image.pixels = std::move(pixels);
  return image;
}

TEST(ButtonImages, BlendingMixesEachChannelWithTheFaceByAlpha) {
  const PixelImage blended = BlendOntoFace(OneRow({0x00123456u,     // transparent: the face
                                                   0xFF102030u,     // opaque: itself
                                                   0x80000000u,     // half black
                                                   0x80FFFFFFu,     // half white
                                                   0x01FF0000u}),   // nearly transparent red
                                           kFace);
  ASSERT_EQ(blended.pixels.size(), 5u);
  EXPECT_EQ(blended.width, 5);
  EXPECT_EQ(blended.pixels[0], 0xFFD4D0C8u);
  EXPECT_EQ(blended.pixels[1], 0xFF102030u);
  // 0xD4 * 127 / 255 = 105.58 -> 105, truncated
  EXPECT_EQ(blended.pixels[2], (0xFFu << 24) | (105u << 16) | (0xD0u * 127 / 255 << 8) | (0xC8u * 127 / 255));
  EXPECT_EQ(Red(blended.pixels[3]), (255u * 128 + 0xD4u * 127) / 255);
  EXPECT_EQ(Red(blended.pixels[4]), (255u + 0xD4u * 254) / 255);
  EXPECT_EQ(Green(blended.pixels[4]), 0xD0u * 254 / 255);
  for (std::uint32_t pixel : blended.pixels) EXPECT_EQ(Alpha(pixel), 0xFFu);
}

TEST(ButtonImages, BlendingEveryButtonKeepsItsOpaquePixelsAndShowsTheFaceElsewhere) {
  for (ButtonImageId id : AllIds()) {
    const PixelImage image = LoadButtonImage(id);
    const PixelImage blended = BlendOntoFace(image, kFace);
    ASSERT_EQ(blended.pixels.size(), image.pixels.size());
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
      const std::uint32_t p = image.pixels[i];
      if (Alpha(p) == 0xFF) {
        EXPECT_EQ(blended.pixels[i], p);
      } else if (Alpha(p) == 0) {
        EXPECT_EQ(blended.pixels[i], 0xFFD4D0C8u);
      }
    }
  }
}

TEST(ButtonImages, BlendingNeedsAnRgbFace) {
  const PixelImage image = OneRow({0xFF000000u});
  EXPECT_THROW(BlendOntoFace(image, clBtnFace), std::invalid_argument);
  EXPECT_THROW(BlendOntoFace(image, clNone), std::invalid_argument);
}

}  // namespace
}  // namespace vantorel
