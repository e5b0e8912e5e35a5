#include "files/pen_xml_fields.h"

#include <algorithm>
#include <limits>

#include "files/utf_text.h"

namespace {

bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

}  // namespace

const PenXmlElement* FindPenXmlElement(std::u16string_view name) {
  for (const PenXmlElement& e : kPenXmlElements)
    if (name == e.name) return &e;
  return nullptr;
}

std::u16string PenXmlText(const PenSetting& pen, const PenXmlElement& e, std::u16string_view picturesFolder) {
  switch (e.value) {
    case PenXmlValue::kName:
      return std::u16string(TextOf(pen.Name, kPenNameUnits));
    case PenXmlValue::kStampPath:
      return SubstitutePicturesFolder(TextOf(pen.StampFileName, kPathUnits), picturesFolder);
    case PenXmlValue::kTexturePath:
      return std::u16string(TextOf(pen.TextureFileName, kPathUnits));
    case PenXmlValue::kFlag:
    case PenXmlValue::kNumber:
      break;
  }
  const std::string digits = std::to_string(pen.*e.number);
  return std::u16string(digits.begin(), digits.end());
}

void StorePenXmlText(PenSetting& pen, const PenXmlElement& e, std::u16string_view text) {
  switch (e.value) {
    case PenXmlValue::kName:
      CopyText(pen.Name, kPenNameUnits, text);
      break;
    case PenXmlValue::kStampPath:
      CopyText(pen.StampFileName, kPathUnits, text);
      break;
    case PenXmlValue::kTexturePath:
      CopyText(pen.TextureFileName, kPathUnits, text);
      break;
    case PenXmlValue::kFlag:
      pen.*e.number = LeadingInteger(text) != 0 ? 1 : 0;
      break;
    case PenXmlValue::kNumber:
      pen.*e.number = LeadingInteger(text);
      break;
  }
}

int32_t LeadingInteger(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  // Accumulate towards the limit of the sign so that -2147483648 is reachable.
  const int64_t limit = negative ? -int64_t{std::numeric_limits<int32_t>::min()} : std::numeric_limits<int32_t>::max();
  int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > limit) value = limit;  // stays clamped through the remaining digits
  }
  return static_cast<int32_t>(negative ? -value : value);
}

std::u16string SubstitutePicturesFolder(std::u16string_view path, std::u16string_view picturesFolder) {
  const size_t at = picturesFolder.empty() ? std::u16string_view::npos : path.find(picturesFolder);
  if (at == std::u16string_view::npos) return std::u16string(path);
  return std::u16string(kPicturesToken) + std::u16string(path.substr(at + picturesFolder.size()));
}

std::u16string RestorePicturesFolder(std::u16string_view path, std::u16string_view picturesFolder) {
  const std::u16string_view token(kPicturesToken);
  const size_t at = path.find(token);
  if (at == std::u16string_view::npos) return std::u16string(path);
  return std::u16string(picturesFolder) + std::u16string(path.substr(at + token.size()));
}
