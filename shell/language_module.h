// The language library: a file of resources only (menus, strings, dialog templates), mapped
// without running any of its code. Its strings are read into one shared buffer.
#pragma once

#include <windows.h>

#include <filesystem>

inline constexpr int kLanguageStringUnits = 1024;

struct LanguageModule {
  HMODULE library = nullptr;
  wchar_t text[kLanguageStringUnits] = {};  // the shared string buffer
};

// Frees the library held, then maps the one at path. Returns false, holding none, when it
// cannot be loaded.
bool LoadLanguageModule(LanguageModule& module, const std::filesystem::path& path);

// Frees the library held, if any.
void FreeLanguageModule(LanguageModule& module);

// The library's string number id in the shared buffer, valid until the next call; empty when
// no library is held or it has no such string.
const wchar_t* LanguageString(LanguageModule& module, UINT id);
