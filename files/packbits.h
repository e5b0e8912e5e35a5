// PackBits, the run-length scheme of PSD (and TIFF) image data.
//
// Encoded form: a header byte h, read as signed, then
//   h in 0..127:    h + 1 literal bytes follow;
//   h in -127..-1:  one byte follows, repeated 1 - h times (2 to 128 copies).
// The header -128 is never written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The most bytes EncodePackBits can produce for count input bytes. The worst input is a lone
// byte followed by a pair, over and over (4 bytes out for 3 in), with up to two bytes of
// slack at the ends.
inline constexpr size_t PackBitsWorstCase(size_t count) { return count + (count + 2) / 3 + 2; }

// Appends the encoding of count bytes to out and returns how many bytes it appended.
// The choices are fixed so the output is reproducible byte for byte:
//  - two or more equal neighbours always form a run (two equal bytes are "FF b");
//  - a run longer than 128 is cut into runs of 128 from its start; a remainder of one byte
//    joins the literal that follows;
//  - literals collect lone bytes up to 128 and end where a run starts or the input ends.
// 300 equal bytes give "81 b 81 b D5 b"; one byte b gives "00 b"; no input gives nothing.
size_t EncodePackBits(const uint8_t* bytes, size_t count, std::vector<uint8_t>& out);
