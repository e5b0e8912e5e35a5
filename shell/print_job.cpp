#include "shell/print_job.h"

#include <windows.h>
#include <commdlg.h>

#include <mutex>

#include "canvas/dib_bitmap_win32.h"
#include "files/print_page.h"
#include "shell/main_window.h"

namespace {

constexpr const wchar_t* kPrintNoPageText =
    L"There is not enough memory for the printed page. Nothing was printed; try fitting the canvas to the page "
    L"or a lower printer resolution.";
constexpr const wchar_t* kPrintRefusedText = L"The printer did not take the page. Nothing was printed.";

// The dialog's device context, and the settings it allocated freed at once: only the context
// is used.
HDC ChoosePrinter(HWND owner) {
  PRINTDLGW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE;
  dialog.nFromPage = dialog.nToPage = dialog.nMinPage = dialog.nMaxPage = 1;
  dialog.nCopies = 1;
  const BOOL chosen = PrintDlgW(&dialog);
  if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
  if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
  return chosen ? dialog.hDC : nullptr;
}

}  // namespace

void RunPrintCommand(MainWindow& w) {
  AppState& s = w.app;
  if (!s.canvas.bitmap) return;
  HDC printer = ChoosePrinter(w.window);
  if (!printer) return;
  const int pageWidth = GetDeviceCaps(printer, HORZRES), pageHeight = GetDeviceCaps(printer, VERTRES);
  HCURSOR cursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  DOCINFOW document{};
  document.cbSize = sizeof document;
  document.lpszDocName = L"Dotwright print";
  const wchar_t* failure = nullptr;
  if (StartDocW(printer, &document) <= 0) {
    failure = kPrintRefusedText;
  } else if (StartPage(printer) <= 0) {
    AbortDoc(printer);
    failure = kPrintRefusedText;
  } else {
    DibBitmap* page = nullptr;
    {
      // The canvas as it stands between strokes: the update thread may be drawing it.
      std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
      page = MakePrintPage(*s.canvas.bitmap, pageWidth, pageHeight, s.settings.PrintSetting);
    }
    if (!page) {
      // Ending the page would print a blank sheet: the job is withdrawn instead.
      AbortDoc(printer);
      failure = kPrintNoPageText;
    } else {
      const int drawn = StretchDIBits(printer, 0, 0, pageWidth, pageHeight, 0, 0, pageWidth, pageHeight, page->bits,
                                      DibBitmapInfo(*page), DIB_RGB_COLORS, SRCCOPY);
      FreeDibBitmap(page);
      if (drawn <= 0) {  // no rows drawn, or GDI_ERROR
        AbortDoc(printer);
        failure = kPrintRefusedText;
      } else if (EndPage(printer) <= 0 || EndDoc(printer) <= 0) {
        failure = kPrintRefusedText;
      }
    }
  }
  DeleteDC(printer);
  SetCursor(cursor);
  if (failure) MessageBoxW(w.window, failure, L"Dotwright", MB_OK | MB_ICONERROR);
}
