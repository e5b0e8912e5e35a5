#include "app/window_title.h"

#include <gtest/gtest.h>

TEST(MainWindowTitle, ZoomFileAndUnsavedMark) {
  EXPECT_EQ(MainWindowTitle(2.0f, {}, true), u"Dotwright - 1/2.000 - ");
  EXPECT_EQ(MainWindowTitle(0.25f, "pic.png", false), u"Dotwright - x4.000 - pic.png *");
  EXPECT_EQ(MainWindowTitle(1.0f, std::string(400, 'a'), true).size(), 259u);
}
