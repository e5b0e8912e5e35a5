#include "app/panel_layout.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

// The visibility defaults of a first start: pen setting, pen list and paper texture shown,
// the column on the left, nothing hidden or floating, no floating position stored.
AppSettings Panels() {
  AppSettings s{};
  s.show_pensetting = 1;
  s.show_penlist = 1;
  s.show_paper_texture = 1;
  return s;
}

constexpr int32_t kBar = 16;  // a scroll bar's width

}  // namespace

TEST(PanelLayout, ScaleFactors) {
  for (auto [percent, s] : {std::pair{100, 1.0f}, {150, 1.5f}, {200, 2.0f}, {300, 3.0f}, {125, 1.0f}, {0, 1.0f}})
    EXPECT_EQ(UiScaleFactor(percent), s) << percent;
  for (auto [width, s] : {std::pair{128, 1.0f}, {191, 1.0f}, {192, 1.5f}, {256, 2.0f}, {383, 2.0f}, {384, 3.0f}})
    EXPECT_EQ(PanelScaleOfWidth(width), s) << width;
  EXPECT_EQ(Scaled(60, 1.5f), 90);
  EXPECT_EQ(Scaled(92, 1.5f), 138);
}

TEST(PanelLayout, MemberHeightsScale) {
  const ColumnContents two{0, 2};
  EXPECT_EQ(PanelMemberHeight(PanelMember::kPenList, 1.5f, two), 432);
  EXPECT_EQ(PanelMemberHeight(PanelMember::kLayer, 2.0f, two), 440);
  EXPECT_EQ(PanelMemberHeight(PanelMember::kTabInfo, 3.0f, two), 180);
  EXPECT_EQ(PanelMemberHeight(PanelMember::kPaperTexture, 1.5f, two), 48);
  EXPECT_EQ(PanelMemberHeight(PanelMember::kTexture, 1.5f, two), 0);
  EXPECT_FALSE(PanelMemberExists(PanelMember::kTexture, two));
  EXPECT_TRUE(PanelMemberExists(PanelMember::kPaperTexture, two));
}

TEST(PanelLayout, ColumnDockedLeftOrRight) {
  AppSettings s = Panels();
  s.UIScaling = 150;
  // 192 + the scroll bar wide, the view beside it.
  MainLayout l = ComputeMainLayout(s, UiScaleFactor(s.UIScaling), 1000, 700, kBar);
  EXPECT_EQ(l, (MainLayout{true, true, {0, 0, 208, 700}, {208, 0, 792, 700}}));
  s.view_panel_right = 1;
  l = ComputeMainLayout(s, 1.5f, 1000, 700, kBar);
  EXPECT_EQ(l, (MainLayout{true, true, {792, 0, 208, 700}, {0, 0, 792, 700}}));
}

TEST(PanelLayout, TheViewSpansTheClientWhenTheColumnIsHiddenFloatingOrUnderTheEasyPanel) {
  struct Case {
    const char* what;
    int32_t AppSettings::*set;
    bool placeColumn, showColumn;
  };
  for (const Case& c : {Case{"easy panel", &AppSettings::ShowEasyPanel, true, true},
                        Case{"hidden", &AppSettings::hide_panel, true, false},
                        Case{"separate", &AppSettings::SeparatePanel, false, true}}) {
    AppSettings s = Panels();
    s.*c.set = 1;
    const MainLayout l = ComputeMainLayout(s, 1.0f, 640, 480, kBar);
    EXPECT_EQ(l.view, (WindowBox{0, 0, 640, 480})) << c.what;
    EXPECT_EQ(l.column, (WindowBox{0, 0, 144, 480})) << c.what;
    EXPECT_EQ(l.placeColumn, c.placeColumn) << c.what;
    EXPECT_EQ(l.showColumn, c.showColumn) << c.what;
  }
  // A client narrower than the column leaves the view no width, not a negative one.
  EXPECT_EQ(ComputeMainLayout(Panels(), 2.0f, 100, 50, kBar).view, (WindowBox{272, 0, 0, 50}));
}

TEST(PanelLayout, ColumnStacksTheShownMembersBelowTheStrip) {
  AppSettings s = Panels();
  const ColumnContents contents{0, 3};
  ColumnStack c = StackColumn(s, 1.0f, contents, 0);
  EXPECT_EQ(c.boxes[6], (WindowBox{0, 32, 128, 92}));    // pen setting
  EXPECT_EQ(c.boxes[9], (WindowBox{0, 124, 128, 288}));  // pen list
  EXPECT_EQ(c.boxes[11], (WindowBox{0, 412, 128, 48}));  // paper texture, 3 files
  EXPECT_EQ(c.contentHeight, 460);
  for (int k : {0, 1, 2, 3, 4, 5, 7, 8, 10}) EXPECT_FALSE(c.shown[k]) << k;

  // Scrolled by 100; the tablet information shown on top; the texture panel has no files.
  s.show_tabinfo = 1;
  s.show_texture = 1;
  c = StackColumn(s, 2.0f, contents, 100);
  EXPECT_EQ(c.boxes[0], (WindowBox{0, -36, 256, 120}));
  EXPECT_EQ(c.boxes[6], (WindowBox{0, 84, 256, 184}));
  EXPECT_FALSE(c.shown[10]);
  EXPECT_EQ(c.contentHeight, 64 + 120 + 184 + 576 + 96);
}

