#include "shell/key_config_dialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/key_config.h"
#include "app/language_menu.h"
#include "app/user_texts.h"
#include "settings/key_names.h"
#include "shell/main_window.h"

namespace {

constexpr int kKeyList = 1001;
constexpr int kCommandTree = 1064;
constexpr int kShiftBox = 1027;
constexpr int kCtrlBox = 1028;
constexpr UINT kStringUnbound = 103;
constexpr int kMenuDepth = 8;  // deeper submenus are not read

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

std::u16string Text(const wchar_t* text) { return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : u""; }

std::vector<MenuEntry> ReadMenu(HMENU menu, int depth) {
  std::vector<MenuEntry> entries;
  const int count = menu ? GetMenuItemCount(menu) : 0;
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
    info.dwTypeData = text;
    info.cch = 255;
    MenuEntry entry;
    if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) && !(info.fType & MFT_SEPARATOR)) {
      entry.text = Text(text);
      entry.command = static_cast<uint16_t>(info.wID);
      entry.popup = info.hSubMenu != nullptr;
      if (entry.popup && depth < kMenuDepth) entry.items = ReadMenu(info.hSubMenu, depth + 1);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

CommandTree MakeCommandTree(LanguageModule& module, HMENU menuBar) {
  CommandTreeTexts texts;
  texts.unbound = Text(LanguageString(module, kStringUnbound));
  texts.texture = Text(LanguageString(module, kStringTextureMenu));
  texts.material = Text(LanguageString(module, kStringMaterialMenu));
  std::vector<MenuEntry> hidden;
  if (HMENU menu = LoadMenuW(module.library, L"HIDDEN_COMMAND")) {
    hidden = ReadMenu(menu, 0);
    DestroyMenu(menu);
  }
  return BuildCommandTree(ReadMenu(menuBar, 0), hidden, texts);
}

struct DialogState {
  KeyConfigDraft draft;
  std::vector<HTREEITEM> items;  // the tree control's item of each CommandTree item
  HWND list = nullptr;
  HWND tree = nullptr;
  bool showing = false;  // the dialog itself is selecting a tree item: not the user's choice
};

DialogState* StateOf(HWND dialog) { return reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

// Selects the tree item that shows a binding, without that selection counting as a choice.
void ShowItem(DialogState& s, int32_t item) {
  if (item < 0 || static_cast<size_t>(item) >= s.items.size()) return;
  s.showing = true;
  SendMessageW(s.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(s.items[static_cast<size_t>(item)]));
  SendMessageW(s.tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(s.items[static_cast<size_t>(item)]));
  s.showing = false;
}

void FillKeyList(HWND list) {
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT,
               LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<wchar_t*>(L"Key");
  column.cx = 100;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  // Row k is key index k: the key-name table is already in key-code order.
  const auto names = KeyNames();
  for (int k = 0; k < kKeyNameCount; ++k) {
    const std::wstring name(names[k].name.begin(), names[k].name.end());
    LVITEMW row{};
    row.mask = LVIF_TEXT | LVIF_PARAM;
    row.iItem = k;
    row.pszText = const_cast<wchar_t*>(name.c_str());
    row.lParam = k;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
  }
  RECT client{};
  GetClientRect(list, &client);  // with the rows in, the scroll bar is taken off already
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, client.right);
}

void FillCommandTree(DialogState& s) {
  const std::vector<CommandTreeItem>& items = s.draft.tree.items;
  s.items.assign(items.size(), nullptr);
  for (size_t i = 0; i < items.size(); ++i) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = items[i].parent < 0 ? TVI_ROOT : s.items[static_cast<size_t>(items[i].parent)];
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(Wide(items[i].text));
    insert.item.lParam = static_cast<LPARAM>(i);
    s.items[i] = reinterpret_cast<HTREEITEM>(SendMessageW(s.tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  }
  for (size_t i = 0; i < items.size(); ++i)  // roots and headings, once their children are in
    if (s.items[i] && items[i].command == 0)
      SendMessageW(s.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(s.items[i]));
  SendMessageW(s.tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(s.items.empty() ? nullptr : s.items[0]));
}

void OnInitDialog(HWND dialog, DialogState& s) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&s));
  s.list = GetDlgItem(dialog, kKeyList);
  s.tree = GetDlgItem(dialog, kCommandTree);
  s.showing = true;  // filling the controls chooses nothing
  FillKeyList(s.list);
  FillCommandTree(s);
  s.showing = false;
  // The first key row: its selection shows its binding (LVN_ITEMCHANGED).
  LVITEMW state{};
  state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(s.list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
}

