#include "shell/file_dialogs.h"

#include <commdlg.h>

#include <cwchar>
#include <string>

#include "app/user_texts.h"
#include "files/utf_text.h"
#include "app/language_menu.h"
#include "shell/main_window.h"

namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

struct DialogForm {
  const wchar_t* filter;     // pairs of name and pattern, ended by an empty name
  const wchar_t* extension;  // added to a name typed without one
  bool save;
};

DialogForm FormOf(FileDialog dialog) {
  static constexpr wchar_t kPng[] = L"PNG file (*.png)\0*.png\0";
  static constexpr wchar_t kPsd[] = L"PSD file (*.psd)\0*.psd\0";
  switch (dialog) {
    case FileDialog::kOpenCanvas:
    case FileDialog::kImportImage: return {kPng, L"png", false};
    case FileDialog::kSaveCanvasAs:
    case FileDialog::kExportPicture: return {kPng, L"png", true};
    case FileDialog::kExportPsd: return {kPsd, L"psd", true};
  }
  return {kPng, L"png", false};
}

}  // namespace

SaveAnswer WindowFileHost::AskToSave() {
  const wchar_t* question = LanguageString(w_.menus.module, kStringSaveChangesFirst);
  if (!*question) question = L"This canvas has unsaved changes. Save them first?";
  switch (MessageBoxW(w_.window, question, L"", MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON3)) {
    case IDYES: return SaveAnswer::kYes;
    case IDNO: return SaveAnswer::kNo;
    default: return SaveAnswer::kCancel;
  }
}

bool WindowFileHost::ChooseFile(FileDialog dialog, std::filesystem::path& path) {
  const DialogForm form = FormOf(dialog);
  wchar_t file[MAX_PATH] = {};
  const std::u16string initial = TextFromPath(path.filename());
  const std::u16string folder = TextFromPath(path.parent_path());
  if (initial.size() < MAX_PATH) std::wmemcpy(file, Wide(initial), initial.size());
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = w_.window;
  ofn.lpstrFilter = form.filter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : Wide(folder);
  ofn.lpstrDefExt = form.extension;
  // An open dialog refuses a name that does not exist there and then, rather than after it
  // closed with a canvas that cannot load.
  ofn.Flags = form.save ? OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST
                        : OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  ofn.nFilterIndex = 1;
  const BOOL chosen = form.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) return false;
  path = PathFromText(std::u16string_view(reinterpret_cast<const char16_t*>(file)));
  return true;
}

void WindowFileHost::Report(FileCommandFailure failure, const std::filesystem::path& path, int32_t detail) {
  if (failure == FileCommandFailure::kNotAFolder) {
    const wchar_t* text = LanguageString(w_.menus.module, kStringNotAFolder);
    ReportError(*text ? text : L"The folder for saved pictures does not exist:");
  }
  const std::u16string text = Utf8ToUtf16(FileCommandText(failure, path, detail));
  ReportError(Wide(text));
}

LocalTime WindowFileHost::Now() { return CurrentLocalTime(); }

void WindowFileHost::Wait(bool on) { SetCursor(LoadCursorW(nullptr, on ? IDC_WAIT : IDC_ARROW)); }