TEST(PanelLayout, ScrollOffsetStaysInItsRange) {
  struct Case {
    int32_t offset;
    ColumnScroll how;
    int32_t position;
    float s;
    int32_t expected;
  };
  // Content 460 in a page of 300: offsets 0..160.
  for (const Case& c : {Case{150, ColumnScroll::kLineDown, 0, 1.0f, 160}, Case{100, ColumnScroll::kLineDown, 0, 2.0f, 132},
                        Case{100, ColumnScroll::kLineUp, 0, 1.0f, 84}, Case{10, ColumnScroll::kLineUp, 0, 1.0f, 0},
                        Case{100, ColumnScroll::kPageUp, 0, 1.0f, 0}, Case{0, ColumnScroll::kPageDown, 0, 1.0f, 160},
                        Case{50, ColumnScroll::kTo, 500, 1.0f, 160}, Case{50, ColumnScroll::kTo, 70, 1.0f, 70},
                        Case{50, ColumnScroll::kBottom, 0, 1.0f, 160}, Case{50, ColumnScroll::kTop, 0, 1.0f, 0}})
    EXPECT_EQ(ScrollColumn(c.offset, c.how, c.position, 460, 300, c.s), c.expected)
        << static_cast<int>(c.how) << " from " << c.offset;
  // Content that fits the page does not scroll.
  EXPECT_EQ(ScrollColumn(0, ColumnScroll::kPageDown, 0, 200, 300, 1.0f), 0);
  EXPECT_EQ(ClampColumnOffset(40, 200, 300), 0);
}

TEST(PanelLayout, FloatingPositionsAreTheThirteenSettingPairs) {
  AppSettings s{};
  EXPECT_FALSE(FloatingPositionsStored(s));
  for (int w = 0; w < kFloatingWindowCount; ++w) StoreFloatingPosition(s, w, {10 * w + 1, -w});
  EXPECT_EQ(s.PanelWindowPosX, 1);
  EXPECT_EQ(s.TabInfoWindowPosY, -1);
  EXPECT_EQ(s.ColorPickerWindowPosX, 81);
  EXPECT_EQ(s.ColorPickerWindowPosY, -8);
  EXPECT_EQ(s.PaperTextureWindowPosX, 121);
  EXPECT_EQ(s.PaperTextureWindowPosY, -12);
  for (int w = 0; w < kFloatingWindowCount; ++w) EXPECT_EQ(FloatingPositionOf(s, w), (FloatingPosition{10 * w + 1, -w}));
  AppSettings one{};
  one.LayerSettingWindowPosY = 3;
  EXPECT_TRUE(FloatingPositionsStored(one));
}

TEST(PanelLayout, FloatingWindowsStayReachable) {
  EXPECT_EQ(ReachableFloatingPosition({30, 40}, 136, 20, 800, 600), (FloatingPosition{30, 40}));
  EXPECT_EQ(ReachableFloatingPosition({-30, -40}, 136, 20, 800, 600), (FloatingPosition{0, 0}));
  EXPECT_EQ(ReachableFloatingPosition({700, 590}, 136, 20, 800, 600), (FloatingPosition{664, 580}));
  EXPECT_EQ(ReachableFloatingPosition({700, 590}, 900, 20, 800, 10), (FloatingPosition{0, 0}));
}

TEST(PanelLayout, FirstFloatingArrangementFollowsTheColumnAndWrapsAtTheBottom) {
  AppSettings s = Panels();
  const ColumnContents contents{0, 2};
  const FrameExtra frame{8, 27};
  SpreadFloatingPositions(s, 1.0f, contents, 800, 600, kBar, frame);
  // Outer sizes: 136 wide; strip 59, pen setting 119, pen list 315, paper 59, tablet
  // information 87, loupe and icons 155, layer 247. Shown members first, then the hidden.
  const FloatingPosition expected[kFloatingWindowCount] = {
      {0, 0},     {136, 0},   {136, 87},  {136, 242}, {136, 397}, {272, 0}, {272, 155},
      {0, 59},    {272, 310}, {408, 0},   {0, 178},   {0, 0},     {0, 493}};
  for (int w = 0; w < kFloatingWindowCount; ++w) EXPECT_EQ(FloatingPositionOf(s, w), expected[w]) << w;

  // Docked right: the first column of windows stands where the docked column would, the next
  // ones to its left.
  s.view_panel_right = 1;
  SpreadFloatingPositions(s, 1.0f, contents, 800, 600, kBar, frame);
  EXPECT_EQ(FloatingPositionOf(s, 0), (FloatingPosition{656, 0}));
  EXPECT_EQ(FloatingPositionOf(s, 10), (FloatingPosition{656, 178}));
  EXPECT_EQ(FloatingPositionOf(s, 1), (FloatingPosition{520, 0}));

  // A client 300 wide holds two columns of windows; the third starts over the first, one
  // caption (27) lower and further in, and the next column goes beside it.
  s.view_panel_right = 0;
  SpreadFloatingPositions(s, 1.0f, contents, 300, 600, kBar, frame);
  EXPECT_EQ(FloatingPositionOf(s, 4), (FloatingPosition{136, 397}));  // icon 1, last of column 2
  EXPECT_EQ(FloatingPositionOf(s, 5), (FloatingPosition{27, 27}));    // icon 2
  EXPECT_EQ(FloatingPositionOf(s, 8), (FloatingPosition{27, 337}));   // colour picker
  EXPECT_EQ(FloatingPositionOf(s, 9), (FloatingPosition{163, 27}));   // layer
}

