// Pen XML through the system's XmlLite: files written and read for real.
#include "files/pen_xml_win32.h"
#include "files/utf_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/pen_xml_fields.h"

namespace {

namespace fs = std::filesystem;

class PenXml : public ::testing::Test {
 protected:
  fs::path folder;
  PenXmlFolders folders;

  void SetUp() override {
    folder = fs::temp_directory_path() / ("dotwright-penxml-" + std::to_string(reinterpret_cast<uintptr_t>(this)));
    fs::remove_all(folder);
    fs::create_directories(folder / "Pictures" / "stamps");
    folders.program = folder;
    folders.pictures = folder / "Pictures";
  }
  void TearDown() override {
    std::error_code e;
    fs::remove_all(folder, e);
  }

  std::string ReadText(const fs::path& p) const {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void WriteText(const fs::path& p, const std::string& text) const {
    std::ofstream out(p, std::ios::binary);
    out << text;
  }
  // Imports a document given as text.
  PenXmlFailure ImportText(PenSetting& pen, const std::string& xml) const {
    WriteText(folder / "in.xml", xml);
    return ImportPenSetting(pen, folder / "in.xml");
  }
};

void SetText(char16_t* field, size_t capacity, const std::u16string& text) { CopyText(field, capacity, text); }

// A pen with a different, non-default value in every field.
PenSetting SamplePen() {
  PenSetting pen{};
  SetText(pen.Name, kPenNameUnits, u"Ink & <nib> \"q\" \u925B\u7B46");
  pen.KindOfPen = 19;
  pen.Size = 250;
  pen.Hardness = 73;
  pen.Palette = 5;
  pen.EnablePalette = 1;
  pen.BrushCursor = 0;
  pen.Interval = 333;
  pen.Dispersal = 12;
  pen.Roundness = 44;
  pen.Angle = 271;
  pen.SizePressure = 66;
  pen.IntervalPressure = 0;
  pen.DispersalPressure = 1;
  pen.RoundnessPressure = 1;
  pen.RoundnessTilt = 0;
  pen.AngleRotation = 1;
  pen.AngleJitter = 8;
  pen.SizeJitter = 9;
  pen.Direction = 1;
  pen.Stamp = 1;
  SetText(pen.StampFileName, kPathUnits, u"D:\\st&mp <1>.bmp");
  SetText(pen.TextureFileName, kPathUnits, u"tone_50 \"x\".bmp");
  pen.TextureOffsetX = -17;
  pen.TextureOffsetY = 255;
  return pen;
}

// Every stored field of b equals a's.
void ExpectSamePen(const PenSetting& a, const PenSetting& b) {
  EXPECT_EQ(std::u16string(a.Name), std::u16string(b.Name));
  for (const PenXmlElement& e : kPenXmlElements)
    if (e.number) {
      EXPECT_EQ(a.*e.number, b.*e.number) << fs::path(std::u16string(e.name)).string();
    }
  EXPECT_EQ(std::u16string(a.StampFileName), std::u16string(b.StampFileName));
  EXPECT_EQ(std::u16string(a.TextureFileName), std::u16string(b.TextureFileName));
}

// The complement of every 0-or-1 field and other numbers, so nothing matches by chance.
PenSetting OtherPen() {
  PenSetting pen{};
  SetText(pen.Name, kPenNameUnits, u"old");
  for (const PenXmlElement& e : kPenXmlElements)
    if (e.number) pen.*e.number = e.value == PenXmlValue::kFlag ? 1 - SamplePen().*e.number : 1000;
  SetText(pen.StampFileName, kPathUnits, u"old.bmp");
  SetText(pen.TextureFileName, kPathUnits, u"old.bmp");
  return pen;
}

}  // namespace

TEST_F(PenXml, ExportThenImportKeepsEveryField) {
  const PenSetting sample = SamplePen();
  ASSERT_EQ(PenXmlFailure::kNone, ExportPenSetting(sample, folder / "pen.xml", folders));
  PenSetting imported = OtherPen();
  EXPECT_EQ(ImportPenSetting(imported, folder / "pen.xml"), PenXmlFailure::kNone);
  ExpectSamePen(sample, imported);

  // And back: every flag the other way round, EnablePalette included.
  const PenSetting other = OtherPen();
  ASSERT_EQ(PenXmlFailure::kNone, ExportPenSetting(other, folder / "pen.xml", folders));
  EXPECT_EQ(ImportPenSetting(imported, folder / "pen.xml"), PenXmlFailure::kNone);
  ExpectSamePen(other, imported);
  EXPECT_EQ(imported.EnablePalette, 0);
}

TEST_F(PenXml, TheFileIsFlatIndentedAndEscaped) {
  ASSERT_EQ(PenXmlFailure::kNone, ExportPenSetting(SamplePen(), folder / "pen.xml", folders));
  const std::string text = ReadText(folder / "pen.xml");
  EXPECT_EQ(text.find("<?xml"), text.find('<'));  // the declaration comes first
  EXPECT_NE(text.find("<DotwrightPenSetting>"), std::string::npos);
  EXPECT_NE(text.find("<kindOfPen>19</kindOfPen>"), std::string::npos);
  EXPECT_NE(text.find("<textureOffsetX>-17</textureOffsetX>"), std::string::npos);
  EXPECT_NE(text.find("<sizeMinimumPressure>66</sizeMinimumPressure>"), std::string::npos);
  // & and < are always escaped in text; the name's CJK characters are UTF-8.
  EXPECT_NE(text.find("Ink &amp; &lt;nib"), std::string::npos);
  EXPECT_NE(text.find("st&amp;mp &lt;1"), std::string::npos);
  EXPECT_NE(text.find("\xE9\x89\x9B\xE7\xAD\x86"), std::string::npos);
  // The children in writing order, each on its own indented line.
  size_t last = 0;
  for (const PenXmlElement& e : kPenXmlElements) {
    const std::string open = "\n  <" + fs::path(std::u16string(e.name)).string() + ">";
    const size_t at = text.find(open);
    ASSERT_NE(at, std::string::npos) << open;
    EXPECT_GT(at, last) << open;
    last = at;
  }
}

TEST_F(PenXml, AFileWithAnotherRootIsRefusedAndChangesNothing) {
  PenSetting pen = SamplePen();
  EXPECT_EQ(ImportText(pen, "<?xml version=\"1.0\"?>\n<OtherPenSetting><size>5</size></OtherPenSetting>"),
            PenXmlFailure::kNotPenSetting);
  ExpectSamePen(SamplePen(), pen);
}

TEST_F(PenXml, FilesThatAreNotXmlAtAllAreRefused) {
  // Nothing read is no success: the dialog would otherwise replace the pen by its template.
  for (const char* text : {"", "just words", "\x89PNG\r\n\x1A\n"}) {
    PenSetting pen = SamplePen();
    EXPECT_EQ(ImportText(pen, text), PenXmlFailure::kNotPenSetting) << text;
    ExpectSamePen(SamplePen(), pen);
  }
}

TEST_F(PenXml, NumbersAreLeadingIntegersAndMissingElementsKeepTheirValues) {
  PenSetting pen = SamplePen();
  pen.Stamp = 0;
  EXPECT_EQ(ImportText(pen,
                       "<DotwrightPenSetting>\n"
                       "  <kindOfPen>12abc</kindOfPen>\n"
                       "  <size>x</size>\n"
                       "  <hardness> 42 </hardness>\n"
                       "  <fStamp>5</fStamp>\n"
                       "  <KindOfPen>3</KindOfPen>\n"       // names are case-sensitive
                       "  <unknown>9</unknown>\n"
                       "</DotwrightPenSetting>\n"),
            PenXmlFailure::kNone);
  EXPECT_EQ(pen.KindOfPen, 12);
  EXPECT_EQ(pen.Size, 0);
  EXPECT_EQ(pen.Hardness, 42);
  EXPECT_EQ(pen.Stamp, 1);
  // Everything else as it was, textureOffsetY among them.
  PenSetting expected = SamplePen();
  expected.KindOfPen = 12;
  expected.Size = 0;
  expected.Hardness = 42;
  ExpectSamePen(expected, pen);
}

TEST_F(PenXml, EmptyTextsSurviveARoundTrip) {
  PenSetting pen = SamplePen();
  pen.Name[0] = 0;
  pen.StampFileName[0] = 0;
  ASSERT_EQ(PenXmlFailure::kNone, ExportPenSetting(pen, folder / "pen.xml", folders));
  PenSetting imported = OtherPen();
  EXPECT_EQ(ImportPenSetting(imported, folder / "pen.xml"), PenXmlFailure::kNone);
  EXPECT_EQ(std::u16string(imported.Name), u"");
  EXPECT_EQ(std::u16string(imported.StampFileName), u"");
  // Text after an element's end belongs to no field.
  PenSetting stray = SamplePen();
  EXPECT_EQ(ImportText(stray, "<DotwrightPenSetting><size>7</size>99<name/></DotwrightPenSetting>"), PenXmlFailure::kNone);
  EXPECT_EQ(stray.Size, 7);
  EXPECT_EQ(std::u16string(stray.Name), u"");
}

TEST_F(PenXml, StampsInThePicturesFolderAreWrittenWithTheToken) {
  PenSetting pen = SamplePen();
  const std::u16string pictures = folders.pictures.u16string();
  const std::u16string stamp = pictures + u"\\stamps\\star.bmp";
  SetText(pen.StampFileName, kPathUnits, stamp);
  ASSERT_EQ(PenXmlFailure::kNone, ExportPenSetting(pen, folder / "pen.xml", folders));
  // The token, then the rest with its own backslash.
  EXPECT_NE(ReadText(folder / "pen.xml").find("<stampFileName>%USERPROFILE%\\\\stamps\\star.bmp</stampFileName>"),
            std::string::npos);
  PenSetting imported = OtherPen();
  EXPECT_EQ(ImportPenSetting(imported, folder / "pen.xml"), PenXmlFailure::kNone);
  EXPECT_EQ(std::u16string(imported.StampFileName), u"%USERPROFILE%\\\\stamps\\star.bmp");
  EXPECT_EQ(RestorePicturesFolder(imported.StampFileName, pictures), stamp);

  // Outside the Pictures folder the path is written and read back unchanged.
  SetText(pen.StampFileName, kPathUnits, u"E:\\elsewhere\\star.bmp");
  ASSERT_EQ(PenXmlFailure::kNone, ExportPenSetting(pen, folder / "pen.xml", folders));
  EXPECT_EQ(ImportPenSetting(imported, folder / "pen.xml"), PenXmlFailure::kNone);
  EXPECT_EQ(std::u16string(imported.StampFileName), u"E:\\elsewhere\\star.bmp");
}

TEST_F(PenXml, RelativeNamesAreTakenInTheProgramFolder) {
  ASSERT_EQ(PenXmlFailure::kNone, ExportPenSetting(SamplePen(), "relative.xml", folders));
  EXPECT_TRUE(fs::exists(folder / "relative.xml"));
  const PenXmlFolders system = SystemPenXmlFolders();
  EXPECT_TRUE(fs::is_directory(system.program));
}

TEST_F(PenXml, FailuresAreReportedAndKeepTheOldFile) {
  PenSetting pen = SamplePen();
  EXPECT_EQ(ImportPenSetting(pen, folder / "missing.xml"), PenXmlFailure::kStreamOnFile);

  EXPECT_EQ(ExportPenSetting(pen, folder / "no such folder" / "pen.xml", folders), PenXmlFailure::kStreamOnFile);
  EXPECT_FALSE(fs::exists(folder / "no such folder"));

  // A name no XML can hold fails midway; the old file stays and no temporary is left.
  WriteText(folder / "pen.xml", "old contents");
  SetText(pen.Name, kPenNameUnits, u"bad \u0001 name");
  EXPECT_EQ(ExportPenSetting(pen, folder / "pen.xml", folders), PenXmlFailure::kWriteElementString);
  EXPECT_EQ(ReadText(folder / "pen.xml"), "old contents");
  int files = 0;
  for (const auto& entry : fs::directory_iterator(folder)) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);

  // A damaged document after its root: what was read stays, and the import counts as read.
  PenSetting damaged = SamplePen();
  EXPECT_EQ(ImportText(damaged, "<DotwrightPenSetting><size>7</size><hardness>3</hard"), PenXmlFailure::kNone);
  EXPECT_EQ(damaged.Size, 7);
}
