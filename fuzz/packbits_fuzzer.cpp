// PackBits, the run-length code of the PSD image data: any bytes encode within the stated
// worst case and decode to themselves.
#include <vector>

#include "files/packbits.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> code{0x42};  // appends after what the buffer holds
  const size_t written = EncodePackBits(data, size, code);
  FUZZ_CHECK(written == code.size() - 1 && written <= PackBitsWorstCase(size));
  std::vector<uint8_t> decoded;
  for (size_t i = 1; i < code.size();) {
    const int header = static_cast<int8_t>(code[i++]);
    FUZZ_CHECK(header != -128);
    if (header >= 0) {
      FUZZ_CHECK(i + header + 1 <= code.size());
      decoded.insert(decoded.end(), code.begin() + i, code.begin() + i + header + 1);
      i += header + 1;
    } else {
      FUZZ_CHECK(i < code.size());
      decoded.insert(decoded.end(), static_cast<size_t>(1 - header), code[i++]);
    }
  }
  FUZZ_CHECK(decoded == std::vector<uint8_t>(data, data + size));
  return 0;
}
