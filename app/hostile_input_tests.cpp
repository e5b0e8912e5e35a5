// What a damaged settings file, pen XML or device can hand the input step: numbers far outside
// their ranges, pressure above the stated maximum, positions a hundred million pixels away.
// Nothing may overflow (the sanitizer build checks), hang, or paint outside the pen's reach.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "app/session_test_support.h"
#include "app/stroke_script.h"
#include "canvas/canvas_test_support.h"
#include "files/pen_xml_fields.h"
#include "files/utf_text.h"
#include "settings/settings_keys.h"

namespace {

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();

// A session on a blank 64 x 64 canvas with a size-8 pen of the kind.
struct Session : TestSession {
  explicit Session(int kind) : TestSession(64, kind, 8) {}
};

// Texts a damaged number field holds.
const char* const kHostileNumbers[] = {"2147483648", "-2147483649", "9999999999999999999", "-9223372036854775809",
                                       "nan", "-inf", "1e308", "-1e308", "0x7fffffff", "", "\xff\xfe\x80", "12abc"};

// Every number a painting reads is in its range.
void ExpectPenInRange(const PenSetting& pen) {
  EXPECT_TRUE(pen.Size >= 1 && pen.Size <= kMaxPenSize) << pen.Size;
  EXPECT_TRUE(pen.Hardness >= 0 && pen.Hardness <= 100) << pen.Hardness;
  EXPECT_TRUE(pen.Interval >= 1 && pen.Interval <= 999) << pen.Interval;
  EXPECT_TRUE(pen.Dispersal >= 0 && pen.Dispersal <= 999) << pen.Dispersal;
  EXPECT_TRUE(pen.Roundness >= 1 && pen.Roundness <= 100) << pen.Roundness;
  EXPECT_TRUE(pen.Angle >= 0 && pen.Angle <= 359) << pen.Angle;
}

}  // namespace

TEST(HostileInput, OutOfRangePenNumbersAreClampedBeforeTheyArePainted) {
  Session t(kKindStampBrush);
  PenSetting& pen = t.Pen();
  pen.Size = kIntMax;
  pen.Dispersal = -1;  // 0xFFFFFFFF in the file
  pen.Hardness = kIntMin;
  pen.Interval = 0;
  t.Feed(10, 10, 0);
  t.Feed(10, 10, 1024);
  t.Feed(40, 40, 1024);
  t.Feed(40, 40, 0);
  EXPECT_EQ(pen.Size, kMaxPenSize);
  EXPECT_EQ(pen.Dispersal, 0);
  EXPECT_EQ(pen.Hardness, 0);
  EXPECT_EQ(pen.Interval, 1);
  EXPECT_FLOAT_EQ(PressureGamma(kIntMin), PressureGamma(0));
  EXPECT_FLOAT_EQ(PressureGamma(kIntMax), PressureGamma(100));
}

TEST(HostileInput, PressureAboveTheMaximumPaintsAsFullPressure) {
  // Pressure pen, size 8: at full pressure a horizontal stroke is 8 rows wide; twice the
  // maximum paints exactly the same pixels. The grain-tone pen paints at all.
  for (const int kind : {kKindPressurePen, kKindGrainTonePen}) {
    Session full(kind), over(kind);
    for (Session* s : {&full, &over}) {
      const uint32_t p = s == &full ? 1024 : 2048;
      s->Feed(10, 30, 0);
      s->Feed(10, 30, p);
      s->Feed(50, 30, p);
      s->Feed(50, 30, 0);
    }
    EXPECT_GT(full.Painted(), 0) << kind;
    EXPECT_EQ(over.Painted(), full.Painted()) << kind;
  }
}

TEST(HostileInput, SegmentsReachingFarOffTheCanvasPaintNothingAndEnd) {
  // Each of these kinds walks the segment in steps; a walk of 10^8 pixels in single precision
  // never ends. They must return at once and leave the canvas as the pen-down left it.
  for (const int kind : {kKindGrainDabPen, kKindTiltPencil, kKindTiltEraser, kKindTiltEraserAllLayers,
                         kKindStampBrush, kKindPressurePen}) {
    Session t(kind);
    t.Feed(10, 10, 0);
    t.Feed(10, 10, 1024);
    const int atPenDown = t.Painted();  // the pressure pen's first dab
    t.Feed(1.0e8, 10, 1024);
    t.Feed(1.0e8, 1.0e8, 1024);
    t.Feed(1.0e8, 1.0e8, 0);
    EXPECT_EQ(t.Painted(), atPenDown) << kind;
  }
}

// Each pen XML element holding each hostile number, drawn with: the stroke ends, and the pen
// it drew with was brought into range first.
TEST(HostileInput, HostilePenXmlTextsAreClampedWhereTheyAreUsed) {
  int tried = 0;
  for (const PenXmlElement& e : kPenXmlElements)
    for (const char* number : kHostileNumbers) {
      SCOPED_TRACE(Utf16ToUtf8(e.name) + "=" + number);
      Session t(kKindStampBrush);
      StorePenXmlText(t.Pen(), e, Utf8ToUtf16(number));
      t.Stroke(5, 50, 30);
      ExpectPenInRange(t.Pen());
      ++tried;
    }
  EXPECT_EQ(tried, kPenXmlElementCount * 12);
}

// Stroke scripts with each hostile number in each place a number goes: every pen field, the
// commands' arguments, positions, pressures and angles. Each script runs or stops at the line
// with an error; then a stroke still draws on the unchanged canvas.
TEST(HostileInput, HostileNumbersInStrokeScriptsRunOrNameTheLine) {
  std::vector<std::string> templates = {
      "select @", "layer @", "layerset @ visible=1 locked=0", "layerset 2 visible=@ locked=@", "correction @",
      "maxpressure @", "down @ 10 1", "down 10 @ 1", "down 10 10 @", "down 10 10 1 @ 550", "down 10 10 1 1300 @",
      "down 5 5 1\nmove @ 30 1", "down 5 5 1\nmove 30 @ 1", "down 5 5 1\nmove 30 30 @", "down 5 5 1\nmove 30 30 1 @ @",
      "down 5 5 1\nup @ @", "pen KindOfPen=15\ndown 5 5 1\nmove 30 5 1\nmove 30 30 1\nup 5 30\ndrop @ @"};
  // The pen's fields by their settings names ("Pen0Size=" is Size).
  for (const SettingKey& k : SettingKeyTable())
    if (k.pen == 0 && k.type != SettingType::kText) {
      const std::string field(k.key.substr(4, k.key.size() - 5));
      templates.push_back("pen KindOfPen=19 " + field + "=@");
    }
  int tried = 0;
  for (const std::string& pattern : templates)
    for (const char* number : kHostileNumbers) {
      std::string script = "pen KindOfPen=19 Size=8 Interval=50\n";
      for (const char c : pattern) script += c == '@' ? std::string(number) : std::string(1, c);
      script += "\ndown 8 8 1\nmove 50 40 1\nup 50 40\nundo\nredo\n";
      SCOPED_TRACE(script);
      ScriptCanvas s(64, 48);
      const StrokeScriptResult r = RunStrokeScript(s.canvas, script);
      EXPECT_TRUE(r.ok ? r.line == 0 : r.line >= 2 && !r.error.empty());
      ASSERT_TRUE(s.canvas.bitmap);
      EXPECT_EQ(DibWidth(*s.canvas.bitmap), 64);
      ++tried;
    }
  EXPECT_GE(tried, 400);
}
