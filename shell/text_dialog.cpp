#include "shell/text_dialog.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "app/language_menu.h"
#include "files/utf_text.h"
#include "shell/main_window.h"

namespace {

constexpr int kTextTemplate = 105;
enum TextControl : int {
  kFontHeight = 1000, kX = 1003, kY = 1011, kBold = 1027, kItalic = 1028, kUnderline = 1035, kBoxWidth = 1036,
  kNote = 1037, kBoxHeight = 1038, kText = 1048, kVertical = 1063,
};

void SetText(HWND dialog, int id, const char16_t* text) {
  SetDlgItemTextW(dialog, id, reinterpret_cast<const wchar_t*>(text));
}

void ReadText(HWND dialog, int id, char16_t (&out)[260]) {
  wchar_t text[260] = {};
  GetDlgItemTextW(dialog, id, text, 260);
  (void)CopyText(out, std::u16string_view(reinterpret_cast<const char16_t*>(text)));
}

// A number as typed: its leading digits (with a sign), kept within the field's limits; text
// that is no number counts as 0.
int32_t ReadNumber(HWND dialog, int id, int32_t low) {
  wchar_t text[32] = {};
  GetDlgItemTextW(dialog, id, text, 32);
  return ClampTextNumber(std::wcstoll(text, nullptr, 10), low);
}

INT_PTR CALLBACK TextDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* record = reinterpret_cast<TextRecord*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      record = reinterpret_cast<TextRecord*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SetText(dialog, kNote, record->note);
      SetText(dialog, kText, record->text);
      SetDlgItemInt(dialog, kFontHeight, static_cast<UINT>(record->fontHeight), TRUE);
      SetDlgItemInt(dialog, kX, static_cast<UINT>(record->x), TRUE);
      SetDlgItemInt(dialog, kY, static_cast<UINT>(record->y), TRUE);
      SetDlgItemInt(dialog, kBoxWidth, static_cast<UINT>(record->boxWidth), TRUE);
      SetDlgItemInt(dialog, kBoxHeight, static_cast<UINT>(record->boxHeight), TRUE);
      const int flags[4] = {kBold, kItalic, kUnderline, kVertical};
      for (int i = 0; i < 4; ++i) CheckDlgButton(dialog, flags[i], record->flags[i] ? BST_CHECKED : BST_UNCHECKED);
      SetFocus(GetDlgItem(dialog, kText));
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK && record) {
        ReadText(dialog, kNote, record->note);
        ReadText(dialog, kText, record->text);
        record->fontHeight = ReadNumber(dialog, kFontHeight, 1);
        record->x = ReadNumber(dialog, kX, 0);
        record->y = ReadNumber(dialog, kY, 0);
        record->boxWidth = ReadNumber(dialog, kBoxWidth, 1);
        record->boxHeight = ReadNumber(dialog, kBoxHeight, 1);
        EndDialog(dialog, 1);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

bool EditText(MainWindow& w, TextRecord& record) {
  if (!w.menus.module.library) return false;
  TextRecord edited = record;
  const INT_PTR result = DialogBoxParamW(w.menus.module.library, MAKEINTRESOURCEW(kTextTemplate), w.window,
                                         TextDialogProc, reinterpret_cast<LPARAM>(&edited));
  if (result != 1) return false;
  record = edited;
  return true;
}

DibBitmap* RenderTextMask(const TextRecord& record, TextBoxSize size, const wchar_t* faceName) {
  const int width = size.width, height = size.height;
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } info{};
  info.header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 1, BI_RGB, 0, 0, 0, 2, 0};
  info.colours[1] = RGBQUAD{255, 255, 255, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP section = dc ? CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  DibBitmap* mask = section ? CreateDibBitmap(1, nullptr, 0, width, height) : nullptr;
  if (mask) {
    HGDIOBJ oldBitmap = SelectObject(dc, section);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    HFONT font = CreateFontW(record.fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_MODERN | DEFAULT_PITCH,
                             faceName);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    RECT box{0, 0, width, height};
    const std::u16string_view text = TextOf(record.text);
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()), &box,
              DT_LEFT | DT_TOP | DT_NOPREFIX | DT_EXPANDTABS);
    GdiFlush();
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBitmap);
    // The section is top-down with the same row size as the picture.
    const size_t stride = static_cast<size_t>(DibStride(1, width));
    for (int y = 0; y < height; ++y) std::memcpy(DibRow(*mask, y), static_cast<const uint8_t*>(bits) + stride * y, stride);
  }
  if (section) DeleteObject(section);
  if (dc) DeleteDC(dc);
  return mask;
}

void RunTextCommand(MainWindow& w) {
  if (!EditText(w, w.textRecord)) return;
  const wchar_t* face = LanguageString(w.menus.module, kStringTextFont);
  const Canvas& canvas = w.app.canvas;
  const TextBoxSize size = TextBoxOnCanvas(w.textRecord, canvas.width, canvas.height);
  if (size.width == 0) return;  // the box lies beside or below the canvas: nothing to paint
  DibBitmap* mask = RenderTextMask(w.textRecord, size, face && *face ? face : L"Tahoma");
  if (!mask) {
    ReportError(L"Not enough memory for the text.");
    return;
  }
  if (PaintTextMask(w.app, *mask, w.textRecord.x, w.textRecord.y)) InvalidateRect(w.view, nullptr, FALSE);
  FreeDibBitmap(mask);
}
