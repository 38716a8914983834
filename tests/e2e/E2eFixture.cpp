#include "E2eFixture.h"

#include <filesystem>
#include <fstream>
#include <chrono>
#include <iterator>
#include <thread>

#include <unistd.h>

namespace vantorel::e2e {

std::optional<Image> E2eTest::EditorShot() {
  const std::optional<ScreenRect> client = ParseRect(wine.Ask({"client", "editor"}));
  if (!client) return std::nullopt;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  return Capture(*client);
}

std::optional<Image> E2eTest::Capture(const ScreenRect& part) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("vantorel-capture-" + std::to_string(::getpid()) + ".ppm");
  if (!wine.Screenshot(file, part)) return std::nullopt;
  struct Remove {
    std::filesystem::path file;
    ~Remove() {
      std::error_code ignored;
      std::filesystem::remove(file, ignored);
    }
  } removeAfterReading{file};
  std::ifstream in(file, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  Image image;
  in >> magic >> image.width >> image.height >> maxValue;
  in.get();
  if (magic != "P6" || (maxValue != 255 && maxValue != 65535) || image.width <= 0 || image.height <= 0) {
    return std::nullopt;
  }
  // ImageMagick may write 16 bits a sample (most significant byte first); keep the high byte.
  const std::size_t samples = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3;
  const std::size_t width = maxValue == 255 ? 1 : 2;
  std::vector<std::uint8_t> raw(samples * width);
  in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
  if (!in) return std::nullopt;
  image.rgb.resize(samples);
  for (std::size_t i = 0; i < samples; ++i) image.rgb[i] = raw[i * width];
  return image;
}

}  // namespace vantorel::e2e
