#include "resources/generator/default_content.h"
#include "resources/generator/pen_icon_art.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <numeric>
#include <string>
#include <system_error>
#include <vector>

#include "brush/xorshift.h"
#include "canvas/dib_bitmap.h"
#include "canvas/layer_table.h"
#include "canvas/palette.h"
#include "files/canvas_png.h"
#include "resources/generator/picture_writers.h"

namespace fs = std::filesystem;

namespace {

constexpr double kPi = 3.14159265358979323846;

// ---- Textures --------------------------------------------------------------------------

constexpr int kToneTile = 32;

// Squared distance, in quarter pixels squared, from the centre of pixel (x, y) to the nearest
// point of the lattice (4, 4) + shift + a (8, 8) + b (8, -8) of pixel corners, on the 32 x 32
// torus.
int NearestCornerSquared(int x, int y, int shiftX) {
  int best = 1 << 30;
  for (int a = 0; a < 4; ++a)
    for (int b = 0; b < 4; ++b) {
      // Twice the offset: pixel centres lie on odd half-pixel coordinates, corners on even ones.
      const int wrap = 2 * kToneTile;
      const auto twice = [wrap](int d) { return ((d + wrap / 2) % wrap + wrap) % wrap - wrap / 2; };
      const int dx = twice(2 * (4 + shiftX + 8 * (a + b)) - (2 * x + 1));
      const int dy = twice(2 * (4 + 8 * (a - b)) - (2 * y + 1));
      best = std::min(best, dx * dx + dy * dy);
    }
  return best;
}

// A 45-degree clustered-dot screen: dots centred on the pixel corners (4, 4) + a (8, 8) +
// b (8, -8), eight per 32 x 32 tile, 11.3 pixels apart. Pixels take ink in order of the
// distance to their dot minus the distance to the nearest hole (the lattice moved 8 pixels
// along x), so dots grow round, meet in a chequer of 8 x 8 squares at 50 % and leave round
// holes above. Pixels at equal distances take ink together, so every dot stays symmetric: the
// coverage is the nearest to percent that whole rings of pixels give (50 % exactly).
InkPicture ClusteredTone(int percent) {
  struct Rank {
    double spot;
    int dot, hole;  // squared distances, quarter pixels squared
    int x, y;
  };
  std::vector<Rank> ranks;
  for (int y = 0; y < kToneTile; ++y)
    for (int x = 0; x < kToneTile; ++x) {
      const int dot = NearestCornerSquared(x, y, 0), hole = NearestCornerSquared(x, y, 8);
      ranks.push_back({std::sqrt(dot) - std::sqrt(hole), dot, hole, x, y});
    }
  std::stable_sort(ranks.begin(), ranks.end(), [](const Rank& a, const Rank& b) {
    return std::tie(a.spot, a.dot, a.hole) < std::tie(b.spot, b.dot, b.hole);
  });
  // The end of the ring nearest to the wanted count.
  const double wanted = kToneTile * kToneTile * percent / 100.0;
  size_t inked = 0;
  for (size_t end = 0; end <= ranks.size(); ++end) {
    const bool ringEnds = end == ranks.size() || end == 0 ||
                          ranks[end].dot != ranks[end - 1].dot || ranks[end].hole != ranks[end - 1].hole;
    if (ringEnds && std::abs(end - wanted) < std::abs(inked - wanted)) inked = end;
  }
  InkPicture p = NewInkPicture(kToneTile, kToneTile);
  for (size_t i = 0; i < inked; ++i) p.At(ranks[i].x, ranks[i].y) = 1;
  return p;
}

InkPicture PatternTexture(int side, const std::function<bool(int, int)>& ink) {
  InkPicture p = NewInkPicture(side, side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) p.At(x, y) = ink(x, y) ? 1 : 0;
  return p;
}

// Sand: one pixel in five inked at random (a fixed seed), on a 64-pixel tile.
InkPicture Sand() {
  XorShift128 random = kXorShiftSeed;
  return PatternTexture(64, [&](int, int) { return RandomUniform(random) < 0.2; });
}

// ---- Paper grains ----------------------------------------------------------------------

constexpr int kGrainSide = 512;

uint32_t Hash(uint32_t seed, uint32_t i, uint32_t j) {
  uint32_t h = seed * 0x9E3779B1u ^ i * 0x85EBCA77u ^ j * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

// Value noise with cells x cells lattice values over the 512-pixel tile (cells divides 512),
// smoothly interpolated and wrapping at the tile's edges; 0..1.
double TileNoise(uint32_t seed, int cells, int x, int y) {
  const double step = static_cast<double>(kGrainSide) / cells;
  const double fx = (x + 0.5) / step, fy = (y + 0.5) / step;
  const int i = static_cast<int>(std::floor(fx)), j = static_cast<int>(std::floor(fy));
  const auto smooth = [](double t) { return t * t * (3.0 - 2.0 * t); };
  const double tx = smooth(fx - i), ty = smooth(fy - j);
  const auto at = [&](int a, int b) {
    return Hash(seed, static_cast<uint32_t>((a % cells + cells) % cells), static_cast<uint32_t>((b % cells + cells) % cells)) *
           (1.0 / 4294967296.0);
  };
  const double top = at(i, j) + (at(i + 1, j) - at(i, j)) * tx;
  const double bottom = at(i, j + 1) + (at(i + 1, j + 1) - at(i, j + 1)) * tx;
  return top + (bottom - top) * ty;
}

struct Octave {
  int cells;
  double weight;
};

// Turns heights into grey levels by rank: the lowest 1024 pixels become 0, the next 1024
// become 1, and so on, so each of the 256 levels covers exactly 1/256 of the paper.
GreyPicture EqualisedGrain(const std::vector<double>& height) {
  std::vector<int> order(height.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return height[a] < height[b]; });
  GreyPicture p;
  p.width = p.height = kGrainSide;
  p.grey.resize(height.size());
  for (size_t rank = 0; rank < order.size(); ++rank) p.grey[order[rank]] = static_cast<uint8_t>(rank * 256 / order.size());
  return p;
}

GreyPicture NoiseGrain(uint32_t seed, std::initializer_list<Octave> octaves) {
  std::vector<double> height(static_cast<size_t>(kGrainSide) * kGrainSide);
  for (int y = 0; y < kGrainSide; ++y)
    for (int x = 0; x < kGrainSide; ++x) {
      double h = 0.0;
      uint32_t s = seed;
      for (const Octave& o : octaves) h += o.weight * TileNoise(s++, o.cells, x, y);
      height[static_cast<size_t>(y) * kGrainSide + x] = h;
    }
  return EqualisedGrain(height);
}

// Canvas: threads 8 pixels wide crossing over and under in a chequer of 8 x 8 blocks; a thread
// is highest along its middle. A little noise keeps the weave from looking printed.
GreyPicture CanvasWeave() {
  std::vector<double> height(static_cast<size_t>(kGrainSide) * kGrainSide);
  for (int y = 0; y < kGrainSide; ++y)
    for (int x = 0; x < kGrainSide; ++x) {
      const bool acrossOnTop = ((x / 8) + (y / 8)) % 2 == 0;
      const double across = (acrossOnTop ? y : x) % 8 + 0.5;  // position across the top thread
      const double thread = std::sin(kPi * across / 8.0);
      height[static_cast<size_t>(y) * kGrainSide + x] = thread + 0.35 * TileNoise(7, 128, x, y) + 0.2 * TileNoise(8, 32, x, y);
    }
  return EqualisedGrain(height);
}

// ---- Stamps ----------------------------------------------------------------------------

constexpr int kStampSide = 128;

// A stamp inked where inside(u, v) holds at the pixel centre; u and v run -1..1 across the
// stamp, v downwards.
InkPicture Stamp(const std::function<bool(double, double)>& inside) {
  InkPicture p = NewInkPicture(kStampSide, kStampSide);
  for (int y = 0; y < kStampSide; ++y)
    for (int x = 0; x < kStampSide; ++x) {
      const double u = (x + 0.5) / (kStampSide / 2.0) - 1.0, v = (y + 0.5) / (kStampSide / 2.0) - 1.0;
      p.At(x, y) = inside(u, v) ? 1 : 0;
    }
  return p;
}

struct Point {
  double x, y;
};

// Even-odd rule.
bool InsidePolygon(const std::vector<Point>& polygon, double x, double y) {
  bool inside = false;
  for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const Point& a = polygon[i];
    const Point& b = polygon[j];
    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
  }
  return inside;
}

