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
//
// Exit codes: 0 done, 1 window not found or timeout, 2 usage error.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr wchar_t kMainClass[] = L"DotwrightMainClass";

HWND FindMain() { return FindWindowW(kMainClass, nullptr); }

bool ParseNumber(const wchar_t* text, unsigned long long& value) {
  wchar_t* end = nullptr;
  value = std::wcstoull(text, &end, 0);  // decimal or 0x hex
  return end != text && *end == L'\0';
}

int Usage() {
  std::fputs(
      "usage: dwdrive wait [MS] | wait-gone [MS] | title | close | command ID | canvas-control W L | menu |"
      " client-rect | answer [MS] | post MSG W L\n",
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
  if (!std::wcscmp(verb, L"menu") || !std::wcscmp(verb, L"client-rect")) {
    HWND hwnd = FindMain();
    if (!hwnd) return Wait(0, false);
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
  if (!std::wcscmp(verb, L"close")) return Post(WM_CLOSE, 0, 0);
  if (!std::wcscmp(verb, L"answer")) {
    unsigned long long ms = 20000;
    if (argc > 2 && !ParseNumber(argv[2], ms)) return Usage();
    return Answer(static_cast<DWORD>(ms));
  }
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
