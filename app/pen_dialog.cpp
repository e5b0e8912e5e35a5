#include "app/pen_dialog.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "files/pen_resources.h"
#include "files/pen_xml_fields.h"
#include "files/utf_text.h"
#include "tools/stamp_cache.h"

namespace {

// 1/999 as the dialog has always written it, so that the two ratios are the same doubles.
constexpr double kOneIn999 = 0.001001001001001001;

double Thousandth(int32_t position) { return std::pow(1000.0, position / 1000.0); }

int32_t Truncate(double v) { return static_cast<int32_t>(v); }

}  // namespace

const PenSlider* FindPenSlider(int32_t control) {
  for (const PenSlider& s : kPenSliders)
    if (s.control == control) return &s;
  return nullptr;
}

int32_t PenSliderValue(const PenSlider& slider, int32_t position) {
  const int32_t p = std::clamp(position, slider.minimum, slider.maximum);
  switch (slider.scale) {
    case PenSliderScale::kLinear: return p;
    case PenSliderScale::kSize: return Truncate(Thousandth(p) + 0.5);
    case PenSliderScale::kInterval: return Truncate((Thousandth(p) - 1.0) * (kOneIn999 * 998) + 1.0 + 0.5);
    case PenSliderScale::kDispersal: return Truncate((Thousandth(p) - 1.0) * (kOneIn999 * 999) + 0.5);
  }
  return p;
}

int32_t PenSliderPosition(const PenSlider& slider, int32_t value) {
  double position = value;
  switch (slider.scale) {
    case PenSliderScale::kLinear: break;
    case PenSliderScale::kSize: position = std::log(std::max(value, 1)) * 1000.0 / std::log(1000.0); break;
    case PenSliderScale::kInterval: position = std::log(std::max(value, 1)) * 1000.0 / std::log(999.0); break;
    case PenSliderScale::kDispersal:
      position = std::log(std::max(value, 0) * (kOneIn999 * 999) + 1.0) * 1000.0 / std::log(1000.0);
      break;
  }
  return std::clamp(Truncate(std::min(position, 1e9)), slider.minimum, slider.maximum);
}

std::u16string PenSliderLabel(const PenSlider& slider, int32_t value) {
  const std::string digits = std::to_string(value);
  std::u16string text(digits.begin(), digits.end());
  if (slider.percent) text += u'%';
  return text;
}

int32_t TextureOffsetFromText(std::u16string_view text) { return std::clamp(LeadingInteger(text), 0, 255); }

void SetStampPath(PenSetting& pen, std::u16string_view text) { (void)CopyText(pen.StampFileName, text); }

bool ReloadPenStamp(AppContext& app, PenSetting& pen, const StampLoader& load) {
  const std::u16string_view path = TextOf(pen.StampFileName);
  if (pen.Stamp != 1 || path.empty()) return false;
  FreeDibBitmap(pen.stampBitmap);
  pen.stampBitmap = load ? load(path) : nullptr;
  EmptyStampCache(app.stampCache);  // a new stamp may have the old one's address
  return true;
}

PenSetting PenImportTemplate(const PenSetting& edited) {
  PenSetting t{};
  t.dialogOpen = edited.dialogOpen;
  t.KindOfPen = 0;
  t.Size = 50;
  t.Hardness = 50;
  t.Palette = 0;
  t.EnablePalette = 1;
  t.BrushCursor = 1;
  t.Interval = 10;
  t.Dispersal = 0;
  t.Roundness = 100;
  t.Angle = 90;
  t.SizePressure = 0;
  t.IntervalPressure = 1;
  (void)CopyText(t.TextureFileName, u"tone_50.bmp");
  t.stampBitmap = edited.stampBitmap;
  return t;
}

void AdoptImportedPen(AppContext& app, PenSetting& pen, const PenSetting& imported,
                      std::u16string_view picturesFolder, const StampLoader& load) {
  PenSetting taken = imported;
  const std::u16string stamp = RestorePicturesFolder(TextOf(imported.StampFileName), picturesFolder);
  SetStampPath(taken, stamp);
  taken.dialogOpen = pen.dialogOpen;
  taken.stampBitmap = pen.stampBitmap;
  pen = taken;
  (void)ReloadPenStamp(app, pen, load);
}

PenDialogClose FinishPenDialog(PenSetting& pen, const std::function<bool(std::u16string_view)>& stampExists) {
  const std::u16string_view path = TextOf(pen.StampFileName);
  if (!path.empty() && !(stampExists && stampExists(path))) return PenDialogClose::kMissingStamp;
  if (path.empty()) pen.Stamp = 0;
  pen.dialogOpen = 0;
  return PenDialogClose::kClose;
}

void CancelPenEdits(AppContext& app, PenSetting& pen, const PenSetting& atOpening, const StampLoader& load) {
  // Whatever stamp the preset holds now goes; the one it had at opening is made again from its
  // path, since an edit of the path may have freed it.
  const bool hadStamp = atOpening.stampBitmap != nullptr;
  FreeDibBitmap(pen.stampBitmap);
  pen = atOpening;
  pen.stampBitmap = nullptr;
  const std::u16string_view path = TextOf(pen.StampFileName);
  if ((pen.Stamp == 1 || hadStamp) && !path.empty() && load) pen.stampBitmap = load(path);
  EmptyStampCache(app.stampCache);
  pen.dialogOpen = 0;
}

StampLoader FileStampLoader() {
  return [](std::u16string_view path) -> DibBitmap* { return LoadStamp(PathFromText(path)); };
}
