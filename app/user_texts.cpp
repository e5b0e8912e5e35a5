#include "app/user_texts.h"

#include <cstdio>

#include "files/utf_text.h"

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

// The text of kTooLarge names the largest side.
static_assert(kMaxCanvasSide == 20000, "CanvasLoadText names the largest canvas side");

const char* CanvasLoadText(CanvasLoadFailure failure) {
  switch (failure) {
    case CanvasLoadFailure::kNone: return nullptr;
    case CanvasLoadFailure::kUnreadable: return "the file is damaged";
    case CanvasLoadFailure::kUnsupported: return "the picture cannot become a canvas";
    case CanvasLoadFailure::kNoMemory: return "not enough memory for the canvas";
    case CanvasLoadFailure::kCannotOpen: return "the file cannot be opened";
    case CanvasLoadFailure::kNotPng: return "not a PNG file";
    case CanvasLoadFailure::kTruncated: return "the file is truncated";
    case CanvasLoadFailure::kBadChecksum: return "the file is damaged: a checksum does not match";
    case CanvasLoadFailure::kUnsupportedLayout:
      return "unsupported PNG colour type or bit depth (1- or 8-bit palette or grey, 8-bit RGB or RGBA are read)";
    case CanvasLoadFailure::kTooLarge: return "the canvas is larger than 20000 x 20000 pixels";
  }
  return nullptr;
}

std::string CanvasWriteText(const CanvasPngWriteFailure& failure) {
  if (failure.deflate != DeflateFailure::kInit && failure.deflate != DeflateFailure::kStream) return std::string();
  return std::to_string(failure.value);
}

std::string SettingsSaveText(const std::filesystem::path& settingsFile) {
  return "Cannot save the settings file: " + Utf16ToUtf8(TextFromPath(settingsFile));
}

std::string BindingCollisionText(const BindingCollision& collision) {
  char text[128];
  std::snprintf(text, sizeof text, "collision: num=%d ,fVirt=%d ,vk_index=%d ,cmd=%d", collision.index,
                static_cast<int>(collision.fVirt), collision.keyIndex, static_cast<int>(collision.cmd));
  return text;
}

std::string GpuSetUpText(GpuSetUpFailure failure, const GpuEngineOptions& options) {
  if (failure != GpuSetUpFailure::kRuntimeNotFound) return std::string();
  return std::string(GpuRuntimeName(options)) + " is not found.";
}

const char* RecomposeText(RecomposeFailure failure) {
  return failure == RecomposeFailure::kNoPicture ? "error" : nullptr;
}

namespace {

// XmlLite's (or the shell's) name of each step, as the message shows it.
const char* PenXmlStepName(PenXmlFailure failure) {
  switch (failure) {
    case PenXmlFailure::kCreateXmlWriter: return "CreateXmlWriter";
    case PenXmlFailure::kCreateXmlReader: return "CreateXmlReader";
    case PenXmlFailure::kStreamOnFile: return "SHCreateStreamOnFile";
    case PenXmlFailure::kSetInput: return "SetInput";
    case PenXmlFailure::kSetOutput: return "SetOutput";
    case PenXmlFailure::kSetProperty: return "SetProperty";
    case PenXmlFailure::kWriteStartDocument: return "WriteStartDocument";
    case PenXmlFailure::kWriteStartElement: return "WriteStartElement";
    case PenXmlFailure::kWriteElementString: return "WriteElementString";
    case PenXmlFailure::kWriteFullEndElement: return "WriteFullEndElement";
    case PenXmlFailure::kWriteEndDocument: return "WriteEndDocument";
    case PenXmlFailure::kFlush: return "Flush";
    case PenXmlFailure::kGetLocalName: return "GetLocalName";
    case PenXmlFailure::kMoveToFirstAttribute: return "MoveToFirstAttribute";
    case PenXmlFailure::kGetValue: return "GetValue";
    case PenXmlFailure::kNone:
    case PenXmlFailure::kNotPenSetting: break;
  }
  return nullptr;
}

}  // namespace

CaptionedText PenXmlText(PenXmlFailure failure) {
  if (failure == PenXmlFailure::kNotPenSetting) return {"It is not an xml file for Dotwright.", "error"};
  const char* step = PenXmlStepName(failure);
  if (!step) return {std::string(), ""};
  return {std::string(step) + "\xE5\xA4\xB1\xE6\x95\x97", "\xE8\xAD\xA6\xE5\x91\x8A"};  // "失敗", "警告"
}

std::string FileCommandText(FileCommandFailure failure, const std::filesystem::path& path, int32_t detail) {
  const std::string name = Utf16ToUtf8(TextFromPath(path));
  switch (failure) {
    case FileCommandFailure::kNone: return {};
    case FileCommandFailure::kNotAFolder: return name;
    case FileCommandFailure::kCannotWrite:
      return "Cannot save the canvas to " + name + ". The file was left as it was; try another folder or name.";
    case FileCommandFailure::kCannotRead:
      if (const char* why = detail ? CanvasLoadText(static_cast<CanvasLoadFailure>(detail)) : nullptr)
        return "Cannot open " + name + ": " + why + ".";
      return "Cannot open " + name + ": it is not a canvas Dotwright can read, or it is damaged or truncated.";
    case FileCommandFailure::kNoMemory:
      return name.empty() ? "Not enough memory for the canvas." : "Not enough memory to open " + name + ".";
    case FileCommandFailure::kCannotExport:
      if (const char* psd = detail ? PsdExportText(static_cast<PsdExportFailure>(detail)) : nullptr)
        return std::string(psd) + "\n" + name;
      return "Cannot export the picture to " + name + ".";
    case FileCommandFailure::kOwnCanvas:
      return name + " is the canvas being edited. Choose another name for the export.";
    case FileCommandFailure::kNoFreeName:
      return "Cannot name another copy of the canvas in " + name + " this second. Try again.";
  }
  return {};
}