TEST(PanelLayout, WindowCommands) {
  EXPECT_EQ(ClassifyWindowCommand(40501), (WindowCommand{WindowCommandKind::kMember, PanelMember::kTabInfo}));
  EXPECT_EQ(ClassifyWindowCommand(40509), (WindowCommand{WindowCommandKind::kMember, PanelMember::kLayer}));
  EXPECT_EQ(ClassifyWindowCommand(40512), (WindowCommand{WindowCommandKind::kMember, PanelMember::kPaperTexture}));
  EXPECT_EQ(ClassifyWindowCommand(40500).kind, WindowCommandKind::kEasyPanel);
  EXPECT_EQ(ClassifyWindowCommand(40513).kind, WindowCommandKind::kHidePanel);
  EXPECT_EQ(ClassifyWindowCommand(40514).kind, WindowCommandKind::kPanelRight);
  EXPECT_EQ(ClassifyWindowCommand(40515).kind, WindowCommandKind::kSeparate);
  EXPECT_EQ(ClassifyWindowCommand(40552).kind, WindowCommandKind::kTranslucent);
  EXPECT_EQ(ClassifyWindowCommand(40516).kind, WindowCommandKind::kNone);

  AppSettings s{};
  EXPECT_EQ(FlipWindowSetting(s, 40514), 1);
  EXPECT_EQ(s.view_panel_right, 1);
  s.show_penlist = 7;
  EXPECT_EQ(FlipWindowSetting(s, 40510), 0);
  EXPECT_EQ(s.show_penlist, 0);
  EXPECT_EQ(FlipWindowSetting(s, 40552), -1);
}

TEST(PanelLayout, TranslucencySetsTheLayeredStyleBelowFullAlpha) {
  EXPECT_EQ(TranslucencyAlpha(true, 128), (WindowAlpha{true, 128}));
  EXPECT_EQ(TranslucencyAlpha(false, 128), (WindowAlpha{false, 255}));
  EXPECT_EQ(TranslucencyAlpha(true, 255), (WindowAlpha{false, 255}));
  EXPECT_EQ(TranslucencyAlpha(true, 4000), (WindowAlpha{false, 255}));
  EXPECT_EQ(TranslucencyAlpha(true, 0), (WindowAlpha{true, 0}));
}

TEST(PanelLayout, StartUpPostsTheCommandsThatRestoreTheArrangement) {
  AppSettings s{};
  int32_t commands[2] = {};
  EXPECT_EQ(StartUpPanelCommands(s, commands), 0);
  s.view_panel_right = 1;
  s.SeparatePanel = 1;
  ASSERT_EQ(StartUpPanelCommands(s, commands), 2);
  EXPECT_EQ(commands[0], 40514);
  EXPECT_EQ(commands[1], 40515);
  EXPECT_EQ(s.view_panel_right, 0);
  EXPECT_EQ(s.SeparatePanel, 0);
  s.SeparatePanel = 2;  // any nonzero value is on
  ASSERT_EQ(StartUpPanelCommands(s, commands), 1);
  EXPECT_EQ(commands[0], 40515);
  EXPECT_EQ(s.SeparatePanel, 0);
}

TEST(PanelLayout, CaptionsFromMenuTexts) {
  EXPECT_EQ(CaptionOfMenuText(u"&Tablet Information"), u"Tablet Information");
  EXPECT_EQ(CaptionOfMenuText(u"タブレット情報(&T)"), u"タブレット情報");
  EXPECT_EQ(CaptionOfMenuText(u"Save &As..."), u"Save As");
  EXPECT_EQ(CaptionOfMenuText(u"R&&D\tCtrl+R"), u"R&D");
  EXPECT_EQ(CaptionOfMenuText(u""), u"");
}

TEST(PanelLayout, RowsFromTheTop) {
  EXPECT_EQ(RowAt(-1, 18, 16), -1);
  EXPECT_EQ(RowAt(0, 18, 16), 0);
  EXPECT_EQ(RowAt(17, 18, 16), 0);
  EXPECT_EQ(RowAt(18, 18, 16), 1);
  EXPECT_EQ(RowAt(287, 18, 16), 15);
  EXPECT_EQ(RowAt(288, 18, 16), -1);
  EXPECT_EQ(RowAt(5, 0, 16), -1);
}
