#include "files/pen_xml_fields.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

TEST(PenXmlFields, NumbersAreTheLeadingInteger) {
  EXPECT_EQ(LeadingInteger(u"12abc"), 12);
  EXPECT_EQ(LeadingInteger(u"x"), 0);
  EXPECT_EQ(LeadingInteger(u""), 0);
  EXPECT_EQ(LeadingInteger(u" \t\n-7 "), -7);
  EXPECT_EQ(LeadingInteger(u"+25"), 25);
  EXPECT_EQ(LeadingInteger(u"0x10"), 0);   // decimal only: stops at the x
  EXPECT_EQ(LeadingInteger(u"- 5"), 0);    // no digit right after the sign
  EXPECT_EQ(LeadingInteger(u"99999999999999999999"), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(LeadingInteger(u"-2147483648"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(LeadingInteger(u"-2147483649"), std::numeric_limits<int32_t>::min());
}

TEST(PenXmlFields, FlagsAreOneWhenNotZero) {
  PenSetting pen{};
  const PenXmlElement* stamp = FindPenXmlElement(u"fStamp");
  ASSERT_NE(stamp, nullptr);
  StorePenXmlText(pen, *stamp, u"5");
  EXPECT_EQ(pen.Stamp, 1);
  StorePenXmlText(pen, *stamp, u"-1");
  EXPECT_EQ(pen.Stamp, 1);
  StorePenXmlText(pen, *stamp, u"zero");
  EXPECT_EQ(pen.Stamp, 0);
  StorePenXmlText(pen, *FindPenXmlElement(u"enablePalette"), u"7");
  EXPECT_EQ(pen.EnablePalette, 1);
  StorePenXmlText(pen, *FindPenXmlElement(u"kindOfPen"), u"12abc");
  EXPECT_EQ(pen.KindOfPen, 12);
  // "sizeMinimumPressure" is the name of SizePressure; names are case-sensitive.
  StorePenXmlText(pen, *FindPenXmlElement(u"sizeMinimumPressure"), u"40");
  EXPECT_EQ(pen.SizePressure, 40);
  EXPECT_EQ(FindPenXmlElement(u"SizeMinimumPressure"), nullptr);
  EXPECT_EQ(FindPenXmlElement(u"DotwrightPenSetting"), nullptr);
}

TEST(PenXmlFields, EveryFieldHasItsElementOnce) {
  // Each numeric element stores its own index + 2 (flags store 1). If two elements shared a
  // field, one of the values below would be missing and another field would stay 0.
  PenSetting pen{};
  int numbers = 0;
  for (int i = 0; i < kPenXmlElementCount; ++i) {
    const PenXmlElement& e = kPenXmlElements[i];
    if (!e.number) continue;
    ++numbers;
    const std::string digits = std::to_string(i + 2);
    StorePenXmlText(pen, e, std::u16string(digits.begin(), digits.end()));
  }
  EXPECT_EQ(numbers, 22);  // 25 elements less the name and the two paths
  // Writing order: name 0, kindOfPen 1, size 2, hardness 3, palette 4, enablePalette 5, ...
  EXPECT_EQ(pen.KindOfPen, 3);
  EXPECT_EQ(pen.Size, 4);
  EXPECT_EQ(pen.Hardness, 5);
  EXPECT_EQ(pen.Palette, 6);
  EXPECT_EQ(pen.Interval, 9);
  EXPECT_EQ(pen.Dispersal, 10);
  EXPECT_EQ(pen.Roundness, 11);
  EXPECT_EQ(pen.Angle, 12);
  EXPECT_EQ(pen.SizePressure, 13);
  EXPECT_EQ(pen.AngleJitter, 19);
  EXPECT_EQ(pen.SizeJitter, 20);
  EXPECT_EQ(pen.TextureOffsetX, 25);
  EXPECT_EQ(pen.TextureOffsetY, 26);
  EXPECT_EQ(pen.EnablePalette + pen.BrushCursor + pen.IntervalPressure + pen.DispersalPressure + pen.RoundnessPressure +
                pen.RoundnessTilt + pen.AngleRotation + pen.Direction + pen.Stamp,
            9);
}

TEST(PenXmlFields, TextIsCutToTheFieldWithoutSplittingACharacter) {
  PenSetting pen{};
  const std::u16string longName(40, u'a');
  StorePenXmlText(pen, *FindPenXmlElement(u"name"), longName);
  EXPECT_EQ(std::u16string(pen.Name), std::u16string(31, u'a'));
  // 30 units, then a pair (U+1F58C) that would need units 31 and 32: the pair goes whole.
  std::u16string withPair = std::u16string(30, u'b') + u"\U0001F58C";
  StorePenXmlText(pen, *FindPenXmlElement(u"name"), withPair);
  EXPECT_EQ(std::u16string(pen.Name), std::u16string(30, u'b'));
  const std::u16string longPath(300, u'p');
  StorePenXmlText(pen, *FindPenXmlElement(u"textureFileName"), longPath);
  EXPECT_EQ(std::u16string(pen.TextureFileName).size(), 259u);
}

TEST(PenXmlFields, StampPathsInThePicturesFolderUseTheToken) {
  const std::u16string pictures = u"C:\\Users\\kim\\Pictures";
  // The token, then the rest with its own leading backslash: two backslashes in a row.
  EXPECT_EQ(SubstitutePicturesFolder(u"C:\\Users\\kim\\Pictures\\stamps\\star.bmp", pictures),
            u"%USERPROFILE%\\\\stamps\\star.bmp");
  EXPECT_EQ(RestorePicturesFolder(u"%USERPROFILE%\\\\stamps\\star.bmp", pictures),
            u"C:\\Users\\kim\\Pictures\\stamps\\star.bmp");
  // Outside the folder, or with no folder known, the path stays as it is.
  EXPECT_EQ(SubstitutePicturesFolder(u"D:\\stamps\\star.bmp", pictures), u"D:\\stamps\\star.bmp");
  EXPECT_EQ(SubstitutePicturesFolder(u"C:\\Users\\kim\\Pictures\\a.bmp", u""), u"C:\\Users\\kim\\Pictures\\a.bmp");
  EXPECT_EQ(RestorePicturesFolder(u"D:\\stamps\\star.bmp", pictures), u"D:\\stamps\\star.bmp");
  // Texture names are written unchanged even inside the folder.
  PenSetting pen{};
  const std::u16string texture = pictures + u"\\t.bmp";
  texture.copy(pen.TextureFileName, texture.size());
  EXPECT_EQ(PenXmlText(pen, *FindPenXmlElement(u"textureFileName"), pictures), texture);
  pen.TextureOffsetX = -12;
  EXPECT_EQ(PenXmlText(pen, *FindPenXmlElement(u"textureOffsetX"), pictures), u"-12");
}
