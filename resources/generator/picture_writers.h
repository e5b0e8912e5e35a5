// The file forms the resource generator writes, each from a plain picture in memory:
//   1-bit BMP   black and white (textures, stamps, the plain paper): colour table entry 0
//               black, entry 1 white, rows bottom-up, each padded to 4 bytes;
//   8-bit BMP   grey (paper grains): colour table entry i = (i, i, i);
//   24-bit BMP  colour without alpha (the colour picker's hue ring), rows bottom-up;
//   .ico, .cur  several sizes of one picture in one file: every image a 32-bit
//               device-independent bitmap (blue, green, red, alpha, rows bottom-up, the height
//               doubled for the 1-bit AND mask that follows) except a 256-pixel icon image,
//               which is stored as a PNG (smaller, and what the system expects at that size).
// Every write goes through a temporary file beside the target; false when it failed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

// Black and white: ink[y * width + x] is 1 where the pixel is black, 0 where white; row 0 at
// the top.
struct InkPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> ink;
  uint8_t& At(int x, int y) { return ink[static_cast<size_t>(y) * width + x]; }
  uint8_t At(int x, int y) const { return ink[static_cast<size_t>(y) * width + x]; }
};
InkPicture NewInkPicture(int width, int height);

// Grey 0..255, row 0 at the top.
struct GreyPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> grey;
};

// Straight (not premultiplied) colour with alpha, row 0 at the top.
struct Rgba {
  uint8_t red, green, blue, alpha;
  bool operator==(const Rgba&) const = default;
};
struct ColourPicture {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;
  Rgba& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  const Rgba& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Sixteen colours: index[y * width + x] is 0..15, an entry of `colours` (0x00RRGGBB); row 0
// at the top. Written as a 4-bit BMP.
struct PalettePicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> index;
  uint32_t colours[16] = {};
  uint8_t& At(int x, int y) { return index[static_cast<size_t>(y) * width + x]; }
  uint8_t At(int x, int y) const { return index[static_cast<size_t>(y) * width + x]; }
};

// One image of an icon or cursor file. The hot spot is used by cursors only.
struct IconImage {
  ColourPicture picture;  // square, 1..256 pixels a side
  int hotX = 0;
  int hotY = 0;
};

[[nodiscard]] bool WriteInkBmp(const std::filesystem::path& path, const InkPicture& picture);
[[nodiscard]] bool WriteGreyBmp(const std::filesystem::path& path, const GreyPicture& picture);
[[nodiscard]] bool WritePaletteBmp(const std::filesystem::path& path, const PalettePicture& picture);

// Alpha is dropped: every pixel is written with its colour as it is.
[[nodiscard]] bool WriteColourBmp(const std::filesystem::path& path, const ColourPicture& picture);

// A width x height picture of draw(x, y), x and y in pixels (0 at the top-left corner), each
// pixel the alpha-weighted average of samples x samples points spread evenly over it.
ColourPicture RenderPicture(int width, int height, const std::function<Rgba(double, double)>& draw, int samples);

enum class IconFileKind : uint16_t { kIcon = 1, kCursor = 2 };
[[nodiscard]] bool WriteIconFile(const std::filesystem::path& path, IconFileKind kind,
                                 const std::vector<IconImage>& images);

