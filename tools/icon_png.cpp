// icon_png: renders the tray icon of one view to a PNG, enlarged, for the README and for eyes.
// Draws with the program's own DrawNumberIcon / DrawGraphIcon; the PNG is written by libpng.
//
//   icon_png <view> <value-or-samples> <scale> <out.png> [colors] [zoom]
//     view     frequency | memory | battery | current | number: a number icon of <value>
//              load: the graph of <samples>, comma-separated percentages, newest first
//              plain: the icon image of <scale> x 16 pixels from the .ico file <value>
//     colors   IconColors, e.g. 0x000C000B (yellow on blue, the default)
//     zoom     pixels per icon pixel, 8 by default
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/state.h"
#include "icon/picture.h"

namespace {

struct Rgba {
  std::uint8_t R, G, B, A;
};

// The standard 16-colour palette that the icon's 4-bit indices select.
constexpr Rgba StandardPalette[16] = {
    {0x00, 0x00, 0x00, 255}, {0x80, 0x00, 0x00, 255}, {0x00, 0x80, 0x00, 255},
    {0x80, 0x80, 0x00, 255}, {0x00, 0x00, 0x80, 255}, {0x80, 0x00, 0x80, 255},
    {0x00, 0x80, 0x80, 255}, {0xC0, 0xC0, 0xC0, 255}, {0x80, 0x80, 0x80, 255},
    {0xFF, 0x00, 0x00, 255}, {0x00, 0xFF, 0x00, 255}, {0xFF, 0xFF, 0x00, 255},
    {0x00, 0x00, 0xFF, 255}, {0xFF, 0x00, 0xFF, 255}, {0x00, 0xFF, 0xFF, 255},
    {0xFF, 0xFF, 0xFF, 255},
};

struct Image {
  int Side = 0;
  std::vector<Rgba> Pixels;  // row-major, top row first
};

Image FromPicture(const IconPicture& picture) {
  Image image;
  image.Side = picture.Side;
  for (int y = 0; y < picture.Side; ++y) {
    for (int x = 0; x < picture.Side; ++x) {
      image.Pixels.push_back(PictureTransparentAt(picture, x, y)
                                 ? Rgba{0, 0, 0, 0}
                                 : StandardPalette[PictureColorAt(picture, x, y)]);
    }
  }
  return image;
}

std::uint32_t ReadLe(const std::vector<std::uint8_t>& data, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | data.at(at + i);
  return value;
}

// The `side`-pixel image of an .ico file: an uncompressed DIB of 1, 4, 8, 24 or 32 bits per pixel
// with its AND mask (rows bottom-up, padded to 32 bits). False for anything else, a truncated
// file included.
bool ReadIcoImage(const char* path, int side, Image* image);

bool ImageFromIco(const char* path, int side, Image* image) {
  try {
    return ReadIcoImage(path, side, image);
  } catch (const std::out_of_range&) {
    return false;
  }
}

bool ReadIcoImage(const char* path, int side, Image* image) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(file), {}};
  if (data.size() < 6 || ReadLe(data, 2, 2) != 1) return false;
  const int count = static_cast<int>(ReadLe(data, 4, 2));
  for (int entry = 0; entry < count; ++entry) {
    const std::size_t record = 6 + 16 * static_cast<std::size_t>(entry);
    const int width = data.at(record) == 0 ? 256 : data.at(record);
    if (width != side) continue;
    const std::size_t dib = ReadLe(data, record + 12, 4);
    if (ReadLe(data, dib, 4) != 40) return false;  // a PNG-compressed image
    const int bits = static_cast<int>(ReadLe(data, dib + 14, 2));
    std::uint32_t paletteSize = ReadLe(data, dib + 32, 4);
    if (paletteSize == 0 && bits <= 8) paletteSize = 1u << bits;
    const std::size_t palette = dib + 40;
    const std::size_t colorBits = palette + 4 * static_cast<std::size_t>(paletteSize);
    const std::size_t colorStride = ((side * bits + 31) / 32) * 4;
    const std::size_t maskBits = colorBits + colorStride * side;
    const std::size_t maskStride = ((side + 31) / 32) * 4;
    image->Side = side;
    image->Pixels.assign(static_cast<std::size_t>(side) * side, Rgba{});
    for (int y = 0; y < side; ++y) {
      const std::size_t row = static_cast<std::size_t>(side - 1 - y);  // stored bottom-up
      for (int x = 0; x < side; ++x) {
        Rgba pixel{};
        if (bits <= 8) {
          const std::size_t bit = static_cast<std::size_t>(x) * bits;
          const int shift = 8 - bits - static_cast<int>(bit % 8);
          const int index =
              (data.at(colorBits + row * colorStride + bit / 8) >> shift) & ((1 << bits) - 1);
          const std::size_t at = palette + 4 * static_cast<std::size_t>(index);
          pixel = {data.at(at + 2), data.at(at + 1), data.at(at), 255};
        } else {
          const std::size_t at = colorBits + row * colorStride + x * (bits / 8);
          pixel = {data.at(at + 2), data.at(at + 1), data.at(at),
                   bits == 32 ? data.at(at + 3) : std::uint8_t{255}};
        }
        const bool transparent = (data.at(maskBits + row * maskStride + x / 8) >> (7 - x % 8)) & 1;
        if (transparent && bits != 32) pixel = {0, 0, 0, 0};
        image->Pixels[static_cast<std::size_t>(y) * side + x] = pixel;
      }
    }
    return true;
  }
  return false;
}

