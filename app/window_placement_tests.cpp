#include "app/window_placement.h"

#include <gtest/gtest.h>

#include <climits>

TEST(WindowPlacement, TheSavedRectangleIsKeptOnScreen) {
  const PlacementRect screen{0, 0, 1920, 1080};
  struct Case {
    PlacementRect saved;
    bool apply;
    PlacementRect restored;
  };
  const Case kCases[] = {
      {{100, 50, 900, 650}, true, {100, 50, 900, 650}},        // on screen: as it was
      {{1800, 900, 2600, 1500}, true, {1120, 480, 1920, 1080}},  // off the corner: moved in
      {{-500, -20, 300, 580}, true, {0, 0, 800, 600}},
      {{0, 0, 4000, 3000}, true, {0, 0, 1920, 1080}},           // larger than the screen
      {{INT_MAX - 10, 0, INT_MAX, 600}, false, {}},              // too narrow
      {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, true, {0, 0, 1920, 1080}},
      {{500, 500, 100, 100}, false, {}},                         // inverted
  };
  for (const Case& c : kCases) {
    WindowPlacement saved{};
    saved.showCmd = 1;
    saved.rcNormalPosition = c.saved;
    const PlacementToApply p = PlacementToRestore(saved, screen);
    EXPECT_EQ(p.apply, c.apply) << c.saved.left << " " << c.saved.top;
    if (!c.apply) continue;
    const PlacementRect& r = p.placement.rcNormalPosition;
    EXPECT_EQ(r.left, c.restored.left) << c.saved.left;
    EXPECT_EQ(r.top, c.restored.top) << c.saved.left;
    EXPECT_EQ(r.right, c.restored.right) << c.saved.left;
    EXPECT_EQ(r.bottom, c.restored.bottom) << c.saved.left;
    EXPECT_EQ(p.placement.showCmd, 0u);
    EXPECT_FALSE(p.maximise);
  }
}

TEST(WindowPlacement, AMaximisedWindowOpensMaximised) {
  WindowPlacement saved{};
  saved.showCmd = 3;
  saved.rcNormalPosition = {10, 10, 810, 610};
  const PlacementToApply p = PlacementToRestore(saved, {0, 0, 1280, 1024});
  EXPECT_TRUE(p.apply && p.maximise);
  EXPECT_FALSE(PlacementToRestore(saved, {0, 0, 0, 0}).apply);  // no screen known
}
