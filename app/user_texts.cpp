#include "app/user_texts.h"

const char* BmpFailureText(BmpFailure failure) {
  switch (failure) {
    case BmpFailure::kNone:
      return nullptr;
    case BmpFailure::kTooShort:
      return "the file is too short to be a BMP file";
    case BmpFailure::kNotBmp:
      return "not a BMP file";
    case BmpFailure::kUnknownHeader:
      return "unknown BMP header";
    case BmpFailure::kHeaderTruncated:
      return "the BMP header is truncated";
    case BmpFailure::kRleCompressed:
      return "RLE-compressed BMP files are not supported";
    case BmpFailure::kEmbeddedJpegOrPng:
      return "BMP files holding JPEG or PNG data are not supported";
    case BmpFailure::kUnknownCompression:
      return "unknown BMP compression";
    case BmpFailure::kSixteenBit:
      return "16-bit BMP files are not supported";
    case BmpFailure::kUnsupportedBits:
      return "unsupported number of bits per pixel";
    case BmpFailure::kBitFieldsNot32:
      return "bit fields are only supported in 32-bit BMP files";
    case BmpFailure::kBadWidth:
      return "the BMP width is not positive";
    case BmpFailure::kBadHeight:
      return "bad BMP height";
    case BmpFailure::kMasksTruncated:
      return "the BMP channel masks are truncated";
    case BmpFailure::kBadMasks:
      return "bad BMP channel masks";
    case BmpFailure::kPixelOffsetInHeader:
      return "the BMP pixel offset points into the header";
    case BmpFailure::kPixelOffsetBeyondEnd:
      return "the BMP pixel offset lies beyond the end of the file";
    case BmpFailure::kTooManyColours:
      return "too many BMP colours";
    case BmpFailure::kTooWide:
      return "the BMP image is too wide";
    case BmpFailure::kPixelsTruncated:
      return "the BMP pixel data is truncated";
    case BmpFailure::kNoMemoryForImage:
      return "not enough memory for the BMP image";
    case BmpFailure::kCannotOpen:
      return "cannot open the BMP file";
    case BmpFailure::kFileTooLarge:
      return "the BMP file is too large";
    case BmpFailure::kNoMemoryForFile:
      return "not enough memory for the BMP file";
    case BmpFailure::kCannotRead:
      return "cannot read the BMP file";
  }
  return nullptr;
}

const char* PsdExportText(PsdExportFailure failure) {
  switch (failure) {
    case PsdExportFailure::kNone:
      return nullptr;
    case PsdExportFailure::kNotEightBit:
      return "Only an 8-bit canvas can be exported as a PSD file.";
    case PsdExportFailure::kTooLarge:
      return "The canvas is too large for a PSD file (30000 x 30000 pixels at most).";
    case PsdExportFailure::kCannotCreate:
      return "Cannot create PSD file.";
    case PsdExportFailure::kNoMemory:
      return "Not enough memory to export the PSD file.";
    case PsdExportFailure::kLayersTooLarge:
      return "The canvas's layers are too large for a PSD file.";
    case PsdExportFailure::kCannotWrite:
      return "Cannot write PSD file.";
  }
  return nullptr;
}

std::string CanvasWriteText(const CanvasPngWriteFailure& failure) {
  if (failure.deflate != DeflateFailure::kInit && failure.deflate != DeflateFailure::kStream) return std::string();
  return std::to_string(failure.value);
}
