#include "shell/pen_setting_dialog.h"

#include <commctrl.h>

#include <new>
#include <string>

#include "app/language_menu.h"
#include "app/pen_dialog.h"
#include "app/pen_panels.h"
#include "app/private_messages.h"
#include "app/user_texts.h"
#include "app/view_commands_run.h"
#include "files/pen_xml_win32.h"
#include "files/utf_text.h"
#include "settings/command_ids.h"
#include "shell/dialog_files.h"
#include "shell/main_window.h"

namespace {

struct PenDialog {
  MainWindow* owner;
  PenSetting* pen;        // the edited preset, in the settings
  PenSetting atOpening;   // the preset as it was when the dialog opened, for Cancel
};

// Marks the window as a pen setting dialog; holds its PenDialog.
constexpr wchar_t kDialogProperty[] = L"Dotwright Pen Setting Dialog";

PenDialog* DialogOf(HWND dialog) { return reinterpret_cast<PenDialog*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

// What the dialog tells the main window.
void Tell(PenDialog& d, HWND dialog, UINT message) {
  SendMessageW(d.owner->window, message, reinterpret_cast<WPARAM>(dialog), 0);
}

void ShowSlider(HWND dialog, const PenSlider& s, int32_t value) {
  SetControlText(dialog, s.label, PenSliderLabel(s, value));
}

void EnableStampControls(HWND dialog, int32_t kind) {
  const BOOL on = StampBrushControlsEnabled(kind) ? TRUE : FALSE;
  for (int32_t id : kStampBrushControls)
    if (HWND c = GetDlgItem(dialog, id)) EnableWindow(c, on);
  // The captions inside the stamp brush's group box (they have no identifier) follow, so the
  // whole group reads as unavailable.
  RECT group{};
  HWND box = GetDlgItem(dialog, kStampGroupBox);
  if (!box || !GetWindowRect(box, &group)) return;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r{};
    if (static_cast<WORD>(GetDlgCtrlID(c)) != 0xFFFF || !GetWindowRect(c, &r)) continue;
    if (r.left >= group.left && r.right <= group.right && r.top >= group.top && r.bottom <= group.bottom)
      EnableWindow(c, on);
  }
}

// Every control from the preset; the kind list is filled anew with the language's names.
void FillControls(HWND dialog, PenDialog& d) {
  const PenSetting& pen = *d.pen;
  SendDlgItemMessageW(dialog, kPenNameEdit, EM_LIMITTEXT, kPenNameUnits - 1, 0);
  SendDlgItemMessageW(dialog, kStampPathEdit, EM_LIMITTEXT, kPathUnits - 1, 0);
  SetControlText(dialog, kPenNameEdit, TextOf(pen.Name));
  HWND kinds = GetDlgItem(dialog, kPenKindList);
  SendMessageW(kinds, CB_RESETCONTENT, 0, 0);
  for (int k = 0; k < kPenKindCount; ++k) {
    std::wstring name = LanguageString(d.owner->menus.module, kStringFirstPenKind + static_cast<UINT>(k));
    if (name.empty()) name = L"Kind " + std::to_wstring(k);
    SendMessageW(kinds, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SendMessageW(kinds, CB_SETCURSEL, static_cast<WPARAM>(pen.KindOfPen), 0);
  for (const PenSlider& s : kPenSliders) {
    HWND slider = GetDlgItem(dialog, s.control);
    SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(s.minimum, s.maximum));
    SendMessageW(slider, TBM_SETPAGESIZE, 0, (s.maximum - s.minimum) / 10);
    SendMessageW(slider, TBM_SETPOS, TRUE, PenSliderPosition(s, pen.*s.field));
    ShowSlider(dialog, s, pen.*s.field);
  }
  for (const PenCheckBox& b : kPenCheckBoxes)
    CheckDlgButton(dialog, b.control, pen.*b.field == 1 ? BST_CHECKED : BST_UNCHECKED);
  SetControlText(dialog, kStampPathEdit, TextOf(pen.StampFileName));
  SetDlgItemInt(dialog, kTextureOffsetXEdit, static_cast<UINT>(pen.TextureOffsetX), TRUE);
  SetDlgItemInt(dialog, kTextureOffsetYEdit, static_cast<UINT>(pen.TextureOffsetY), TRUE);
  EnableStampControls(dialog, pen.KindOfPen);
}

void ReadName(HWND dialog, PenDialog& d) { SetPenName(*d.pen, ControlText16(dialog, kPenNameEdit)); }

// The stamp path: stored; a new path of a stamp pen loads its stamp.
void ReadStampPath(HWND dialog, PenDialog& d) {
  const std::u16string path = ControlText16(dialog, kStampPathEdit);
  if (path == TextOf(d.pen->StampFileName)) return;
  SetStampPath(*d.pen, path);
  (void)ReloadPenStamp(d.owner->app.context, *d.pen, FileStampLoader());
}

void ReadTextureOffset(HWND dialog, PenDialog& d, int id) {
  const int32_t offset = TextureOffsetFromText(ControlText16(dialog, id));
  (id == kTextureOffsetXEdit ? d.pen->TextureOffsetX : d.pen->TextureOffsetY) = offset;
  SetDlgItemInt(dialog, id, static_cast<UINT>(offset), TRUE);
}

void ReadEdits(HWND dialog, PenDialog& d) {
  ReadName(dialog, d);
  ReadStampPath(dialog, d);
  ReadTextureOffset(dialog, d, kTextureOffsetXEdit);
  ReadTextureOffset(dialog, d, kTextureOffsetYEdit);
}

void OnSlider(HWND dialog, PenDialog& d, HWND slider) {
  const PenSlider* s = FindPenSlider(GetDlgCtrlID(slider));
  if (!s) return;
  const int32_t value = PenSliderValue(*s, static_cast<int32_t>(SendMessageW(slider, TBM_GETPOS, 0, 0)));
  if (d.pen->*s->field == value) return;
  d.pen->*s->field = value;
  ShowSlider(dialog, *s, value);
  if (s->reselects) Tell(d, dialog, kMsgReselectCurrentPen);
}

void OnCheckBox(HWND dialog, PenDialog& d, const PenCheckBox& b) {
  d.pen->*b.field = IsDlgButtonChecked(dialog, b.control) == BST_CHECKED ? 1 : 0;
  // A stamp switched on with a path but without its picture yet: load it now.
  if (b.control == kStampCheckBox && d.pen->Stamp == 1 && !d.pen->stampBitmap)
    (void)ReloadPenStamp(d.owner->app.context, *d.pen, FileStampLoader());
}

void OnKind(HWND dialog, PenDialog& d) {
  const LRESULT kind = SendDlgItemMessageW(dialog, kPenKindList, CB_GETCURSEL, 0, 0);
  if (kind < 0 || kind >= kPenKindCount) return;
  d.pen->KindOfPen = static_cast<int32_t>(kind);
  EnableStampControls(dialog, d.pen->KindOfPen);
  Tell(d, dialog, kMsgSelectPenSlot);
  Tell(d, dialog, kMsgPenKindChanged);
}

void BrowseStamp(HWND dialog, PenDialog& d) {
  std::wstring path = Wide(TextOf(d.pen->StampFileName));
  if (!ChooseFileName(dialog, kBmpOpenChoice, path, d.owner->app.settings.stampFolder.wstring())) return;
  SetDlgItemTextW(dialog, kStampPathEdit, path.c_str());
  ReadStampPath(dialog, d);
}

void ShowXmlFailure(HWND dialog, PenXmlFailure failure) {
  const CaptionedText t = PenXmlText(failure);
  if (t.text.empty()) return;
  const std::wstring text = Wide(Utf8ToUtf16(t.text)), caption = Wide(Utf8ToUtf16(t.caption));
  MessageBoxW(dialog, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}

void Import(HWND dialog, PenDialog& d) {
  std::wstring path;
  if (!ChooseFileName(dialog, kXmlOpenChoice, path, d.owner->app.settings.userDataFolder.wstring())) return;
  PenSetting imported = PenImportTemplate(*d.pen);
  const PenXmlFailure failure = ImportPenSetting(imported, std::filesystem::path(path));
  if (failure != PenXmlFailure::kNone) return ShowXmlFailure(dialog, failure);
  AdoptImportedPen(d.owner->app.context, *d.pen, imported, TextFromPath(SystemPenXmlFolders().pictures),
                   FileStampLoader());
  FillControls(dialog, d);
  Tell(d, dialog, kMsgReselectCurrentPen);
  Tell(d, dialog, kMsgPenKindChanged);
}

void Export(HWND dialog, PenDialog& d) {
  ReadEdits(dialog, d);
  std::wstring path = Wide(TextOf(d.pen->Name));
  const std::wstring folder = d.owner->app.settings.userDataFolder.wstring();
  if (!ChooseFileName(dialog, kXmlSaveChoice, path, folder)) return;
  ShowXmlFailure(dialog, ExportPenSetting(*d.pen, std::filesystem::path(path), SystemPenXmlFolders()));
}

void Ok(HWND dialog, PenDialog& d) {
  ReadEdits(dialog, d);
  if (FinishPenDialog(*d.pen, FileExists) == PenDialogClose::kMissingStamp) {
    MessageBoxW(dialog, L"Stamp file is not exist.", L"Dotwright", MB_OK | MB_ICONERROR);
    return;
  }
  DestroyWindow(dialog);
}

void Cancel(HWND dialog, PenDialog& d) {
  CancelPenEdits(d.owner->app.context, *d.pen, d.atOpening, FileStampLoader());
  Tell(d, dialog, kMsgReselectCurrentPen);
  Tell(d, dialog, kMsgPenKindChanged);
  DestroyWindow(dialog);
}

void OnCommand(HWND dialog, PenDialog& d, int id, int code) {
  for (const PenCheckBox& b : kPenCheckBoxes)
    if (b.control == id && code == BN_CLICKED) return OnCheckBox(dialog, d, b);
  switch (id) {
    case kPenKindList:
      if (code == CBN_SELCHANGE) OnKind(dialog, d);
      return;
    case kPenNameEdit:
      if (code == EN_KILLFOCUS) ReadName(dialog, d);
      return;
    case kStampPathEdit:
      if (code == EN_KILLFOCUS) ReadStampPath(dialog, d);
      return;
    case kTextureOffsetXEdit:
    case kTextureOffsetYEdit:
      if (code == EN_KILLFOCUS) ReadTextureOffset(dialog, d, id);
      return;
    case kStampBrowseButton: return BrowseStamp(dialog, d);
    case kPenImportButton: return Import(dialog, d);
    case kPenExportButton: return Export(dialog, d);
    case IDOK: return Ok(dialog, d);
    case IDCANCEL: return Cancel(dialog, d);
    default: return;
  }
}

INT_PTR CALLBACK PenDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* d = reinterpret_cast<PenDialog*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    SetPropW(dialog, kDialogProperty, d);
    FillControls(dialog, *d);
    return TRUE;
  }
  PenDialog* d = DialogOf(dialog);
  if (!d) return FALSE;
  switch (message) {
    case WM_HSCROLL:
      if (lParam) OnSlider(dialog, *d, reinterpret_cast<HWND>(lParam));
      return TRUE;
    case WM_COMMAND:
      OnCommand(dialog, *d, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_DESTROY:
      // Also when the main window goes with the dialog still open.
      d->pen->dialogOpen = 0;
      SetWindowLongPtrW(dialog, DWLP_USER, 0);
      RemovePropW(dialog, kDialogProperty);
      delete d;
      return TRUE;
    default:
      return FALSE;
  }
}

// The open dialog of a preset, found among the thread's windows.
HWND OpenDialogOf(const PenSetting* pen) {
  struct Search {
    const PenSetting* pen;
    HWND found;
  } search{pen, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        const auto* d = static_cast<const PenDialog*>(GetPropW(hwnd, kDialogProperty));
        if (!d || d->pen != s->pen) return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}


}  // namespace

void OpenPenSettingDialog(MainWindow& w, int slot) {
  if (slot < 0 || slot >= kPenCount || !w.menus.module.library) return;
  PenSetting& pen = w.app.settings.pens[slot];
  if (pen.dialogOpen) {
    if (HWND open = OpenDialogOf(&pen)) {
      ShowWindow(open, SW_SHOW);
      SetActiveWindow(open);
    }
    return;
  }
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  auto* d = new (std::nothrow) PenDialog{&w, &pen, pen};
  if (!d) return;
  pen.dialogOpen = 1;
  d->atOpening.dialogOpen = 1;
  HWND dialog = CreateDialogParamW(w.menus.module.library, MAKEINTRESOURCEW(kPenDialogTemplate), w.window,
                                   PenDialogProc, reinterpret_cast<LPARAM>(d));
  if (!dialog) {
    pen.dialogOpen = 0;
    delete d;
    return;
  }
  // Over the top-left corner of the canvas view, beside the panels.
  POINT corner{16, 16};
  ClientToScreen(w.view ? w.view : w.window, &corner);
  SetWindowPos(dialog, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(dialog, SW_SHOW);
}

