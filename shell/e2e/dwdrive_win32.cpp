// dwdrive: drives a running Dotwright from end-to-end tests. It finds the main window by its
// class and posts messages to it, which is more deterministic than synthesised input.
//
//   dwdrive wait [TIMEOUT_MS]        exit 0 once the main window exists and is visible; prints
//                                    "client X Y" (client origin in screen coordinates)
//   dwdrive wait-gone [TIMEOUT_MS]   exit 0 once no main window exists
//   dwdrive title                    prints the main window's title
//   dwdrive close                    posts WM_CLOSE
//   dwdrive command ID               posts WM_COMMAND with the menu identifier ID
//   dwdrive canvas-control W L       posts the registered "Dotwright_CanvasControl_Msg"
//   dwdrive post MSG W L             posts message MSG (a private message, 0x8000 and up)
//   dwdrive menu                     prints "menu" when the main window has a menu bar, else
//                                    "none" (under Wine another process's menu items cannot be
//                                    read, only whether there is a menu)
//   dwdrive client-rect              prints "X Y W H": the client area in screen coordinates
//   dwdrive view-rect                prints "X Y W H": the canvas view window's client area in
//                                    screen coordinates
//   dwdrive answer [MS]              presses Yes on a message box captioned "Dotwright"
//   dwdrive press BUTTON [MS]        presses yes, no, cancel or ok on the program's message box
//                                    (any caption; its question to save has none)
//   dwdrive file-dialog PATH [MS]    types PATH into the program's open or save dialog and
//                                    presses its OK button; "cancel" as PATH cancels it
//   dwdrive clip-file PATH           puts a dropped-file list holding PATH on the clipboard
//   dwdrive child-rect CLASS [ID]    the first window of that class among the main window's
//                                    descendants (with child identifier ID when given): prints
//                                    "X Y W H CW CH VISIBLE CAPTION": its outer rectangle in the
//                                    main window's client coordinates, its client size, 1 when
//                                    it is visible, 1 when it has a caption
//   dwdrive children                 the same for every descendant, one line each:
//                                    "ID X Y W H CW CH VISIBLE CAPTION CLASS"
//   dwdrive layered                  prints "layered ALPHA" for a translucent main window, else
//                                    "opaque"
//
// Exit codes: 0 done, 1 window not found or timeout, 2 usage error.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cwchar>
#include <initializer_list>

namespace {

constexpr wchar_t kMainClass[] = L"DotwrightMainClass";

HWND FindMain() { return FindWindowW(kMainClass, nullptr); }

bool ParseNumber(const wchar_t* text, unsigned long long& value) {
  wchar_t* end = nullptr;
  value = std::wcstoull(text, &end, 0);  // decimal or 0x hex
  return end != text && *end == L'\0';
}

// The first window of class `name` among the children of `parent`, at any depth.
HWND FindDescendant(HWND parent, const wchar_t* name) {
  struct Search {
    const wchar_t* name;
    HWND found;
  } search{name, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t cls[64];
        if (GetClassNameW(child, cls, 64) && !std::wcscmp(cls, s->name)) {
          s->found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int Usage() {
  std::fputs(
      "usage: dwdrive wait [MS] | wait-gone [MS] | title | close | command ID | canvas-control W L | menu |"
      " client-rect | child-rect CLASS [ID] | children | layered | view-rect | answer [MS] |"
      " press BUTTON [MS] | file-dialog PATH [MS] | clip-file PATH | post MSG W L\n",
      stderr);
  return 2;
}

int Wait(DWORD timeoutMs, bool untilGone) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    HWND hwnd = FindMain();
    if (untilGone && !hwnd) return 0;
    if (!untilGone && hwnd && IsWindowVisible(hwnd)) {
      POINT origin{0, 0};
      ClientToScreen(hwnd, &origin);
      std::printf("client %ld %ld\n", static_cast<long>(origin.x), static_cast<long>(origin.y));
      return 0;
    }
    if (GetTickCount64() >= deadline) {
      std::fputs(untilGone ? "dwdrive: main window still there\n" : "dwdrive: main window not found\n", stderr);
      return 1;
    }
    Sleep(50);
  }
}

// Waits for a message box captioned "Dotwright" and presses its Yes button.
int Answer(DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    HWND box = FindWindowW(L"#32770", L"Dotwright");
    if (box && IsWindowVisible(box)) {
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
      return 0;
    }
    if (GetTickCount64() >= deadline) {
      std::fputs("dwdrive: no message box\n", stderr);
      return 1;
    }
    Sleep(50);
  }
}

// The program's process, through its main window.
DWORD ProgramProcess() {
  DWORD process = 0;
  if (HWND hwnd = FindMain()) GetWindowThreadProcessId(hwnd, &process);
  return process;
}

// A visible dialog window of the program: a file dialog (it has a file name box) or a message
// box (it has none).
struct DialogSearch {
  DWORD process;
  bool fileDialog;
  HWND found;
};

HWND FileNameBox(HWND dialog) {
  for (int id : {1148, 1152}) {  // the name combo box of the Explorer style, the plain edit box
    if (HWND box = GetDlgItem(dialog, id)) return box;
  }
  return nullptr;
}

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<DialogSearch*>(lParam);
  wchar_t name[16];
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != search->process || !IsWindowVisible(hwnd) || !GetClassNameW(hwnd, name, 16) ||
      std::wcscmp(name, L"#32770") != 0)
    return TRUE;
  if ((FileNameBox(hwnd) != nullptr) != search->fileDialog) return TRUE;
  search->found = hwnd;
  return FALSE;
}

