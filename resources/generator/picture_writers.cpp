#include "resources/generator/picture_writers.h"

#include <png.h>

#include <cmath>
#include <cstdio>

#include "files/atomic_file.h"

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

// Bytes of a row of width pixels at bits per pixel, padded to a multiple of 4.
uint32_t RowBytes(int width, int bits) { return static_cast<uint32_t>((width * bits + 31) / 32 * 4); }

// The 40-byte information header; height as given (doubled for icon images).
void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageBytes, uint32_t colours) {
  PutU32(out, 40);
  PutU32(out, static_cast<uint32_t>(width));
  PutU32(out, static_cast<uint32_t>(height));
  PutU16(out, 1);
  PutU16(out, static_cast<uint32_t>(bits));
  PutU32(out, 0);  // no compression
  PutU32(out, imageBytes);
  PutU32(out, 23622);  // 600 pixels per inch, in pixels per metre
  PutU32(out, 23622);
  PutU32(out, colours);
  PutU32(out, 0);
}

// A BMP file: file header, information header, colour table, then the rows, bottom row first,
// that putRow appends (each already padded).
template <class PutRow>
std::vector<uint8_t> BmpBytes(int width, int height, int bits, const std::vector<uint32_t>& table, PutRow putRow) {
  const uint32_t imageBytes = RowBytes(width, bits) * static_cast<uint32_t>(height);
  const uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(table.size());
  std::vector<uint8_t> out;
  out.reserve(offset + imageBytes);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, offset + imageBytes);
  PutU32(out, 0);
  PutU32(out, offset);
  PutInfoHeader(out, width, height, bits, imageBytes, static_cast<uint32_t>(table.size()));
  for (uint32_t bgr : table) PutU32(out, bgr);
  for (int y = height - 1; y >= 0; --y) putRow(out, y);
  return out;
}

[[nodiscard]] bool WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  AtomicFile file{};
  if (!BeginAtomicFile(file, path)) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.stream) != bytes.size()) {
    AbandonAtomicFile(file);
    return false;
  }
  return CommitAtomicFile(file);
}

// A 32-bit image with its AND mask, as an icon or cursor file holds it (no file header).
std::vector<uint8_t> IconDibBytes(const ColourPicture& p) {
  const uint32_t colourBytes = RowBytes(p.width, 32) * static_cast<uint32_t>(p.height);
  const uint32_t maskRow = RowBytes(p.width, 1);
  std::vector<uint8_t> out;
  PutInfoHeader(out, p.width, 2 * p.height, 32, colourBytes + maskRow * static_cast<uint32_t>(p.height), 0);
  for (int y = p.height - 1; y >= 0; --y)
    for (int x = 0; x < p.width; ++x) {
      const Rgba& c = p.At(x, y);
      out.insert(out.end(), {c.blue, c.green, c.red, c.alpha});
    }
  // The AND mask: 1 keeps the screen (transparent), 0 shows the image.
  for (int y = p.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskRow, 0);
    for (int x = 0; x < p.width; ++x)
      if (p.At(x, y).alpha == 0) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<uint8_t> PngBytes(const ColourPicture& p) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(p.width);
  image.height = static_cast<png_uint_32>(p.height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, p.pixels.data(), 0, nullptr)) return {};
  std::vector<uint8_t> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, p.pixels.data(), 0, nullptr)) return {};
  out.resize(size);
  return out;
}

}  // namespace

InkPicture NewInkPicture(int width, int height) {
  InkPicture p;
  p.width = width;
  p.height = height;
  p.ink.assign(static_cast<size_t>(width) * height, 0);
  return p;
}

bool WriteInkBmp(const std::filesystem::path& path, const InkPicture& p) {
  // Entry 0 black, entry 1 white: a set bit is white paper.
  const std::vector<uint8_t> bytes = BmpBytes(p.width, p.height, 1, {0x000000, 0xFFFFFF}, [&](std::vector<uint8_t>& out, int y) {
    std::vector<uint8_t> row(RowBytes(p.width, 1), 0);
    for (int x = 0; x < p.width; ++x)
      if (!p.At(x, y)) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    out.insert(out.end(), row.begin(), row.end());
  });
  return WriteBytes(path, bytes);
}