// A five-pointed star, one point up: outer radius 0.95, inner radius 0.38.
bool Star(double u, double v) {
  std::vector<Point> star;
  for (int k = 0; k < 10; ++k) {
    const double r = k % 2 == 0 ? 0.95 : 0.38;
    const double angle = kPi * k / 5.0;
    star.push_back({r * std::sin(angle), -r * std::cos(angle)});
  }
  return InsidePolygon(star, u, v);
}

// The heart curve (X^2 + Y^2 - 1)^3 <= X^2 Y^3, Y upwards, scaled to the stamp.
bool Heart(double u, double v) {
  const double X = u * 1.2, Y = -v * 1.2 + 0.1;
  const double a = X * X + Y * Y - 1.0;
  return a * a * a - X * X * Y * Y * Y <= 0.0;
}

// Five round petals around a ring-shaped middle.
bool Flower(double u, double v) {
  const double r = std::hypot(u, v);
  if (r < 0.14) return false;
  if (r < 0.3) return true;
  for (int k = 0; k < 5; ++k) {
    const double angle = 2.0 * kPi * k / 5.0;
    if (std::hypot(u - 0.55 * std::sin(angle), v + 0.55 * std::cos(angle)) < 0.34) return true;
  }
  return false;
}

// A four-pointed sparkle with concave sides.
bool Sparkle(double u, double v) { return std::sqrt(std::abs(u)) + std::sqrt(std::abs(v)) <= 0.97; }