struct ChildSearch {
  const wchar_t* className;
  long long id;  // -1: any
  HWND found;
};

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  if (std::wcscmp(name, search->className) != 0) return TRUE;
  if (search->id >= 0 && GetDlgCtrlID(hwnd) != search->id) return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND WaitForDialog(bool fileDialog, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    DialogSearch search{ProgramProcess(), fileDialog, nullptr};
    if (search.process) EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (GetTickCount64() >= deadline) {
      std::fputs(fileDialog ? "dwdrive: no file dialog\n" : "dwdrive: no message box\n", stderr);
      return nullptr;
    }
    Sleep(50);
  }
}

int Press(const wchar_t* button, DWORD timeoutMs) {
  int id = 0;
  if (!std::wcscmp(button, L"yes")) id = IDYES;
  else if (!std::wcscmp(button, L"no")) id = IDNO;
  else if (!std::wcscmp(button, L"cancel")) id = IDCANCEL;
  else if (!std::wcscmp(button, L"ok")) id = IDOK;
  else return Usage();
  HWND box = WaitForDialog(false, timeoutMs);
  if (!box) return 1;
  return PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) ? 0 : 1;
}

int AnswerFileDialog(const wchar_t* path, DWORD timeoutMs) {
  HWND dialog = WaitForDialog(true, timeoutMs);
  if (!dialog) return 1;
  if (!std::wcscmp(path, L"cancel")) return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0) ? 0 : 1;
  SetWindowTextW(FileNameBox(dialog), path);
  return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0) ? 0 : 1;
}

int PutFileOnClipboard(const wchar_t* path) {
  const size_t units = std::wcslen(path) + 2;  // the path and the list's two closing zeros
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + units * sizeof(wchar_t));
  if (!block) return 1;
  auto* files = static_cast<DROPFILES*>(GlobalLock(block));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  std::wmemcpy(reinterpret_cast<wchar_t*>(files + 1), path, units - 2);
  GlobalUnlock(block);
  if (!OpenClipboard(nullptr)) return GlobalFree(block), 1;
  EmptyClipboard();
  const bool put = SetClipboardData(CF_HDROP, block) != nullptr;
  CloseClipboard();
  if (!put) GlobalFree(block);
  return put ? 0 : 1;
}

// "X Y W H CW CH VISIBLE CAPTION" of a descendant of main, without a line end.
void PrintChild(HWND main, HWND child) {
  RECT outer{}, client{};
  GetWindowRect(child, &outer);
  GetClientRect(child, &client);
  POINT corner{outer.left, outer.top};
  ScreenToClient(main, &corner);
  const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
  std::printf("%ld %ld %ld %ld %ld %ld %d %d", static_cast<long>(corner.x), static_cast<long>(corner.y),
              static_cast<long>(outer.right - outer.left), static_cast<long>(outer.bottom - outer.top),
              static_cast<long>(client.right), static_cast<long>(client.bottom), IsWindowVisible(child) ? 1 : 0,
              (style & WS_CAPTION) == WS_CAPTION ? 1 : 0);
}

int ChildRect(HWND main, const wchar_t* className, long long id) {
  ChildSearch search{className, id, nullptr};
  EnumChildWindows(main, MatchChild, reinterpret_cast<LPARAM>(&search));
  if (!search.found) {
    std::fputs("dwdrive: no such child window\n", stderr);
    return 1;
  }
  PrintChild(main, search.found);
  std::printf("\n");
  return 0;
}

BOOL CALLBACK PrintEachChild(HWND child, LPARAM main) {
  wchar_t name[256] = {};
  GetClassNameW(child, name, 256);
  char utf8[1024];
  WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%d ", GetDlgCtrlID(child));
  PrintChild(reinterpret_cast<HWND>(main), child);
  std::printf(" %s\n", utf8);
  return TRUE;
}