bool WriteGreyBmp(const std::filesystem::path& path, const GreyPicture& p) {
  std::vector<uint32_t> ramp(256);
  for (uint32_t i = 0; i < 256; ++i) ramp[i] = i * 0x010101;
  const std::vector<uint8_t> bytes = BmpBytes(p.width, p.height, 8, ramp, [&](std::vector<uint8_t>& out, int y) {
    const uint8_t* row = p.grey.data() + static_cast<size_t>(y) * p.width;
    out.insert(out.end(), row, row + p.width);
    out.resize(out.size() + RowBytes(p.width, 8) - p.width, 0);
  });
  return WriteBytes(path, bytes);
}

bool WritePaletteBmp(const std::filesystem::path& path, const PalettePicture& p) {
  // The table entries are blue, green, red, 0: 0x00RRGGBB read as a little-endian word.
  const std::vector<uint32_t> table(std::begin(p.colours), std::end(p.colours));
  const std::vector<uint8_t> bytes = BmpBytes(p.width, p.height, 4, table, [&](std::vector<uint8_t>& out, int y) {
    std::vector<uint8_t> row(RowBytes(p.width, 4), 0);
    for (int x = 0; x < p.width; ++x) row[x >> 1] |= static_cast<uint8_t>((p.At(x, y) & 0x0F) << ((x & 1) ? 0 : 4));
    out.insert(out.end(), row.begin(), row.end());
  });
  return WriteBytes(path, bytes);
}

bool WriteColourBmp(const std::filesystem::path& path, const ColourPicture& p) {
  const std::vector<uint8_t> bytes = BmpBytes(p.width, p.height, 24, {}, [&](std::vector<uint8_t>& out, int y) {
    for (int x = 0; x < p.width; ++x) {
      const Rgba& c = p.At(x, y);
      out.insert(out.end(), {c.blue, c.green, c.red});
    }
    out.resize(out.size() + RowBytes(p.width, 24) - 3 * static_cast<uint32_t>(p.width), 0);
  });
  return WriteBytes(path, bytes);
}

ColourPicture RenderPicture(int width, int height, const std::function<Rgba(double, double)>& draw, int samples) {
  ColourPicture p;
  p.width = width;
  p.height = height;
  p.pixels.assign(static_cast<size_t>(width) * height, Rgba{0, 0, 0, 0});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      double r = 0, g = 0, b = 0, a = 0;
      for (int j = 0; j < samples; ++j)
        for (int i = 0; i < samples; ++i) {
          const Rgba c = draw(x + (i + 0.5) / samples, y + (j + 0.5) / samples);
          r += c.red * c.alpha;
          g += c.green * c.alpha;
          b += c.blue * c.alpha;
          a += c.alpha;
        }
      if (a > 0)
        p.At(x, y) = Rgba{static_cast<uint8_t>(std::lround(r / a)), static_cast<uint8_t>(std::lround(g / a)),
                          static_cast<uint8_t>(std::lround(b / a)),
                          static_cast<uint8_t>(std::lround(a / (samples * samples)))};
    }
  return p;
}

bool WriteIconFile(const std::filesystem::path& path, IconFileKind kind, const std::vector<IconImage>& images) {
  std::vector<std::vector<uint8_t>> data;
  for (const IconImage& image : images) {
    const int side = image.picture.width;
    if (side < 1 || side > 256 || image.picture.height != side) return false;
    data.push_back(side == 256 && kind == IconFileKind::kIcon ? PngBytes(image.picture) : IconDibBytes(image.picture));
    if (data.back().empty()) return false;
  }
  std::vector<uint8_t> out;
  PutU16(out, 0);
  PutU16(out, static_cast<uint32_t>(kind));
  PutU16(out, static_cast<uint32_t>(images.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const IconImage& image = images[i];
    const int side = image.picture.width;
    out.push_back(static_cast<uint8_t>(side == 256 ? 0 : side));  // 0 stands for 256
    out.push_back(static_cast<uint8_t>(side == 256 ? 0 : side));
    out.push_back(0);  // not a palette image
    out.push_back(0);
    if (kind == IconFileKind::kCursor) {
      PutU16(out, static_cast<uint32_t>(image.hotX));
      PutU16(out, static_cast<uint32_t>(image.hotY));
    } else {
      PutU16(out, 1);   // planes
      PutU16(out, 32);  // bits per pixel
    }
    PutU32(out, static_cast<uint32_t>(data[i].size()));
    PutU32(out, offset);
    offset += static_cast<uint32_t>(data[i].size());
  }
  for (const std::vector<uint8_t>& d : data) out.insert(out.end(), d.begin(), d.end());
  return WriteBytes(path, out);
}