// ---- Template --------------------------------------------------------------------------

// A4 at 600 DPI; rules every 7 mm from 25 mm below the top edge to 12 mm above the bottom,
// 4 pixels thick, on layer 7 (light blue, multiply, locked).
constexpr int kA4Width = 4961, kA4Height = 7016;

int MillimetresToPixels(double mm) { return static_cast<int>(std::lround(mm * 600.0 / 25.4)); }

[[nodiscard]] bool WriteNoteTemplate(const fs::path& path) {
  LayerTable layers = DefaultLayerTable();
  LayerEntry& rules = layers.rows[7];
  rules.colour = 0xE6BE96;  // red 150, green 190, blue 230
  rules.locked = 1;
  DibBitmap* page = CreateDibBitmap(8, nullptr, 0, kA4Width, kA4Height);
  if (!page) return false;
  ComputePalette(*page, layers);
  std::memset(page->bits, 0xFF, static_cast<size_t>(page->stride) * kA4Height);
  for (double mm = 25.0; mm <= 297.0 - 12.0; mm += 7.0) {
    const int centre = MillimetresToPixels(mm);
    for (int y = centre - 2; y < centre + 2; ++y) std::memset(DibRow(*page, y), 0x7F, kA4Width);
  }
  const bool written = WriteCanvasPng(path, *page, &layers);
  FreeDibBitmap(page);
  return written;
}

// ---- Icon and cursor -------------------------------------------------------------------

// Colours of the icon's parts, straight alpha.
constexpr Rgba kClear{0, 0, 0, 0};
constexpr Rgba kPaper{252, 250, 242, 255};
constexpr Rgba kFrame{52, 62, 84, 255};
constexpr Rgba kDots{38, 92, 204, 255};
constexpr Rgba kOutline{40, 36, 44, 255};
constexpr Rgba kEraser{232, 120, 132, 255};
constexpr Rgba kFerrule{184, 188, 198, 255};
constexpr Rgba kBodyLight{255, 214, 96, 255};
constexpr Rgba kBodyDark{236, 150, 32, 255};
constexpr Rgba kWood{238, 204, 152, 255};
constexpr Rgba kLead{44, 44, 52, 255};

