#include "shell/settings_dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

#include "app/panel_layout.h"
#include "app/settings_dialog.h"
#include "files/utf_text.h"
#include "settings/settings_file.h"
#include "shell/dialog_files.h"
#include "shell/main_window.h"

namespace {

struct SettingsDialog {
  MainWindow* owner;
  SettingsDraft draft;
};

SettingsDialog* DialogOf(HWND dialog) { return reinterpret_cast<SettingsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::wstring LanguageText(MainWindow& w, UINT id, const wchar_t* fallback) {
  const wchar_t* text = LanguageString(w.menus.module, id);
  return text && *text ? std::wstring(text) : std::wstring(fallback);
}

void ShowNumber(HWND dialog, int id, int32_t value) { SetDlgItemInt(dialog, id, static_cast<UINT>(value), TRUE); }

void Fill(HWND dialog, SettingsDialog& s) {
  const SettingsDraft& d = s.draft;
  for (const SettingsRadioGroup& g : kSettingsRadioGroups) {
    const int32_t button = RadioButtonOf(g, d.*g.field);
    if (button >= 0) CheckRadioButton(dialog, g.first, g.first + g.count - 1, button);
  }
  const AppSettings& live = s.owner->app.settings;
  CheckDlgButton(dialog, kUseGpuBox, d.UseGPU != 0 || live.AdjustRefSize != 0 ? BST_CHECKED : BST_UNCHECKED);
  ShowNumber(dialog, kCanvasWidthEdit, d.newcanvascx);
  ShowNumber(dialog, kCanvasHeightEdit, d.newcanvascy);
  ShowNumber(dialog, kScreenDpiEdit, d.ScreenDPI);
  ShowNumber(dialog, kPrintDpiEdit, d.PrintDPI);
  SendDlgItemMessageW(dialog, kTemplateEdit, EM_LIMITTEXT, kPathUnits - 1, 0);
  SendDlgItemMessageW(dialog, kFolderEdit, EM_LIMITTEXT, kPathUnits - 1, 0);
  SetControlText(dialog, kTemplateEdit, d.TemplateFileName);
  SetControlText(dialog, kFolderEdit, d.defaultpath);
  for (const SettingsSlider& slider : kSettingsSliders) {
    HWND c = GetDlgItem(dialog, slider.control);
    const int32_t position = SettingsSliderPosition(slider, d.*slider.field);
    SendMessageW(c, TBM_SETRANGE, FALSE, MAKELPARAM(0, slider.maximum));
    SendMessageW(c, TBM_SETPAGESIZE, 0, slider.maximum > 20 ? 16 : 1);
    SendMessageW(c, TBM_SETPOS, TRUE, position);
    SetControlText(dialog, slider.label, SettingsSliderLabel(slider, position));
  }
  CheckDlgButton(dialog, kRefColoursBox, d.refColoursShown ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, kPrintBwBox, d.printBwShown ? BST_CHECKED : BST_UNCHECKED);
  HWND presets = GetDlgItem(dialog, kPresetList);
  for (int32_t i = 0; i < kPresetListCount; ++i) {
    const std::wstring name = LanguageText(*s.owner, kStringFirstPreset + static_cast<UINT>(i), L"?");
    SendMessageW(presets, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SendMessageW(presets, CB_SETCURSEL, static_cast<WPARAM>(d.PresetIndex), 0);
}

// An edit that lost the focus: its value into the draft, shown again as stored.
void ReadEdit(HWND dialog, SettingsDialog& s, int id) {
  SettingsDraft& d = s.draft;
  const std::u16string text = ControlText16(dialog, id);
  switch (id) {
    case kCanvasWidthEdit: ShowNumber(dialog, id, d.newcanvascx = CanvasSideFromText(text)); return;
    case kCanvasHeightEdit: ShowNumber(dialog, id, d.newcanvascy = CanvasSideFromText(text)); return;
    case kScreenDpiEdit: ShowNumber(dialog, id, d.ScreenDPI = ScreenDpiFromText(text)); return;
    case kPrintDpiEdit: ShowNumber(dialog, id, d.PrintDPI = PrintDpiFromText(text)); return;
    case kTemplateEdit: d.TemplateFileName = text.substr(0, kPathUnits - 1); return;
    case kFolderEdit: {
      const std::u16string folder = FolderWithBackslash(text).substr(0, kPathUnits - 1);
      if (folder != text) SetControlText(dialog, id, folder);
      d.defaultpath = folder;
      return;
    }
    default: return;
  }
}

constexpr int kEdits[6] = {kCanvasWidthEdit, kCanvasHeightEdit, kTemplateEdit, kScreenDpiEdit, kPrintDpiEdit, kFolderEdit};

// The printer's printable area in device pixels becomes the canvas size.
void PrinterPageSize(HWND dialog, SettingsDialog& s) {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = dialog;
  pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
  if (!PrintDlgW(&pd)) return;
  if (pd.hDC) {
    s.draft.newcanvascx = std::clamp(GetDeviceCaps(pd.hDC, HORZRES), kMinNewCanvasSide, kMaxNewCanvasSide);
    s.draft.newcanvascy = std::clamp(GetDeviceCaps(pd.hDC, VERTRES), kMinNewCanvasSide, kMaxNewCanvasSide);
    ShowNumber(dialog, kCanvasWidthEdit, s.draft.newcanvascx);
    ShowNumber(dialog, kCanvasHeightEdit, s.draft.newcanvascy);
    DeleteDC(pd.hDC);
  }
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
}

void BrowseTemplate(HWND dialog, SettingsDialog& s) {
  ReadEdit(dialog, s, kTemplateEdit);
  std::wstring path = Wide(s.draft.TemplateFileName);
  if (!ChooseFileName(dialog, kPngOpenChoice, path)) return;
  SetDlgItemTextW(dialog, kTemplateEdit, path.c_str());
  ReadEdit(dialog, s, kTemplateEdit);
}

void BrowseFolder(HWND dialog, SettingsDialog& s) {
  const std::wstring title = LanguageText(*s.owner, kStringChooseFolder, L"Choose the folder for saved pictures");
  BROWSEINFOW info{};
  info.hwndOwner = dialog;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return;
  wchar_t path[MAX_PATH] = {};
  const BOOL ok = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  if (!ok) return;
  SetDlgItemTextW(dialog, kFolderEdit, path);
  ReadEdit(dialog, s, kFolderEdit);
}

void Ok(HWND dialog, SettingsDialog& s) {
  for (int id : kEdits) ReadEdit(dialog, s, id);
  switch (CheckSettingsDraft(s.draft, FileExists, FolderExists)) {
    case SettingsDraftProblem::kMissingTemplate:
      ReportError(L"Template file is not exist.");
      return;
    case SettingsDraftProblem::kNotAFolder:
      ReportError(LanguageText(*s.owner, kStringFolderMissing, L"The folder for saved pictures does not exist.").c_str());
      return;
    case SettingsDraftProblem::kNone:
      EndDialog(dialog, 1);
      return;
  }
}

void OnCommand(HWND dialog, SettingsDialog& s, int id, int code) {
  if (code == EN_KILLFOCUS) return ReadEdit(dialog, s, id);
  if (code == BN_CLICKED && ClickSettingsRadio(s.draft, id)) return;
  switch (id) {
    case kUseGpuBox:
      if (code == BN_CLICKED) s.draft.UseGPU = IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
      return;
    case kPresetList:
      if (code == CBN_SELCHANGE) {
        const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
        if (index >= 0) s.draft.PresetIndex = static_cast<int32_t>(index);
      }
      return;
    case kPrinterPageButton: return PrinterPageSize(dialog, s);
    case kTemplateBrowseButton: return BrowseTemplate(dialog, s);
    case kFolderBrowseButton: return BrowseFolder(dialog, s);
    case IDOK: return Ok(dialog, s);
    case IDCANCEL: EndDialog(dialog, 0); return;
    default: return;
  }
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    Fill(dialog, *reinterpret_cast<SettingsDialog*>(lParam));
    return TRUE;
  }
  SettingsDialog* s = DialogOf(dialog);
  if (!s) return FALSE;
  switch (message) {
    case WM_HSCROLL:
      if (lParam) {
        HWND c = reinterpret_cast<HWND>(lParam);
        if (const SettingsSlider* slider = FindSettingsSlider(GetDlgCtrlID(c))) {
          const int32_t position = static_cast<int32_t>(SendMessageW(c, TBM_GETPOS, 0, 0));
          s->draft.*slider->field = SettingsSliderValue(*slider, position);
          SetControlText(dialog, slider->label, SettingsSliderLabel(*slider, position));
        }
      }
      return TRUE;
    case WM_COMMAND:
      OnCommand(dialog, *s, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

bool RunSettingsDialog(MainWindow& w) {
  if (!w.menus.module.library) return false;
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  SettingsDialog state{&w, DraftOfSettings(w.app.settings)};
  if (DialogBoxParamW(w.menus.module.library, MAKEINTRESOURCEW(kSettingsDialogTemplate), w.window, SettingsDialogProc,
                      reinterpret_cast<LPARAM>(&state)) != 1)
    return false;
  ApplySettingsDraft(state.draft, w.app.settings);
  // A translucent window takes the new opacity at once; the UI scale waits for the next start.
  if (const WindowAlpha a = TranslucencyAlpha(w.app.translucent, w.app.settings.WindowOpacity); a.layered)
    SetLayeredWindowAttributes(w.window, 0, a.alpha, LWA_ALPHA);
  if (!w.app.settings.settingsFile.empty() && !SaveSettings(w.app.settings)) ReportError(L"Cannot save the settings file.");
  return true;
}