bool WritePng(const Image& image, int zoom, const char* path) {
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  const int side = image.Side * zoom;
  png_init_io(png, file);
  png_set_IHDR(png, info, side, side, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(side) * 4);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const Rgba& pixel = image.Pixels[static_cast<std::size_t>(y / zoom) * image.Side + x / zoom];
      std::memcpy(&row[static_cast<std::size_t>(x) * 4], &pixel, 4);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: icon_png <frequency|memory|battery|current|number|load|plain> "
               "<value | samples,... | file.ico> <scale 1|2> <out.png> [colors] [zoom]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || argc > 7) return Usage();
  const std::string view = argv[1];
  const char* argument = argv[2];
  const int scale = std::atoi(argv[3]);
  const char* output = argv[4];
  const int zoom = argc > 6 ? std::atoi(argv[6]) : 8;
  if ((scale != 1 && scale != 2) || zoom < 1 || zoom > 64) return Usage();

  ResetAppState();
  AppState.IconScale = scale;
  if (argc > 5) AppState.IconColors = static_cast<std::uint32_t>(std::strtoul(argv[5], nullptr, 0));

  Image image;
  IconPicture picture;
  if (view == "plain") {
    if (!ImageFromIco(argument, 16 * scale, &image)) {
      std::fprintf(stderr, "icon_png: no uncompressed %d-pixel image in %s\n", 16 * scale,
                   argument);
      return 1;
    }
  } else if (view == "load") {
    for (std::uint8_t& sample : AppState.SampleHistory) sample = 100;
    const char* cursor = argument;
    for (int entry = 0; entry < SampleHistoryLength && *cursor != '\0'; ++entry) {
      char* end = nullptr;
      AppState.SampleHistory[entry] = static_cast<std::uint8_t>(std::strtol(cursor, &end, 10));
      cursor = *end == ',' ? end + 1 : end;
    }
    DrawGraphIcon(&picture);
    image = FromPicture(picture);
  } else if (view == "frequency" || view == "memory" || view == "battery" || view == "current" ||
             view == "number") {
    DrawNumberIcon(static_cast<int>(std::strtol(argument, nullptr, 10)), &picture);
    image = FromPicture(picture);
  } else {
    return Usage();
  }
  if (!WritePng(image, zoom, output)) {
    std::fprintf(stderr, "icon_png: cannot write %s\n", output);
    return 1;
  }
  return 0;
}
