// The pen-setting XML document, apart from the XML reader and writer themselves: the element
// table, how each element's text is made from a PenSetting and stored back, and the Pictures
// folder token of stamp paths.
//
// The document is flat: the root element "DotwrightPenSetting" holds one child element per
// field, in the order of kPenXmlElements, each with the field's value as text. Numbers are
// written in decimal; on reading, a number is the leading integer of the text (white space
// skipped, an optional sign, digits up to the first other character, 0 without digits,
// clamped to 32 bits) and a flag is 1 when that number is not 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "brush/pen_setting.h"

inline constexpr char16_t kPenXmlRoot[] = u"DotwrightPenSetting";

// Why a pen-setting export or import failed: the XmlLite or stream step that failed (its name
// is the one the program shows, app/user_texts.h), or a document that is not a pen setting.
enum class PenXmlFailure : int {
  kNone = 0,
  kCreateXmlWriter,
  kCreateXmlReader,
  kStreamOnFile,  // "SHCreateStreamOnFile": the file cannot be opened or created
  kSetInput,
  kSetOutput,
  kSetProperty,
  kWriteStartDocument,
  kWriteStartElement,
  kWriteElementString,
  kWriteFullEndElement,
  kWriteEndDocument,
  kFlush,
  kGetLocalName,
  kMoveToFirstAttribute,
  kGetValue,
  kNotPenSetting,  // no "DotwrightPenSetting" root element (not XML at all, or another root)
};

// Stands for the user's Pictures folder at the start of an exported stamp path.
inline constexpr char16_t kPicturesToken[] = u"%USERPROFILE%\\";

enum class PenXmlValue {
  kName,         // Name, at most 31 units
  kStampPath,    // StampFileName, at most 259 units; the Pictures folder becomes the token
  kTexturePath,  // TextureFileName, at most 259 units, unchanged
  kFlag,         // 0 or 1
  kNumber,       // any 32-bit integer
};

struct PenXmlElement {
  const char16_t* name;
  PenXmlValue value;
  int32_t PenSetting::*number;  // the field of kFlag and kNumber elements
};

inline constexpr int kPenXmlElementCount = 25;

// Writing order.
inline constexpr PenXmlElement kPenXmlElements[kPenXmlElementCount] = {
    {u"name", PenXmlValue::kName, nullptr},
    {u"kindOfPen", PenXmlValue::kNumber, &PenSetting::KindOfPen},
    {u"size", PenXmlValue::kNumber, &PenSetting::Size},
    {u"hardness", PenXmlValue::kNumber, &PenSetting::Hardness},
    {u"palette", PenXmlValue::kNumber, &PenSetting::Palette},
    {u"enablePalette", PenXmlValue::kFlag, &PenSetting::EnablePalette},
    {u"brushCursor", PenXmlValue::kFlag, &PenSetting::BrushCursor},
    {u"interval", PenXmlValue::kNumber, &PenSetting::Interval},
    {u"dispersal", PenXmlValue::kNumber, &PenSetting::Dispersal},
    {u"roundness", PenXmlValue::kNumber, &PenSetting::Roundness},
    {u"angle", PenXmlValue::kNumber, &PenSetting::Angle},
    {u"sizeMinimumPressure", PenXmlValue::kNumber, &PenSetting::SizePressure},
    {u"fIntervalPressure", PenXmlValue::kFlag, &PenSetting::IntervalPressure},
    {u"fDispersalPressure", PenXmlValue::kFlag, &PenSetting::DispersalPressure},
    {u"fRoundnessPressure", PenXmlValue::kFlag, &PenSetting::RoundnessPressure},
    {u"fRoundnessTilt", PenXmlValue::kFlag, &PenSetting::RoundnessTilt},
    {u"fAngleRotation", PenXmlValue::kFlag, &PenSetting::AngleRotation},
    {u"angleJitter", PenXmlValue::kNumber, &PenSetting::AngleJitter},
    {u"sizeJitter", PenXmlValue::kNumber, &PenSetting::SizeJitter},
    {u"fDirection", PenXmlValue::kFlag, &PenSetting::Direction},
    {u"fStamp", PenXmlValue::kFlag, &PenSetting::Stamp},
    {u"stampFileName", PenXmlValue::kStampPath, nullptr},
    {u"textureFileName", PenXmlValue::kTexturePath, nullptr},
    {u"textureOffsetX", PenXmlValue::kNumber, &PenSetting::TextureOffsetX},
    {u"textureOffsetY", PenXmlValue::kNumber, &PenSetting::TextureOffsetY},
};

// The element of that exact (case-sensitive) name, or null.
const PenXmlElement* FindPenXmlElement(std::u16string_view name);

// The text written for element e of pen. picturesFolder may be empty (no substitution).
std::u16string PenXmlText(const PenSetting& pen, const PenXmlElement& e, std::u16string_view picturesFolder);

// Stores the text read for element e into pen (stamp paths as read, token included).
void StorePenXmlText(PenSetting& pen, const PenXmlElement& e, std::u16string_view text);

// The leading integer of text, as described above.
int32_t LeadingInteger(std::u16string_view text);

// When picturesFolder is not empty and occurs in path: the token followed by what comes after
// the folder's path (which starts with its own backslash), so C:\P\stamps\a.bmp with the
// Pictures folder C:\P becomes "%USERPROFILE%\\stamps\a.bmp". Otherwise path unchanged.
std::u16string SubstitutePicturesFolder(std::u16string_view path, std::u16string_view picturesFolder);

// The reverse, for an imported stamp path: everything up to and including the first token is
// replaced by picturesFolder. A path without the token is returned unchanged.
std::u16string RestorePicturesFolder(std::u16string_view path, std::u16string_view picturesFolder);
