#include "settings/number_text.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <string>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int32_t ParseInt32Base0(std::string_view text) {
  const std::string copy(text);  // strtoll needs a terminated string
  errno = 0;
  const long long value = std::strtoll(copy.c_str(), nullptr, 0);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

uint32_t ParseUInt32Base0(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // strtoull would accept a second sign or spaces after the first; the C runtime does not.
  if (i >= text.size() || !IsDigit(text[i])) return 0;
  const std::string copy(text.substr(i));
  errno = 0;
  const unsigned long long magnitude = std::strtoull(copy.c_str(), nullptr, 0);
  if (errno == ERANGE || magnitude > UINT32_MAX) return UINT32_MAX;
  const auto value = static_cast<uint32_t>(magnitude);
  return negative ? static_cast<uint32_t>(0u - value) : value;
}

bool ParseHexDigits32(std::string_view text, uint32_t& value) {
  const char* end = text.data() + text.size();
  uint32_t v = 0;
  const auto [stop, error] = std::from_chars(text.data(), end, v, 16);
  if (text.empty() || error != std::errc() || stop != end) return false;
  value = v;
  return true;
}
