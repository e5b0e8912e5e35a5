#include "app/pen_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/pen_panels.h"
#include "canvas/canvas_test_support.h"
#include "files/utf_text.h"
#include "tools/stamp_cache.h"

namespace {

const PenSlider& Slider(int32_t control) {
  const PenSlider* s = FindPenSlider(control);
  EXPECT_NE(s, nullptr) << control;
  return s ? *s : kPenSliders[0];
}

const PenSlider& kSize = *FindPenSlider(1049);
const PenSlider& kInterval = *FindPenSlider(1018);
const PenSlider& kDispersal = *FindPenSlider(1025);

// A session context with a stamp cache holding one entry, and a loader that makes a fresh 1-bit
// stamp for each call and records the paths it was asked for.
struct StampSession {
  AppContext app{};
  std::vector<std::u16string> loaded;
  StampLoader load = [this](std::u16string_view path) {
    loaded.emplace_back(path);
    return CreateDibBitmap(1, nullptr, 0, 2, 2);
  };
  StampSession() {
    app.stampCache = NewStampCache();
    FillCache();
  }
  ~StampSession() { FreeStampCache(app.stampCache); }
  void FillCache() {
    const DibPtr stamp = MaskFromText({"10"});
    (void)TransformStampCached(*app.stampCache, *stamp, StampCorners{{0, 2, 2, 0}, {0, 0, 1, 1}});
  }
  bool CacheEmpty() const {
    for (const TransformedStamp& e : app.stampCache->entries)
      if (e.age != 0) return false;
    return true;
  }
};

PenSetting StampPen(const char16_t* path) {
  PenSetting pen = PenImportTemplate(PenSetting{});
  pen.KindOfPen = kStampBrushKind;
  pen.Stamp = 1;
  SetStampPath(pen, path);
  pen.dialogOpen = 1;
  return pen;
}

}  // namespace

TEST(PenDialogSliders, SizeIsLogarithmicOverAThousandPositions) {
  struct Case { int32_t position, size; };
  // 1000^(p/1000) + 0.5, cut: 1000^0.25 = 5.62, 1000^0.5 = 31.62.
  for (const Case c : {Case{0, 1}, Case{250, 6}, Case{500, 32}, Case{1000, 1000}, Case{-5, 1}, Case{1200, 1000}})
    EXPECT_EQ(PenSliderValue(kSize, c.position), c.size) << c.position;
  // ln(32) / ln(1000) = 0.5017; a size below 1 counts as 1.
  for (const Case c : {Case{0, 1}, Case{501, 32}, Case{1000, 1000}, Case{0, 0}, Case{1000, 5000}})
    EXPECT_EQ(PenSliderPosition(kSize, c.size), c.position) << c.size;
}

TEST(PenDialogSliders, IntervalRunsFromOneTo999) {
  // (1000^(p/1000) - 1) * 998/999 + 1.5: position 1 gives 1.507, position 1000 gives 999.5.
  EXPECT_EQ(PenSliderValue(kInterval, 1), 1);
  EXPECT_EQ(PenSliderValue(kInterval, 0), 1);  // below the range: position 1
  EXPECT_EQ(PenSliderValue(kInterval, 1000), 999);
  // ln(10) / ln(999) = 0.33338; back: 1000^0.333 = 9.977 gives 10.47.
  EXPECT_EQ(PenSliderPosition(kInterval, 10), 333);
  EXPECT_EQ(PenSliderValue(kInterval, 333), 10);
  EXPECT_EQ(PenSliderPosition(kInterval, 999), 1000);
  EXPECT_EQ(PenSliderPosition(kInterval, 0), 1);  // ln 1 = 0, kept within 1..1000
}

TEST(PenDialogSliders, DispersalRunsFromZeroTo999) {
  EXPECT_EQ(PenSliderValue(kDispersal, 1), 0);  // 1000^0.001 - 1 = 0.0069
  EXPECT_EQ(PenSliderValue(kDispersal, 1000), 999);
  // ln(51) / ln(1000) = 0.56919; back: 1000^0.569 = 50.94 gives 49.94 + 0.5.
  EXPECT_EQ(PenSliderPosition(kDispersal, 50), 569);
  EXPECT_EQ(PenSliderValue(kDispersal, 569), 50);
  EXPECT_EQ(PenSliderPosition(kDispersal, 0), 1);
  EXPECT_EQ(PenSliderPosition(kDispersal, 999), 1000);
}

