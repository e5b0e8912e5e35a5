// Numbers in the settings file, read as the C runtime's strtol and strtoul read them with base 0
// and a 32-bit long: leading white space, an optional sign, then "0x" for hexadecimal, a leading
// "0" for octal, decimal otherwise; reading stops at the first character that does not belong,
// and text that starts with no number gives 0. So "0xffffff" and "16777215" are equal, "010" is
// 8 and "12abc" is 12.
#pragma once

#include <cstdint>
#include <string_view>

// Signed: values beyond the 32-bit range saturate at INT32_MIN / INT32_MAX.
int32_t ParseInt32Base0(std::string_view text);

// Unsigned: a minus sign negates modulo 2^32 ("-1" is 0xFFFFFFFF); a magnitude above
// 0xFFFFFFFF saturates at 0xFFFFFFFF.
uint32_t ParseUInt32Base0(std::string_view text);

// Strict hexadecimal for key binding lines: one or more hexadecimal digits and nothing else
// (no sign, no "0x", no spaces). false for anything else or for more than 32 bits.
bool ParseHexDigits32(std::string_view text, uint32_t& value);
