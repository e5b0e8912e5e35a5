// The texture panels: the files of the texture menu (the current pen's texture) or of the
// material menu (the paper's material), one row 16 s high each, the chosen file on a grey
// band. A click on a row chooses that file through the menu's command.
#include "app/language_menu.h"
#include "shell/member_windows.h"
#include "shell/panel_common.h"
#include "shell/main_window.h"

namespace {

struct Listing {
  const std::vector<std::u16string>* items;
  int32_t chosen;       // the item of the file in use, or -1
  CommandId firstItem;  // the menu's command of item 0
};

Listing ListingOf(HWND hwnd, MainWindow& w) {
  const ListedMenus& menus = w.menus.items;
  const AppSettings& s = w.app.settings;
  if (MemberOfWindow(hwnd) == PanelMember::kPaperTexture)
    return {&menus.materials, ListedItemOfFile(ListedMenu::kMaterial, menus.materials, s.MaterialFileName),
            CMD_MATERIAL_ITEM};
  return {&menus.textures, ListedItemOfFile(ListedMenu::kTexture, menus.textures, CurrentPenOf(w).TextureFileName),
          CMD_TEXTURE_ITEM};
}

void Paint(HWND hwnd, MainWindow& w) {
  PanelPainter paint(hwnd);
  const float s = PanelScale(w);
  const Listing l = ListingOf(hwnd, w);
  const int row = Scaled(kListedRowHeight, s);
  FillBox(paint.dc, 0, 0, paint.width, paint.height, RGB(255, 255, 255));
  for (size_t k = 0; k < l.items->size(); ++k) {
    const int top = row * static_cast<int>(k);
    if (static_cast<int32_t>(k) == l.chosen) FillBox(paint.dc, 0, top, paint.width, top + row, kPanelHighlight);
    const std::u16string& name = (*l.items)[k];
    DrawPanelText(paint.dc, PanelFont(w), Scaled(4, s), top + Scaled(2, s), paint.width - Scaled(2, s),
                  std::wstring(name.begin(), name.end()));
    FillBox(paint.dc, 0, top + row - 1, paint.width, top + row, kPanelBackground);
  }
}

// A click on a row chooses its file, as the menu item does.
void Click(HWND hwnd, MainWindow& w, int y) {
  const Listing l = ListingOf(hwnd, w);
  const int32_t row = RowAt(y, Scaled(kListedRowHeight, PanelScale(w)), static_cast<int32_t>(l.items->size()));
  if (row >= 0) PostPanelCommand(hwnd, l.firstItem + row);
}

}  // namespace

LRESULT CALLBACK TextureWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return RoutePanelMessage(hwnd, message, wParam, lParam, Paint, Click);
}
