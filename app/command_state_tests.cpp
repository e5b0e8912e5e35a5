#include "app/command_state.h"

#include <gtest/gtest.h>

namespace {

// Working canvas at scale 1, nothing to undo, nothing floating, pen 0, no language matched.
CommandSnapshot Plain() {
  CommandSnapshot s{};
  s.viewScale = 1.0f;
  s.currentLanguage = -1;
  return s;
}

struct Case {
  const char* what;
  void (*set)(CommandSnapshot&);
  int id;
  bool enabled;
  bool checked;
};

void Nothing(CommandSnapshot&) {}

}  // namespace

TEST(QueryCommand, GreyingAndChecks) {
  constexpr Case kCases[] = {
      {"new from clipboard always", Nothing, 40003, true, false},
      {"save archives the working canvas", Nothing, 40004, true, false},
      {"export zoomed in", [](CommandSnapshot& s) { s.viewScale = 0.5f; }, 40008, false, false},
      {"export zoomed out", [](CommandSnapshot& s) { s.viewScale = 2.0f; }, 40008, true, false},
      {"undo", [](CommandSnapshot& s) { s.canUndo = true; }, 40101, true, false},
      {"redo is not undo", [](CommandSnapshot& s) { s.canUndo = true; }, 40102, false, false},
      {"redo", [](CommandSnapshot& s) { s.canRedo = true; }, 40102, true, false},
      {"cut idle", Nothing, 40103, false, false},
      {"cut floating", [](CommandSnapshot& s) { s.pendingOperation = true; }, 40103, true, false},
      {"copy floating", [](CommandSnapshot& s) { s.pendingOperation = true; }, 40104, true, false},
      {"paste nothing held", Nothing, 40105, false, false},
      {"paste own image", [](CommandSnapshot& s) { s.clipboardImageHeld = true; }, 40105, true, false},
      {"paste system bitmap", [](CommandSnapshot& s) { s.systemClipboardHasBitmap = true; }, 40105, true, false},
      {"select all zoomed in", [](CommandSnapshot& s) { s.viewScale = 0.999f; }, 40106, false, false},
      {"select layer zoomed in", [](CommandSnapshot& s) { s.viewScale = 0.25f; }, 40107, false, false},
      {"pen slot 0 current", Nothing, 40201, true, true},
      {"pen slot 15", [](CommandSnapshot& s) { s.currentPen = 15; }, 40216, true, true},
      {"other pen slot", [](CommandSnapshot& s) { s.currentPen = 15; }, 40215, true, false},
      {"language 2", [](CommandSnapshot& s) { s.currentLanguage = 2; }, 40903, true, true},
      {"language 0 not current", [](CommandSnapshot& s) { s.currentLanguage = 2; }, 40901, true, false},
      {"zoom 1 is preset 5", Nothing, 40526, true, true},
      {"zoom 16 is preset 1", [](CommandSnapshot& s) { s.viewScale = 16.0f; }, 40522, true, true},
      {"zoom 0.125 is preset 8", [](CommandSnapshot& s) { s.viewScale = 0.125f; }, 40529, true, true},
      {"zoom between presets", [](CommandSnapshot& s) { s.viewScale = 3.0f; }, 40524, true, false},
      {"mirror on", [](CommandSnapshot& s) { s.viewMirrored = true; }, 40537, true, true},
      {"rotation 0", Nothing, 40541, true, true},
      {"rotation 270", [](CommandSnapshot& s) { s.viewRotation = 270.0f; }, 40544, true, true},
      {"rotation 45 matches none", [](CommandSnapshot& s) { s.viewRotation = 45.0f; }, 40542, true, false},
      {"translucent", [](CommandSnapshot& s) { s.translucent = true; }, 40552, true, true},
      {"texture item", Nothing, 40301, true, false},
      {"unused file id", Nothing, 40010, true, false},
      {"R has no command", Nothing, 40521, true, false},
      {"digit id", Nothing, 305, true, false},
      {"hidden command", [](CommandSnapshot& s) { s.currentLanguage = 4100; }, 45001, true, false},
  };
  for (const Case& c : kCases) {
    CommandSnapshot s = Plain();
    c.set(s);
    EXPECT_EQ(QueryCommand(static_cast<CommandId>(c.id), s), (CommandAvailability{c.enabled, c.checked}))
        << c.what;
  }
}

// Each window command is checked by its own setting and by no other.
TEST(QueryCommand, WindowChecksFollowTheirSettings) {
  struct Row {
    int id;
    int32_t AppSettings::*setting;
  };
  const Row kRows[] = {
      {40500, &AppSettings::ShowEasyPanel},   {40501, &AppSettings::show_tabinfo},
      {40502, &AppSettings::show_loupe},      {40503, &AppSettings::show_Icon},
      {40504, &AppSettings::show_Icon1},      {40505, &AppSettings::show_Icon2},
      {40506, &AppSettings::show_Icon3},      {40507, &AppSettings::show_pensetting},
      {40508, &AppSettings::ShowColorPicker}, {40509, &AppSettings::show_layersetting},
      {40510, &AppSettings::show_penlist},    {40511, &AppSettings::show_texture},
      {40512, &AppSettings::show_paper_texture}, {40513, &AppSettings::hide_panel},
      {40514, &AppSettings::view_panel_right}, {40515, &AppSettings::SeparatePanel},
  };
  for (const Row& r : kRows) {
    AppSettings settings{};
    settings.*r.setting = 1;
    CommandSnapshot s = Plain();
    TakeWindowSettings(settings, s);
    for (int id = 40500; id <= 40515; ++id)
      EXPECT_EQ(QueryCommand(static_cast<CommandId>(id), s), (CommandAvailability{true, id == r.id}))
          << "setting of " << r.id << ", command " << id;
  }
}

TEST(BrushSizeSteps, DownAndUp) {
  struct Row {
    int32_t size, down, up;
  };
  constexpr Row kRows[] = {
      {1, 1, 2},        // 1 stays 1
      {11, 10, 12},     // between steps
      {10, 9, 12},      // on a step
      {17, 16, 20},
      {130, 120, 160},
      {1000, 900, 1000},  // 1000 stays 1000
      {0, 1, 1},        // below the range
      {1500, 1000, 1000},  // above it
  };
  for (const Row& r : kRows) {
    EXPECT_EQ(BrushSizeStepDown(r.size), r.down) << r.size;
    EXPECT_EQ(BrushSizeStepUp(r.size), r.up) << r.size;
  }
}