TEST(PenDialogSliders, LinearSlidersKeepTheirRangesAndLabels) {
  const PenSlider& roundness = Slider(1029);
  EXPECT_EQ(PenSliderValue(roundness, 0), 1);
  EXPECT_EQ(PenSliderPosition(roundness, 100), 100);
  EXPECT_EQ(PenSliderPosition(Slider(1009), 400), 359);
  EXPECT_EQ(PenSliderLabel(roundness, 40), u"40%");
  EXPECT_EQ(PenSliderLabel(Slider(1051), 40), u"40");
  EXPECT_EQ(PenSliderLabel(kSize, 1000), u"1000");
  // Only Size and Hardness tell the main window.
  for (const PenSlider& s : kPenSliders) EXPECT_EQ(s.reselects, s.control == 1049 || s.control == 1051) << s.control;
  EXPECT_EQ(FindPenSlider(1003), nullptr);
}

TEST(PenDialogEdits, TextureOffsetsAreKeptWithinAByte) {
  EXPECT_EQ(TextureOffsetFromText(u"-5"), 0);
  EXPECT_EQ(TextureOffsetFromText(u"300"), 255);
  EXPECT_EQ(TextureOffsetFromText(u" 17px"), 17);
  EXPECT_EQ(TextureOffsetFromText(u"x"), 0);
}

TEST(PenDialogEdits, StampPathsAreCutToTheirField) {
  PenSetting pen{};
  SetStampPath(pen, std::u16string(300, u'p'));
  EXPECT_EQ(TextOf(pen.StampFileName).size(), 259u);
}

TEST(PenDialogEdits, StampControlsBelongToTheStampBrushOnly) {
  for (int32_t kind = 0; kind < kPenKindCount; ++kind) EXPECT_EQ(StampBrushControlsEnabled(kind), kind == 19) << kind;
}

TEST(PenDialogImport, MissingElementsTakeTheNewPenDefaults) {
  PenSetting edited = StampPen(u"C:\\s.bmp");
  edited.Size = 300;
  edited.Roundness = 20;
  edited.TextureOffsetY = 7;
  DibPtr stamp(CreateDibBitmap(1, nullptr, 0, 1, 1));
  edited.stampBitmap = stamp.get();
  const PenSetting t = PenImportTemplate(edited);
  EXPECT_EQ(t.KindOfPen, 0);
  EXPECT_EQ(t.Size, 50);
  EXPECT_EQ(t.Hardness, 50);
  EXPECT_EQ(t.EnablePalette, 1);
  EXPECT_EQ(t.BrushCursor, 1);
  EXPECT_EQ(t.Interval, 10);
  EXPECT_EQ(t.Roundness, 100);
  EXPECT_EQ(t.Angle, 90);
  EXPECT_EQ(t.IntervalPressure, 1);
  EXPECT_EQ(t.Stamp, 0);
  EXPECT_EQ(t.TextureOffsetY, 0);
  EXPECT_EQ(TextOf(t.TextureFileName), u"tone_50.bmp");
  EXPECT_EQ(TextOf(t.Name), u"");
  EXPECT_EQ(TextOf(t.StampFileName), u"");
  EXPECT_EQ(t.dialogOpen, 1);
  EXPECT_EQ(t.stampBitmap, stamp.get());
}

TEST(PenDialogImport, TheImportTakesThePicturesFolderBackAndReloadsTheStamp) {
  StampSession s;
  PenSetting pen = StampPen(u"");
  PenSetting imported = PenImportTemplate(pen);
  imported.KindOfPen = kStampBrushKind;
  imported.Stamp = 1;
  imported.Size = 77;
  SetStampPath(imported, u"%USERPROFILE%\\\\stamps\\star.bmp");
  AdoptImportedPen(s.app, pen, imported, u"C:\\users\\me\\Pictures", s.load);
  EXPECT_EQ(pen.Size, 77);
  EXPECT_EQ(TextOf(pen.StampFileName), u"C:\\users\\me\\Pictures\\stamps\\star.bmp");
  ASSERT_EQ(s.loaded.size(), 1u);
  EXPECT_EQ(s.loaded[0], u"C:\\users\\me\\Pictures\\stamps\\star.bmp");
  EXPECT_NE(pen.stampBitmap, nullptr);
  EXPECT_EQ(pen.dialogOpen, 1);
  EXPECT_TRUE(s.CacheEmpty());
  FreeDibBitmap(pen.stampBitmap);
}

