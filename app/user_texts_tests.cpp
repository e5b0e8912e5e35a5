#include "app/user_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "reduce/opencl_library.h"

namespace {

// nullptr in a row: the failure is silent (or there is no failure).
std::string Or(const char* text) { return text ? text : "(none)"; }

TEST(UserTexts, PsdExportFailuresHaveTheProgramsWords) {
  const struct {
    PsdExportFailure failure;
    const char* text;
  } rows[] = {
      {PsdExportFailure::kNone, "(none)"},
      {PsdExportFailure::kNotEightBit, "Only an 8-bit canvas can be exported as a PSD file."},
      {PsdExportFailure::kTooLarge, "The canvas is too large for a PSD file (30000 x 30000 pixels at most)."},
      {PsdExportFailure::kCannotCreate, "Cannot create PSD file."},
      {PsdExportFailure::kNoMemory, "Not enough memory to export the PSD file."},
      {PsdExportFailure::kLayersTooLarge, "The canvas's layers are too large for a PSD file."},
      {PsdExportFailure::kCannotWrite, "Cannot write PSD file."},
  };
  for (const auto& row : rows) EXPECT_EQ(Or(PsdExportText(row.failure)), row.text) << static_cast<int>(row.failure);
}

TEST(UserTexts, BmpFailuresHaveAReasonExceptSuccess) {
  EXPECT_EQ(BmpFailureText(BmpFailure::kNone), nullptr);
  EXPECT_EQ(Or(BmpFailureText(BmpFailure::kNotBmp)), "not a BMP file");
  EXPECT_EQ(Or(BmpFailureText(BmpFailure::kCannotRead)), "cannot read the BMP file");
  for (int i = static_cast<int>(BmpFailure::kTooShort); i <= static_cast<int>(BmpFailure::kCannotRead); ++i)
    EXPECT_NE(BmpFailureText(static_cast<BmpFailure>(i)), nullptr) << i;
}

TEST(UserTexts, CanvasLoadFailuresSayWhy) {
  const struct {
    CanvasLoadFailure failure;
    const char* text;
  } rows[] = {
      {CanvasLoadFailure::kNone, "(none)"},
      {CanvasLoadFailure::kUnreadable, "the file is damaged"},
      {CanvasLoadFailure::kUnsupported, "the picture cannot become a canvas"},
      {CanvasLoadFailure::kNoMemory, "not enough memory for the canvas"},
      {CanvasLoadFailure::kCannotOpen, "the file cannot be opened"},
      {CanvasLoadFailure::kNotPng, "not a PNG file"},
      {CanvasLoadFailure::kTruncated, "the file is truncated"},
      {CanvasLoadFailure::kBadChecksum, "the file is damaged: a checksum does not match"},
      {CanvasLoadFailure::kUnsupportedLayout,
       "unsupported PNG colour type or bit depth (1- or 8-bit palette or grey, 8-bit RGB or RGBA are read)"},
      {CanvasLoadFailure::kTooLarge, "the canvas is larger than 20000 x 20000 pixels"},
  };
  for (const auto& row : rows) EXPECT_EQ(Or(CanvasLoadText(row.failure)), row.text) << static_cast<int>(row.failure);
}

TEST(UserTexts, ACanvasThatDoesNotOpenIsReportedWithItsReason) {
  EXPECT_EQ(FileCommandText(FileCommandFailure::kCannotRead, "c.png", static_cast<int32_t>(CanvasLoadFailure::kTruncated)),
            "Cannot open c.png: the file is truncated.");
  // Without a reason: the general words.
  EXPECT_EQ(FileCommandText(FileCommandFailure::kCannotRead, "c.png", 0),
            "Cannot open c.png: it is not a canvas Dotwright can read, or it is damaged or truncated.");
}

TEST(UserTexts, DeflateFailuresAreShownAsTheirNumber) {
  const struct {
    CanvasPngWriteFailure failure;
    const char* text;
  } rows[] = {
      {{DeflateFailure::kNone, 0}, ""},
      {{DeflateFailure::kInit, -4}, "-4"},     // zlib's error number
      {{DeflateFailure::kStream, 57}, "57"},   // the row
      {{DeflateFailure::kMemory, 12}, ""},     // silent
  };
  for (const auto& row : rows) EXPECT_EQ(CanvasWriteText(row.failure), row.text);
}

TEST(UserTexts, SettingsSaveFailureNamesTheFile) {
  EXPECT_EQ(SettingsSaveText(std::filesystem::path("gone") / "Dotwright.ini"),
            "Cannot save the settings file: " + (std::filesystem::path("gone") / "Dotwright.ini").string());
}

TEST(UserTexts, BindingCollisionsAreShownInDecimal) {
  // Entry 2 of the keyboard table, flag byte 1, key index 23 ("A"), command 200.
  EXPECT_EQ(BindingCollisionText({2, 1, 23, 200}), "collision: num=2 ,fVirt=1 ,vk_index=23 ,cmd=200");
  EXPECT_EQ(BindingCollisionText({0, 0x0D, 123, 45001}), "collision: num=0 ,fVirt=13 ,vk_index=123 ,cmd=45001");
}

TEST(UserTexts, OnlyAMissingOpenClRuntimeIsShown) {
  GpuEngineOptions options = ProgramGpuEngineOptions("folder");
  options.libraryName = "OpenCL.dll";
  EXPECT_EQ(GpuSetUpText(GpuSetUpFailure::kRuntimeNotFound, options), "OpenCL.dll is not found.");
  EXPECT_EQ(GpuSetUpText(GpuSetUpFailure::kSetUpFailed, options), "");
  EXPECT_EQ(GpuSetUpText(GpuSetUpFailure::kNone, options), "");
  options.libraryName = nullptr;  // the platform's runtime
  EXPECT_EQ(GpuSetUpText(GpuSetUpFailure::kRuntimeNotFound, options),
            std::string(DefaultOpenClLibraryName()) + " is not found.");
}

TEST(UserTexts, OnlyAMissingNearestPictureIsShownAfterARecomposition) {
  const struct {
    RecomposeFailure failure;
    const char* text;
  } rows[] = {
      {RecomposeFailure::kNone, "(none)"},
      {RecomposeFailure::kNoCanvas, "(none)"},
      {RecomposeFailure::kNoPicture, "error"},
      {RecomposeFailure::kNoMemory, "(none)"},
  };
  for (const auto& row : rows) EXPECT_EQ(Or(RecomposeText(row.failure)), row.text) << static_cast<int>(row.failure);
}

TEST(UserTexts, PenXmlFailuresNameTheStepUnderTheirOwnCaptions) {
  const std::string failed = "\xE5\xA4\xB1\xE6\x95\x97";  // "失敗"
  const std::string warning = "\xE8\xAD\xA6\xE5\x91\x8A";  // "警告"
  const struct {
    PenXmlFailure failure;
    std::string text;
    std::string caption;
  } rows[] = {
      {PenXmlFailure::kNone, "", ""},
      {PenXmlFailure::kCreateXmlWriter, "CreateXmlWriter" + failed, warning},
      {PenXmlFailure::kCreateXmlReader, "CreateXmlReader" + failed, warning},
      {PenXmlFailure::kStreamOnFile, "SHCreateStreamOnFile" + failed, warning},
      {PenXmlFailure::kSetInput, "SetInput" + failed, warning},
      {PenXmlFailure::kSetOutput, "SetOutput" + failed, warning},
      {PenXmlFailure::kSetProperty, "SetProperty" + failed, warning},
      {PenXmlFailure::kWriteStartDocument, "WriteStartDocument" + failed, warning},
      {PenXmlFailure::kWriteStartElement, "WriteStartElement" + failed, warning},
      {PenXmlFailure::kWriteElementString, "WriteElementString" + failed, warning},
      {PenXmlFailure::kWriteFullEndElement, "WriteFullEndElement" + failed, warning},
      {PenXmlFailure::kWriteEndDocument, "WriteEndDocument" + failed, warning},
      {PenXmlFailure::kFlush, "Flush" + failed, warning},
      {PenXmlFailure::kGetLocalName, "GetLocalName" + failed, warning},
      {PenXmlFailure::kMoveToFirstAttribute, "MoveToFirstAttribute" + failed, warning},
      {PenXmlFailure::kGetValue, "GetValue" + failed, warning},
      {PenXmlFailure::kNotPenSetting, "It is not an xml file for Dotwright.", "error"},
  };
  for (const auto& row : rows) {
    const CaptionedText shown = PenXmlText(row.failure);
    EXPECT_EQ(shown.text, row.text) << static_cast<int>(row.failure);
    EXPECT_EQ(shown.caption, row.caption) << static_cast<int>(row.failure);
  }
}

}  // namespace
