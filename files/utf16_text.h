// UTF-16 text of the pen records (names and paths in fixed char16_t fields) as file-system
// paths and as UTF-8 message text. Never throws: text that is not valid UTF-16 (an unpaired
// surrogate) keeps its other characters and shows U+FFFD in place of the stray unit.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// The text of a fixed field: up to the first zero unit, at most capacity units.
std::u16string_view Utf16Field(const char16_t* field, size_t capacity);

std::string Utf8FromUtf16(std::u16string_view text);

// On Windows the units are taken as they are; elsewhere the path is the UTF-8 form.
std::filesystem::path PathFromUtf16(std::u16string_view text);