TEST(PenDialogStamp, AChangedPathReloadsOnlyAStampPenWithAPath) {
  StampSession s;
  PenSetting pen = StampPen(u"C:\\a.bmp");
  EXPECT_TRUE(ReloadPenStamp(s.app, pen, s.load));
  DibBitmap* first = pen.stampBitmap;
  EXPECT_NE(first, nullptr);
  EXPECT_TRUE(s.CacheEmpty());
  s.FillCache();
  pen.Stamp = 0;
  EXPECT_FALSE(ReloadPenStamp(s.app, pen, s.load));  // not a stamp pen: the path is only stored
  EXPECT_EQ(pen.stampBitmap, first);
  EXPECT_FALSE(s.CacheEmpty());
  pen.Stamp = 1;
  SetStampPath(pen, u"");
  EXPECT_FALSE(ReloadPenStamp(s.app, pen, s.load));
  EXPECT_EQ(s.loaded.size(), 1u);
  FreeDibBitmap(pen.stampBitmap);
}

TEST(PenDialogClose, OkKeepsTheDialogForAMissingStampAndClearsStampForNoPath) {
  PenSetting pen = StampPen(u"C:\\missing.bmp");
  const auto exists = [](std::u16string_view path) { return path == u"C:\\there.bmp"; };
  EXPECT_EQ(FinishPenDialog(pen, exists), PenDialogClose::kMissingStamp);
  EXPECT_EQ(pen.dialogOpen, 1);
  EXPECT_EQ(pen.Stamp, 1);
  SetStampPath(pen, u"C:\\there.bmp");
  EXPECT_EQ(FinishPenDialog(pen, exists), PenDialogClose::kClose);
  EXPECT_EQ(pen.Stamp, 1);
  EXPECT_EQ(pen.dialogOpen, 0);
  pen.dialogOpen = 1;
  SetStampPath(pen, u"");
  EXPECT_EQ(FinishPenDialog(pen, exists), PenDialogClose::kClose);
  EXPECT_EQ(pen.Stamp, 0);
  EXPECT_EQ(pen.dialogOpen, 0);
}

TEST(PenDialogClose, CancelRestoresEveryFieldAndTheStamp) {
  StampSession s;
  PenSetting pen = StampPen(u"C:\\first.bmp");
  pen.stampBitmap = s.load(u"C:\\first.bmp");
  const PenSetting atOpening = pen;
  // Edits: sliders, check boxes, the name, the kind and a new stamp.
  pen.Size = PenSliderValue(kSize, 500);
  pen.Interval = PenSliderValue(kInterval, 1000);
  pen.Dispersal = PenSliderValue(kDispersal, 1000);
  pen.Direction = 1;
  pen.KindOfPen = 3;
  SetPenName(pen, u"changed");
  SetStampPath(pen, u"C:\\second.bmp");
  ASSERT_TRUE(ReloadPenStamp(s.app, pen, s.load));  // frees the first stamp
  s.FillCache();

  CancelPenEdits(s.app, pen, atOpening, s.load);
  EXPECT_EQ(pen.Size, atOpening.Size);
  EXPECT_EQ(pen.Interval, atOpening.Interval);
  EXPECT_EQ(pen.Dispersal, atOpening.Dispersal);
  EXPECT_EQ(pen.Direction, 0);
  EXPECT_EQ(pen.KindOfPen, kStampBrushKind);
  EXPECT_EQ(TextOf(pen.Name), u"");
  EXPECT_EQ(TextOf(pen.StampFileName), u"C:\\first.bmp");
  EXPECT_EQ(pen.dialogOpen, 0);
  // The stamp is loaded again from the first path; the cache forgets the second.
  EXPECT_EQ(s.loaded, (std::vector<std::u16string>{u"C:\\first.bmp", u"C:\\second.bmp", u"C:\\first.bmp"}));
  EXPECT_NE(pen.stampBitmap, nullptr);
  EXPECT_TRUE(s.CacheEmpty());
  FreeDibBitmap(pen.stampBitmap);
}