int Post(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = FindMain();
  if (!hwnd) {
    std::fputs("dwdrive: main window not found\n", stderr);
    return 1;
  }
  return PostMessageW(hwnd, message, wParam, lParam) ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const wchar_t* verb = argv[1];
  unsigned long long a = 0, b = 0;
  if (!std::wcscmp(verb, L"wait") || !std::wcscmp(verb, L"wait-gone")) {
    unsigned long long ms = 10000;
    if (argc > 2 && !ParseNumber(argv[2], ms)) return Usage();
    return Wait(static_cast<DWORD>(ms), verb[4] == L'-');
  }
  if (!std::wcscmp(verb, L"title")) {
    HWND hwnd = FindMain();
    if (!hwnd) return Wait(0, false);
    wchar_t title[512];
    GetWindowTextW(hwnd, title, 512);
    char utf8[2048];
    WideCharToMultiByte(CP_UTF8, 0, title, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s\n", utf8);
    return 0;
  }
  if (!std::wcscmp(verb, L"menu") || !std::wcscmp(verb, L"client-rect") || !std::wcscmp(verb, L"view-rect")) {
    HWND hwnd = FindMain();
    if (!hwnd) return Wait(0, false);
    if (verb[0] == L'v') hwnd = FindDescendant(hwnd, L"View Window Class");
    if (!hwnd) {
      std::fputs("dwdrive: no view window\n", stderr);
      return 1;
    }
    if (verb[0] == L'm') {
      std::printf("%s\n", GetMenu(hwnd) ? "menu" : "none");
      return 0;
    }
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    std::printf("%ld %ld %ld %ld\n", static_cast<long>(origin.x), static_cast<long>(origin.y),
                static_cast<long>(client.right), static_cast<long>(client.bottom));
    return 0;
  }
  if (!std::wcscmp(verb, L"child-rect")) {
    if (argc < 3 || argc > 4 || (argc == 4 && !ParseNumber(argv[3], a))) return Usage();
    HWND hwnd = FindMain();
    if (!hwnd) return Wait(0, false);
    return ChildRect(hwnd, argv[2], argc == 4 ? static_cast<long long>(a) : -1);
  }
  if (!std::wcscmp(verb, L"children")) {
    HWND hwnd = FindMain();
    if (!hwnd) return Wait(0, false);
    EnumChildWindows(hwnd, PrintEachChild, reinterpret_cast<LPARAM>(hwnd));
    return 0;
  }
  if (!std::wcscmp(verb, L"layered")) {
    HWND hwnd = FindMain();
    if (!hwnd) return Wait(0, false);
    BYTE alpha = 255;
    DWORD flags = 0;
    if ((GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) && GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags))
      std::printf("layered %u\n", static_cast<unsigned>(alpha));
    else
      std::printf("opaque\n");
    return 0;
  }
  if (!std::wcscmp(verb, L"close")) return Post(WM_CLOSE, 0, 0);
  if (!std::wcscmp(verb, L"answer")) {
    unsigned long long ms = 20000;
    if (argc > 2 && !ParseNumber(argv[2], ms)) return Usage();
    return Answer(static_cast<DWORD>(ms));
  }
  if (!std::wcscmp(verb, L"press") || !std::wcscmp(verb, L"file-dialog")) {
    unsigned long long ms = 20000;
    if (argc < 3 || (argc > 3 && !ParseNumber(argv[3], ms))) return Usage();
    return verb[0] == L'p' ? Press(argv[2], static_cast<DWORD>(ms)) : AnswerFileDialog(argv[2], static_cast<DWORD>(ms));
  }
  if (!std::wcscmp(verb, L"clip-file")) return argc == 3 ? PutFileOnClipboard(argv[2]) : Usage();
  if (!std::wcscmp(verb, L"command")) {
    if (argc != 3 || !ParseNumber(argv[2], a) || a > 0xFFFF) return Usage();
    return Post(WM_COMMAND, static_cast<WPARAM>(a), 0);
  }
  if (!std::wcscmp(verb, L"canvas-control")) {
    if (argc != 4 || !ParseNumber(argv[2], a) || !ParseNumber(argv[3], b)) return Usage();
    UINT message = RegisterWindowMessageW(L"Dotwright_CanvasControl_Msg");
    return Post(message, static_cast<WPARAM>(a), static_cast<LPARAM>(b));
  }
  if (!std::wcscmp(verb, L"post")) {
    unsigned long long message = 0;
    if (argc != 5 || !ParseNumber(argv[2], message) || message < WM_APP || message > 0xBFFF ||
        !ParseNumber(argv[3], a) || !ParseNumber(argv[4], b))
      return Usage();
    return Post(static_cast<UINT>(message), static_cast<WPARAM>(a), static_cast<LPARAM>(b));
  }
  return Usage();
}
