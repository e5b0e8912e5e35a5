#include "shell/language_module.h"

bool LoadLanguageModule(LanguageModule& module, const std::filesystem::path& path) {
  FreeLanguageModule(module);
  module.library =
      LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  return module.library != nullptr;
}

void FreeLanguageModule(LanguageModule& module) {
  if (module.library) FreeLibrary(module.library);
  module.library = nullptr;
}

const wchar_t* LanguageString(LanguageModule& module, UINT id) {
  module.text[0] = L'\0';
  if (module.library && LoadStringW(module.library, id, module.text, kLanguageStringUnits) <= 0)
    module.text[0] = L'\0';
  return module.text;
}