void OnKeyRowChanged(DialogState& s) {
  const int row = static_cast<int>(SendMessageW(s.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  ShowItem(s, SelectKeyRow(s.draft, row));
}

void OnModifierBox(HWND dialog, DialogState& s) {
  const int32_t item = ChangeModifiers(s.draft, IsDlgButtonChecked(dialog, kShiftBox) == BST_CHECKED,
                                       IsDlgButtonChecked(dialog, kCtrlBox) == BST_CHECKED);
  if (item < 0) {
    MessageBoxW(dialog, Wide(kKeyNotSelectedText), nullptr, MB_OK);
    return;
  }
  ShowItem(s, item);
  PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(s.tree), TRUE);
}

INT_PTR OnNotify(HWND dialog, DialogState& s, const NMHDR& header) {
  if (header.idFrom == kKeyList) {
    if (header.code == LVN_ITEMCHANGED) {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED)) OnKeyRowChanged(s);
    } else if (header.code == NM_CLICK) {
      PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(s.tree), TRUE);
    }
  } else if (header.idFrom == kCommandTree && header.code == NM_CUSTOMDRAW) {
    // The chosen command stays marked in the selection colours while the key list has the
    // keyboard (the system's own mark for an unfocused tree can be all but invisible).
    auto& draw = const_cast<NMTVCUSTOMDRAW&>(reinterpret_cast<const NMTVCUSTOMDRAW&>(header));
    LRESULT result = CDRF_DODEFAULT;
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
      result = CDRF_NOTIFYITEMDRAW;
    } else if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && (draw.nmcd.uItemState & CDIS_SELECTED)) {
      draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
      draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
      result = CDRF_NEWFONT;
    }
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
  } else if (header.idFrom == kCommandTree && (header.code == TVN_SELCHANGEDW || header.code == TVN_SELCHANGEDA)) {
    // The two forms differ only in their text pointers; lParam is where both keep it.
    const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
    if (!s.showing) ChooseTreeItem(s.draft, static_cast<int32_t>(change.itemNew.lParam));
  }
  return 0;
}

INT_PTR CALLBACK KeyConfigProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    OnInitDialog(dialog, *reinterpret_cast<DialogState*>(lParam));
    return TRUE;
  }
  DialogState* s = StateOf(dialog);
  if (!s) return FALSE;
  switch (message) {
    case WM_NOTIFY:
      return OnNotify(dialog, *s, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kShiftBox:
        case kCtrlBox:
          if (HIWORD(wParam) == BN_CLICKED) OnModifierBox(dialog, *s);
          return TRUE;
        case IDOK:
          EndDialog(dialog, 1);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

bool ShowKeyConfigDialog(HWND owner, LanguageModule& module, HMENU menuBar, AppSettings& settings) {
  if (!module.library) return false;
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&classes);
  DialogState state;
  // A binding that lands on a cell already taken: said once per duplicate, the later one wins.
  for (const BindingCollision& collision : OpenKeyConfig(state.draft, settings, MakeCommandTree(module, menuBar))) {
    const std::string text = BindingCollisionText(collision);
    ReportError(std::wstring(text.begin(), text.end()).c_str());
  }
  const INT_PTR result = DialogBoxParamW(module.library, MAKEINTRESOURCEW(kKeyConfigTemplate), owner, KeyConfigProc,
                                         reinterpret_cast<LPARAM>(&state));
  if (result != 1) return false;
  ApplyKeyConfig(state.draft, settings);
  return true;
}

void ReplaceAcceleratorTable(MainWindow& w) {
  if (w.accelerators && !DestroyAcceleratorTable(w.accelerators)) ReportError(L"Error DestroyAcceleratorTable()");
  w.accelerators = nullptr;
  std::vector<KeyBinding>& keys = w.app.settings.keyboard.entries;
  if (!keys.empty()) {
    w.accelerators = CreateAcceleratorTableW(reinterpret_cast<ACCEL*>(keys.data()), static_cast<int>(keys.size()));
    if (!w.accelerators) ReportError(nullptr);
  }
  if (w.block && w.block->acceleratorTable) *w.block->acceleratorTable = w.accelerators;
}
