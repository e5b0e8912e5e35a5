// Text conversions for the settings file: the program keeps text as UTF-16 in fixed buffers,
// the file holds UTF-8. Conversions never fail: a byte sequence that is not UTF-8, or a lone
// surrogate, becomes U+FFFD, as the Windows converters do without their strict flag.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// The text held in a fixed buffer of capacity units: up to the first zero, or the whole
// buffer when it has none.
std::u16string_view TextOf(const char16_t* buffer, size_t capacity);
template <size_t N>
std::u16string_view TextOf(const char16_t (&buffer)[N]) {
  return TextOf(buffer, N);
}

// Stores text into a fixed buffer of capacity units (capacity >= 1), cut to capacity - 1 units
// and zero-terminated. A cut never splits a surrogate pair. Returns false when it had to cut.
bool CopyText(char16_t* buffer, size_t capacity, std::u16string_view text);
template <size_t N>
bool CopyText(char16_t (&buffer)[N], std::u16string_view text) {
  return CopyText(buffer, N, text);
}

// Between paths and UTF-16 text, exactly on Windows (where paths are UTF-16) and through
// UTF-8 elsewhere.
std::filesystem::path PathFromText(std::u16string_view text);
std::u16string TextFromPath(const std::filesystem::path& path);