// The rounded square of the tile: inside when the distance to the square shrunk by radius is
// at most radius.
double RoundedSquareDistance(double x, double y, double inset, double radius) {
  const double qx = std::max(std::abs(x - 0.5) - (0.5 - inset - radius), 0.0);
  const double qy = std::max(std::abs(y - 0.5) - (0.5 - inset - radius), 0.0);
  return std::hypot(qx, qy) - radius;
}

// The icon at one point of the unit square (y down): a paper tile, a trail of halftone dots
// growing towards the right, and a pencil coming down from the top right to the trail's start.
Rgba IconAt(double x, double y) {
  Rgba c = kClear;
  const double tile = RoundedSquareDistance(x, y, 0.03, 0.17);
  if (tile > 0.0) return c;
  c = tile > -0.05 ? kFrame : kPaper;
  // The trail: dots of growing size along the bottom.
  for (int k = 0; k < 4; ++k) {
    const double cx = 0.30 + 0.16 * k, cy = 0.78 - 0.015 * k, r = 0.035 + 0.02 * k;
    if (std::hypot(x - cx, y - cy) <= r) c = kDots;
  }
  // The pencil along the axis from its back end B to its point T.
  const Point B{0.80, 0.20}, T{0.22, 0.78};
  const double length = std::hypot(T.x - B.x, T.y - B.y);
  const double ux = (T.x - B.x) / length, uy = (T.y - B.y) / length;
  const double s = (x - B.x) * ux + (y - B.y) * uy;       // along, from the back end
  const double t = (x - B.x) * -uy + (y - B.y) * ux;      // across
  const double half = 0.1, cone = 0.72 * length, outline = 0.03;
  const double reach = s < cone ? half : half * (length - s) / (length - cone);
  if (s < -outline || s > length + outline) return c;
  if (std::abs(t) <= reach + outline) c = kOutline;
  if (s < 0.0 || s > length || std::abs(t) > reach) return c;
  if (s < 0.12 * length) return kEraser;
  if (s < 0.2 * length) return kFerrule;
  if (s < cone) return t < 0.0 ? kBodyLight : kBodyDark;
  return s > 0.9 * length ? kLead : kWood;
}

// Renders draw (on the unit square) over side x side pixels, 4 x 4 samples each.
ColourPicture Render(int side, Rgba (*draw)(double, double)) {
  return RenderPicture(side, side, [&](double x, double y) { return draw(x / side, y / side); }, 4);
}

// The canvas cursor at side pixels (32 at 96 DPI): a black cross hair one pixel thick with a
// white rim, arms from 3 to 11 pixels (scaled) out from a centre dot on the hot spot, so that
// it shows on any colour and leaves the spot under the pen tip visible.
IconImage CrossHair(int side) {
  const double k = side / 32.0;
  const int centre = side / 2 - 1;
  const int gap = static_cast<int>(std::lround(3 * k)), arm = static_cast<int>(std::lround(11 * k));
  const int rim = std::max(1, static_cast<int>(k));
  const auto black = [&](int x, int y) {
    const int dx = std::abs(x - centre), dy = std::abs(y - centre);
    if (dx == 0 && dy == 0) return true;
    return (dy == 0 && dx >= gap && dx <= arm) || (dx == 0 && dy >= gap && dy <= arm);
  };
  IconImage image;
  image.hotX = image.hotY = centre;
  image.picture.width = image.picture.height = side;
  image.picture.pixels.assign(static_cast<size_t>(side) * side, kClear);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      if (black(x, y)) {
        image.picture.At(x, y) = Rgba{0, 0, 0, 255};
        continue;
      }
      bool nearBlack = false;
      for (int j = -rim; j <= rim && !nearBlack; ++j)
        for (int i = -rim; i <= rim && !nearBlack; ++i) nearBlack = black(x + i, y + j);
      if (nearBlack) image.picture.At(x, y) = Rgba{255, 255, 255, 255};
    }
  return image;
}

// ---- Writing ---------------------------------------------------------------------------

struct Writer {
  std::string& message;
  bool ok = true;

