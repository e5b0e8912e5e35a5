#include "app/user_texts.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
