// The portable half of the pen-setting XML: element texts as the reader hands them over (one
// "element=text" per line here, UTF-8), stored into a pen, clamped as painting clamps them,
// and written back. The Pictures folder token of stamp paths is tried against the first line.
#include <string_view>

#include "brush/pen_setting.h"
#include "files/pen_xml_fields.h"
#include "files/utf_text.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  PenSetting pen{};
  std::u16string folder;
  bool first = true;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::u16string line = Utf8ToUtf16(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    const size_t equals = line.find(u'=');
    if (first) folder = line;
    first = false;
    if (equals == std::u16string::npos) continue;
    const std::u16string_view text = std::u16string_view(line).substr(equals + 1);
    if (const PenXmlElement* e = FindPenXmlElement(std::u16string_view(line).substr(0, equals))) StorePenXmlText(pen, *e, text);
    (void)RestorePicturesFolder(SubstitutePicturesFolder(text, folder), folder);
  }
  // Written and read again: the same pen.
  PenSetting back{};
  for (const PenXmlElement& e : kPenXmlElements) StorePenXmlText(back, e, PenXmlText(pen, e, u""));
  for (const PenXmlElement& e : kPenXmlElements) FUZZ_CHECK(PenXmlText(back, e, u"") == PenXmlText(pen, e, u""));
  ClampPenSetting(pen);
  FUZZ_CHECK(pen.Size >= 1 && pen.Size <= kMaxPenSize);
  (void)PressureGamma(pen.Hardness);
  return 0;
}