  void Check(bool written, const fs::path& path) {
    if (written) return;
    if (ok) message = "cannot write " + path.string();
    ok = false;
  }
  bool Folder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (fs::is_directory(folder, error)) return true;
    Check(false, folder);
    return false;
  }
};

}  // namespace

bool WriteDefaultContent(const fs::path& programFolder, std::string& message) {
  Writer w{message};
  const fs::path material = programFolder / "material", texture = programFolder / "texture",
                 stamp = programFolder / "stamp", templates = programFolder / "template";
  for (const fs::path& folder : {material, texture, stamp, templates})
    if (!w.Folder(folder)) return false;

  w.Check(WriteInkBmp(material / "none.bmp", NewInkPicture(kGrainSide, kGrainSide)), material / "none.bmp");
  w.Check(WriteGreyBmp(material / "fine_grain.bmp", NoiseGrain(11, {{256, 1.0}, {128, 0.8}, {64, 0.3}})),
          material / "fine_grain.bmp");
  w.Check(WriteGreyBmp(material / "rough_grain.bmp", NoiseGrain(23, {{16, 1.0}, {32, 0.7}, {64, 0.45}, {128, 0.3}, {256, 0.2}})),
          material / "rough_grain.bmp");
  w.Check(WriteGreyBmp(material / "canvas_weave.bmp", CanvasWeave()), material / "canvas_weave.bmp");

  for (int percent = 10; percent <= 90; percent += 10) {
    const fs::path path = texture / ("tone_" + std::to_string(percent) + ".bmp");
    w.Check(WriteInkBmp(path, ClusteredTone(percent)), path);
  }
  const struct {
    const char* name;
    bool (*ink)(int, int);
  } patterns[] = {
      {"lines_horizontal.bmp", [](int, int y) { return y % 4 == 0; }},
      {"lines_vertical.bmp", [](int x, int) { return x % 4 == 0; }},
      {"lines_diagonal.bmp", [](int x, int y) { return (x + y) % 8 == 0; }},
      {"crosshatch.bmp", [](int x, int y) { return (x + y) % 8 == 0 || (x - y + kToneTile) % 8 == 0; }},
  };
  for (const auto& pattern : patterns)
    w.Check(WriteInkBmp(texture / pattern.name, PatternTexture(kToneTile, pattern.ink)), texture / pattern.name);
  w.Check(WriteInkBmp(texture / "sand.bmp", Sand()), texture / "sand.bmp");

  const struct {
    const char* name;
    bool (*inside)(double, double);
  } stamps[] = {{"star.bmp", Star}, {"heart.bmp", Heart}, {"flower.bmp", Flower}, {"sparkle.bmp", Sparkle}};
  for (const auto& s : stamps) w.Check(WriteInkBmp(stamp / s.name, Stamp(s.inside)), stamp / s.name);

  w.Check(WriteNoteTemplate(templates / "a4note.png"), templates / "a4note.png");
  return w.ok;
}

bool WriteProgramIcons(const fs::path& folder, std::string& message) {
  Writer w{message};
  if (!w.Folder(folder)) return false;
  std::vector<IconImage> icon;
  for (int side : {16, 24, 32, 48, 64, 256}) icon.push_back(IconImage{Render(side, IconAt)});
  w.Check(WriteIconFile(folder / "dotwright.ico", IconFileKind::kIcon, icon), folder / "dotwright.ico");
  std::vector<IconImage> cursor;
  for (int side : {32, 48, 64}) cursor.push_back(CrossHair(side));
  w.Check(WriteIconFile(folder / "canvas.cur", IconFileKind::kCursor, cursor), folder / "canvas.cur");
  // The pen icons' pictures: 48 pixels square as resources 142..146, 64 as 147..151.
  for (int size = 0; size < 2; ++size)
    for (int picture = 0; picture < kPenIconArtCount; ++picture) {
      const int side = size == 0 ? 48 : 64, resource = 142 + 5 * size + picture;
      const fs::path file = folder / ("pen_icon_" + std::to_string(resource) + ".bmp");
      w.Check(WritePaletteBmp(file, DrawPenIconArt(picture, side)), file);
    }
  return w.ok;
}
