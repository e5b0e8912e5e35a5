#include "reduce/nearest_picture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "reduce/reduce_test_support.h"

namespace {

std::vector<int> MaskBits(const DibBitmap& mask) {
  std::vector<int> bits;
  for (int y = 0; y < DibHeight(mask); ++y)
    for (int x = 0; x < DibWidth(mask); ++x) bits.push_back(MaskBit(DibRow(mask, y), x));
  return bits;
}

}  // namespace

TEST(NearestPicture, OneToOneCopiesTheCanvasBytes) {
  ReduceView t(5, 3);
  t.Load({"00 01 02 03 04", "10 11 12 13 14", "20 21 22 23 24"});
  DibBitmap* mask = nullptr;
  DibPtr picture(NearestViewPicture(t.view, *t.bitmap, &mask, 1));
  DibPtr maskOwner(mask);
  ASSERT_TRUE(picture && mask);
  EXPECT_EQ(CanvasToHex(*picture), (std::vector<std::string>{"00 01 02 03 04", "10 11 12 13 14", "20 21 22 23 24"}));
  for (int b : MaskBits(*mask)) EXPECT_EQ(b, 0);
  // The canvas palette comes along.
  EXPECT_EQ(picture->colours[0xFF].red, 255);
  // Mirrored: each row reversed.
  t.Set(1.0f, 0.0f, 1);
  DibPtr mirrored(NearestViewPicture(t.view, *t.bitmap, nullptr, 0));
  EXPECT_EQ(CanvasToHex(*mirrored), (std::vector<std::string>{"04 03 02 01 00", "14 13 12 11 10", "24 23 22 21 20"}));
  // Magnified views are composed at canvas resolution.
  t.Set(0.25f, 0.0f, 0);
  DibPtr magnified(NearestViewPicture(t.view, *t.bitmap, nullptr, 0));
  EXPECT_EQ(CanvasToHex(*magnified), CanvasToHex(*t.bitmap));
}

TEST(NearestPicture, QuarterTurn) {
  // W = 3, H = 2 at 90 degrees: canvas (x, y) is shown at view (y, W - 1 - x).
  ReduceView t(3, 2);
  t.Load({"00 01 02", "10 11 12"});
  t.Set(1.0f, 90.0f, 0);
  DibPtr picture(NearestViewPicture(t.view, *t.bitmap, nullptr, 0));
  ASSERT_TRUE(picture);
  EXPECT_EQ(CanvasToHex(*picture), (std::vector<std::string>{"02 12", "01 11", "00 10"}));
}

TEST(NearestPicture, RotatedCornersAreMarkedOutside) {
  ReduceView t(64, 48, 0x7F);
  t.Set(1.0f, 30.0f, 0);
  DibBitmap* mask = nullptr;
  DibPtr picture(NearestViewPicture(t.view, *t.bitmap, &mask, 0));
  DibPtr maskOwner(mask);
  ASSERT_TRUE(picture && mask);
  const int w = DibWidth(*picture), h = DibHeight(*picture);
  EXPECT_EQ(MaskBit(DibRow(*mask, 0), 0), 1);
  EXPECT_EQ(MaskBit(DibRow(*mask, h - 1), w - 1), 1);
  EXPECT_EQ(MaskBit(DibRow(*mask, h / 2), w / 2), 0);
  EXPECT_EQ(DibRow(*picture, 0)[0], 0);        // outside: left alone (zero-filled)
  EXPECT_EQ(DibRow(*picture, h / 2)[w / 2], 0x7F);
  // markOutside 0 leaves the mask alone.
  DibPtr fresh(CreateDibBitmap(1, nullptr, 0, w, h));
  NearestRequest r{};
  r.source = t.bitmap.get();
  r.destination = picture.get();
  r.mask = fresh.get();
  r.markOutside = 0;
  r.area = {0, 0, w, h};
  r.transform = ViewNearestAffine(t.view);
  EXPECT_TRUE(NearestResample(r));
  for (int b : MaskBits(*fresh)) ASSERT_EQ(b, 0);
  // A mask of another size is refused.
  DibPtr small(CreateDibBitmap(1, nullptr, 0, 3, 3));
  r.mask = small.get();
  EXPECT_FALSE(NearestResample(r));
}

TEST(NearestPicture, ThreadedBandsGiveTheSamePicture) {
  ReduceView t(1300, 1200);
  DrawTestPicture(*t.bitmap, 4242);
  t.Set(1.0f, 30.0f, 1);
  DibBitmap *maskA = nullptr, *maskB = nullptr;
  DibPtr a(NearestViewPicture(t.view, *t.bitmap, &maskA, 1));
  DibPtr b(NearestViewPicture(t.view, *t.bitmap, &maskB, 0));
  DibPtr ownA(maskA), ownB(maskB);
  ASSERT_GE(DibWidth(*a), 1024);
  EXPECT_TRUE(std::equal(a->bits, a->bits + a->stride * DibHeight(*a), b->bits));
  EXPECT_EQ(MaskBits(*maskA), MaskBits(*maskB));
}
