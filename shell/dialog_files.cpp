#include "shell/dialog_files.h"

#include <commdlg.h>

#include <cwchar>
#include <vector>

namespace {

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

bool ChooseFileName(HWND owner, const FileChoice& choice, std::wstring& path, const std::wstring& folder) {
  wchar_t file[MAX_PATH] = {};
  const std::wstring start = FolderOf(path).empty() ? folder : FolderOf(path);
  const std::wstring name = path.substr(FolderOf(path).empty() ? 0 : FolderOf(path).size() + 1);
  if (name.size() < MAX_PATH) std::wmemcpy(file, name.c_str(), name.size());
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = choice.filter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
  ofn.lpstrDefExt = choice.extension;
  ofn.Flags = choice.save ? OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST
                          : OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (!(choice.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return false;
  path = file;
  return true;
}

std::wstring ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  const int length = control ? GetWindowTextLengthW(control) : 0;
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
  if (length > 0) GetWindowTextW(control, text.data(), length + 1);
  return std::wstring(text.data());
}

std::u16string ControlText16(HWND dialog, int id) {
  const std::wstring text = ControlText(dialog, id);
  return std::u16string(text.begin(), text.end());
}

void SetControlText(HWND dialog, int id, std::u16string_view text) { SetDlgItemTextW(dialog, id, Wide(text).c_str()); }

bool FileExists(std::u16string_view path) {
  const DWORD a = GetFileAttributesW(Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(std::u16string_view path) {
  const DWORD a = GetFileAttributesW(Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
