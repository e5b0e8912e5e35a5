// The texture panels: the files of the texture menu (the current pen's texture) or of the
// material menu (the paper's material), one row 16 s high each: a small picture of the file's
// top-left corner at one pixel per screen pixel, as the pen or the paper lays it, and its name;
// the file in use stands on a grey band with its picture framed. A click on a row chooses that
// file: the texture through message 0x800D, the material through its menu command.
#include <cstring>
#include <memory>
#include <vector>

#include "app/language_menu.h"
#include "app/private_messages.h"
#include "app/resource_preview.h"
#include "canvas/dib_bitmap.h"
#include "files/pen_resources.h"
#include "shell/main_window.h"
#include "shell/member_windows.h"
#include "shell/panel_common.h"

namespace {

struct Listing {
  const std::vector<std::u16string>* items;
  int32_t chosen;       // the item of the file in use, or -1
  bool material;
};

Listing ListingOf(HWND hwnd, MainWindow& w) {
  const ListedMenus& menus = w.menus.items;
  const AppSettings& s = w.app.settings;
  if (MemberOfWindow(hwnd) == PanelMember::kPaperTexture)
    return {&menus.materials, ListedItemOfFile(ListedMenu::kMaterial, menus.materials, s.MaterialFileName), true};
  return {&menus.textures, ListedItemOfFile(ListedMenu::kTexture, menus.textures, CurrentPenOf(w).TextureFileName),
          false};
}

// The pictures of the rows, made from the files at the first paint and kept until the window
// goes. A file that cannot be read has none.
struct Previews {
  int32_t side = 0;
  std::vector<HBITMAP> tiles;
  ~Previews() {
    for (HBITMAP b : tiles)
      if (b) DeleteObject(b);
  }
};

constexpr wchar_t kPreviewsProperty[] = L"Dotwright Texture Previews";

HBITMAP TileBitmap(const std::vector<uint32_t>& tile, int32_t side) {
  if (tile.empty()) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = side;
  info.bmiHeader.biHeight = -side;  // top row first, as the tile
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) std::memcpy(bits, tile.data(), tile.size() * sizeof tile[0]);
  return bitmap;
}

Previews& PreviewsOf(HWND hwnd, MainWindow& w, const Listing& l, int32_t side) {
  auto* p = static_cast<Previews*>(GetPropW(hwnd, kPreviewsProperty));
  if (p && p->side == side && p->tiles.size() == l.items->size()) return *p;
  if (!p) {
    p = new Previews;
    SetPropW(hwnd, kPreviewsProperty, p);
  }
  for (HBITMAP b : p->tiles)
    if (b) DeleteObject(b);
  p->tiles.clear();
  p->side = side;
  const std::filesystem::path& data = w.app.settings.userDataFolder;
  for (const std::u16string& name : *l.items) {
    const std::filesystem::path file = std::filesystem::path(std::wstring(name.begin(), name.end()) + L".bmp");
    DibBitmap* picture = l.material ? LoadMaterial(data, file) : LoadTexture(data, file);
    p->tiles.push_back(picture ? TileBitmap(PreviewTile(*picture, side), side) : nullptr);
    FreeDibBitmap(picture);
  }
  return *p;
}

void Paint(HWND hwnd, MainWindow& w) {
  PanelPainter paint(hwnd);
  const float s = PanelScale(w);
  const Listing l = ListingOf(hwnd, w);
  const int row = Scaled(kListedRowHeight, s);
  const int side = row - Scaled(4, s), inset = Scaled(2, s), left = Scaled(4, s);
  Previews& previews = PreviewsOf(hwnd, w, l, side);
  HDC tiles = CreateCompatibleDC(paint.dc);
  FillBox(paint.dc, 0, 0, paint.width, paint.height, RGB(255, 255, 255));
  for (size_t k = 0; k < l.items->size(); ++k) {
    const int top = row * static_cast<int>(k);
    const bool chosen = static_cast<int32_t>(k) == l.chosen;
    if (chosen) FillBox(paint.dc, 0, top, paint.width, top + row, kPanelHighlight);
    // The picture, framed: dark for the file in use, light for the others.
    FrameBox(paint.dc, left - 1, top + inset - 1, left + side + 1, top + inset + side + 1,
             chosen ? RGB(40, 40, 40) : RGB(176, 176, 176));
    if (HBITMAP tile = previews.tiles[k]; tile && tiles) {
      const HGDIOBJ old = SelectObject(tiles, tile);
      BitBlt(paint.dc, left, top + inset, side, side, tiles, 0, 0, SRCCOPY);
      SelectObject(tiles, old);
    }
    const std::u16string& name = (*l.items)[k];
    DrawPanelText(paint.dc, PanelFont(w), left + side + Scaled(6, s), top + Scaled(2, s), paint.width - inset,
                  std::wstring(name.begin(), name.end()));
    FillBox(paint.dc, 0, top + row - 1, paint.width, top + row, kPanelBackground);
  }
  if (tiles) DeleteDC(tiles);
}

// A click on a row chooses its file, as the menu item does.
void Click(HWND hwnd, MainWindow& w, int y) {
  const Listing l = ListingOf(hwnd, w);
  const int32_t row = RowAt(y, Scaled(kListedRowHeight, PanelScale(w)), static_cast<int32_t>(l.items->size()));
  if (row < 0) return;
  HWND root = GetAncestor(hwnd, GA_ROOT);
  if (l.material)
    PostPanelCommand(hwnd, CMD_MATERIAL_ITEM + row);
  else
    PostMessageW(root, kMsgTextureChosen, static_cast<WPARAM>(row), 0);
}

}  // namespace

LRESULT CALLBACK TextureWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) delete static_cast<Previews*>(RemovePropW(hwnd, kPreviewsProperty));
  return RoutePanelMessage(hwnd, message, wParam, lParam, Paint, Click);
}
