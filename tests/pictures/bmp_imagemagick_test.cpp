// Cross-check against a second encoder: the same picture written by ImageMagick's convert in the
// BMP variants it makes decodes to the pixels it was made from. Skipped where convert is missing.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "picture_test_support.h"
#include "platform/imaging/bmp_decoder.h"

namespace {

constexpr const char* kConvert = "/usr/bin/convert";

// Eight colours, so the paletted and RLE variants hold the picture without loss.
const uint32_t kColors[8] = {RGB(0, 0, 0),   RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),
                             RGB(255, 255, 0), RGB(17, 99, 201), RGB(250, 250, 250), RGB(128, 64, 32)};

void WritePpm(const std::string& path, const PixelImage& image) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << image.width << " " << image.height << "\n255\n";
  for (uint32_t p : image.pixels) {
    out.put(static_cast<char>(p & 0xFF)).put(static_cast<char>(p >> 8 & 0xFF)).put(static_cast<char>(p >> 16 & 0xFF));
  }
}

TEST(BmpImageMagick, EveryVariantConvertWritesDecodesToTheSourcePixels) {
  if (!std::filesystem::exists(kConvert)) GTEST_SKIP() << kConvert << " is not installed";
  ScratchDir dir;
  // Runs of one colour long enough for RLE to use encoded runs, mixed with changes every pixel.
  const PixelImage colour = MakeImage(37, 11, [](int x, int y) { return kColors[x < 12 ? y % 8 : (x * 7 + y) % 8]; });
  const PixelImage bilevel = MakeImage(37, 11, [](int x, int y) { return (x + y) % 3 == 0 ? RGB(255, 255, 255) : 0u; });
  WritePpm(dir.Path("colour.ppm"), colour);
  WritePpm(dir.Path("bilevel.ppm"), bilevel);
  const struct {
    const char* source;
    const char* options;
    const char* output;
    const PixelImage* expected;
  } cases[] = {
      {"colour.ppm", "", "BMP3:rgb24.bmp", &colour},
      {"colour.ppm", "", "BMP2:core24.bmp", &colour},
      {"colour.ppm", "", "BMP:v5-24.bmp", &colour},
      {"colour.ppm", "-alpha on", "BMP:v5-fields32.bmp", &colour},
      {"colour.ppm", "+dither -colors 8 -type Palette", "BMP3:pal4.bmp", &colour},
      {"colour.ppm", "+dither -colors 8 -type Palette -compress RLE", "BMP3:rle8.bmp", &colour},
      {"bilevel.ppm", "-type bilevel", "BMP3:mono.bmp", &bilevel},
  };
  for (const auto& c : cases) {
    const std::string output = c.output;
    const std::string format = output.substr(0, output.find(':') + 1);
    const std::string name = output.substr(output.find(':') + 1);
    const std::string command = std::string(kConvert) + " '" + dir.Path(c.source) + "' " + c.options + " '" + format +
                                dir.Path(name) + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const Bytes file = ReadFileBytes(dir.Path(name));
    platform::DecodedImage image;
    ASSERT_EQ(platform::BmpDecode(file.data(), file.size(), image), platform::BmpStatus::kOk) << c.output;
    EXPECT_TRUE(ImagesMatch(*c.expected, PixelImage{image.width, image.height, image.pixels}, ("convert-" + name) + ".actual.png"));
  }
}

}  // namespace
