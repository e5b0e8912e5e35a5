#include "shell/platform_queries.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

namespace {

std::filesystem::path KnownPicturesFolder() {
  PWSTR path = nullptr;
  std::filesystem::path folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &path)) && path) folder = path;
  CoTaskMemFree(path);
  return folder;
}

std::filesystem::path ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return std::filesystem::path(path).parent_path();
}

// The first argument after the program name, as the shell splits the whole command line (the
// entry point's command line has the name cut off, which changes how its first word splits).
std::u16string FirstArgument(const wchar_t* commandLine) {
  if (!commandLine || !*commandLine) return {};
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::u16string first;
  if (words && count > 1) first.assign(reinterpret_cast<const char16_t*>(words[1]));
  LocalFree(words);
  return first;
}

// GetDpiForMonitor from SHCore.dll, which older systems lack: looked up at run time.
void MonitorDpi(HWND window, uint32_t& x, uint32_t& y) {
  x = y = 0;
  HMODULE shcore = LoadLibraryW(L"SHCore.dll");
  if (!shcore) return;
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  auto get = reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
  UINT dx = 0, dy = 0;
  if (get && SUCCEEDED(get(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), 0, &dx, &dy))) {
    x = dx;
    y = dy;
  }
  FreeLibrary(shcore);
}

}  // namespace

PlatformQueries QueryPlatform(HWND mainWindow, const wchar_t* commandLine) {
  PlatformQueries q{};
  q.mainWindow = reinterpret_cast<uintptr_t>(mainWindow);
  q.picturesFolder = KnownPicturesFolder();
  q.programFolder = ProgramFolder();
  q.commandLineFile = FirstArgument(commandLine);
  q.systemLocale = GetSystemDefaultLCID();
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (GetWindowPlacement(mainWindow, &placement)) {
    static_assert(sizeof placement == sizeof q.placement);
    std::memcpy(&q.placement, &placement, sizeof placement);
  }
  RECT client{};
  GetClientRect(mainWindow, &client);
  q.clientWidth = client.right;
  q.clientHeight = client.bottom;
  HDC screen = GetDC(nullptr);
  if (screen) {
    q.displayPixelsX = GetDeviceCaps(screen, HORZRES);
    q.displayMillimetresX = GetDeviceCaps(screen, HORZSIZE);
    ReleaseDC(nullptr, screen);
  }
  MonitorDpi(mainWindow, q.monitorDpiX, q.monitorDpiY);
  return q;
}
