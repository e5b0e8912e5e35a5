#include "resources/generator/panel_pictures.h"

#include <cmath>
#include <vector>

#include "canvas/hue_chroma.h"
#include "resources/generator/picture_writers.h"

namespace fs = std::filesystem;

namespace {

constexpr Rgba kClear{0, 0, 0, 0};
constexpr Rgba kPanelGrey{240, 240, 240, 255};
constexpr Rgba kRim{160, 160, 160, 255};
constexpr Rgba kInk{48, 48, 56, 255};
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kIris{52, 110, 200, 255};
constexpr Rgba kShut{120, 120, 128, 255};
constexpr Rgba kBrass{226, 170, 40, 255};
constexpr Rgba kSteel{196, 198, 206, 255};

constexpr double kRingInner = 146.0, kRingOuter = 190.0, kRimWidth = 1.2;

Rgba HueRingAt(double x, double y) {
  const double dx = x - kHueRingSide / 2.0, dy = y - kHueRingSide / 2.0, r = std::hypot(dx, dy);
  if (r < kRingInner - kRimWidth || r > kRingOuter + kRimWidth) return kPanelGrey;
  if (r < kRingInner || r > kRingOuter) return kRim;
  const uint32_t c = HueChromaPixel(static_cast<float>(-std::atan2(dy, dx)), 1.0f, 0.5f);
  return Rgba{static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c), 255};
}

// Half the height of the eye's almond at x (unit square), 0 outside it.
double AlmondHalf(double x) {
  const double t = (x - 0.5) / 0.46;
  return std::abs(t) < 1.0 ? 0.27 * (1.0 - t * t) : 0.0;
}

Rgba OpenEye(double x, double y) {
  const double half = AlmondHalf(x), d = std::abs(y - 0.5);
  const double fromCentre = std::hypot(x - 0.5, y - 0.5);
  if (half <= 0.0) return kClear;
  if (d < half - 0.07) {
    if (fromCentre < 0.08) return kInk;
    if (fromCentre < 0.17) return kIris;
    return kWhite;
  }
  return d < half ? kInk : kClear;
}

Rgba ClosedEye(double x, double y) {
  // The lower lid as an arc, with three lashes below it.
  const double t = (x - 0.5) / 0.44;
  if (std::abs(t) >= 1.0) return kClear;
  const double lid = 0.42 + 0.18 * (1.0 - t * t);
  if (std::abs(y - lid) < 0.055) return kShut;
  for (double lash : {0.3, 0.5, 0.7}) {
    const double tl = (lash - 0.5) / 0.44, base = 0.42 + 0.18 * (1.0 - tl * tl);
    if (std::abs(x - lash - (y - base) * (lash - 0.5)) < 0.045 && y > base && y < base + 0.2) return kShut;
  }
  return kClear;
}

// A padlock: the body with a keyhole, the shackle as half a ring above it; open, the shackle is
// raised and only its left leg reaches the body.
Rgba Padlock(double x, double y, bool shut) {
  const Rgba body = shut ? kBrass : kSteel;
  if (x >= 0.18 && x <= 0.82 && y >= 0.46 && y <= 0.92) {
    const bool edge = x < 0.24 || x > 0.76 || y < 0.52 || y > 0.86;
    if (edge) return kInk;
    if (std::hypot(x - 0.5, y - 0.63) < 0.065 || (std::abs(x - 0.5) < 0.03 && y > 0.63 && y < 0.78)) return kInk;
    return body;
  }
  const double lift = shut ? 0.0 : 0.14, top = 0.34 - lift;
  const double r = std::hypot(x - 0.5, y - top);
  if (y <= top) return r >= 0.15 && r <= 0.25 ? kInk : kClear;
  const bool left = x >= 0.25 && x <= 0.35, right = x >= 0.65 && x <= 0.75;
  if (left && y < 0.46) return kInk;
  if (right && y < (shut ? 0.46 : top + 0.06)) return kInk;
  return kClear;
}

std::vector<IconImage> IconSizes(Rgba (*draw)(double, double)) {
  std::vector<IconImage> images;
  for (int side : {16, 24, 32, 48})
    images.push_back(IconImage{RenderPicture(side, side, [&](double x, double y) { return draw(x / side, y / side); }, 4)});
  return images;
}

}  // namespace

bool WritePanelPictures(const fs::path& folder, std::string& message) {
  std::error_code error;
  fs::create_directories(folder, error);
  const auto fail = [&](const fs::path& path) {
    message = "cannot write " + path.string();
    return false;
  };
  const fs::path ring = folder / "hue_ring.bmp";
  if (!WriteColourBmp(ring, RenderPicture(kHueRingSide, kHueRingSide, HueRingAt, 4))) return fail(ring);
  const struct {
    const char* name;
    Rgba (*draw)(double, double);
  } icons[] = {
      {"layer_visible.ico", OpenEye},
      {"layer_hidden.ico", ClosedEye},
      {"layer_locked.ico", [](double x, double y) { return Padlock(x, y, true); }},
      {"layer_unlocked.ico", [](double x, double y) { return Padlock(x, y, false); }},
  };
  for (const auto& icon : icons)
    if (!WriteIconFile(folder / icon.name, IconFileKind::kIcon, IconSizes(icon.draw))) return fail(folder / icon.name);
  return true;
}
