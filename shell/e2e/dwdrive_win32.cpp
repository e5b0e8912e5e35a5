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
//   dwdrive drag-file X Y MS PATH    a window at screen X, Y (prints "ready") from which a left
//                                    drag carries PATH as a file, as from a folder window
//   dwdrive clip-put-bitmap W H      puts a W x H 24-bit bitmap on the clipboard, its left half
//                                    black and the rest white, as another program's copy
//   dwdrive clip-bitmap              prints "W H BITS" of the clipboard's bitmap (asking its owner
//                                    to draw it when it was only announced)
//   dwdrive child-rect CLASS [ID]    the first window of that class among the main window's
//                                    descendants (with child identifier ID when given): prints
//                                    "X Y W H CW CH VISIBLE CAPTION": its outer rectangle in the
//                                    main window's client coordinates, its client size, 1 when
//                                    it is visible, 1 when it has a caption
//   dwdrive children                 the same for every descendant, one line each:
//                                    "ID X Y W H CW CH VISIBLE CAPTION CLASS"
//   dwdrive layered                  prints "layered ALPHA" for a translucent main window, else
//                                    "opaque"
//   dwdrive drop-target X Y MS OUT   shows a 200 x 200 window at screen (X, Y) that accepts an
//                                    OLE drag of files (as a file manager's folder does) and
//                                    copies the first dropped file to OUT; prints "ready" once
//                                    shown, then "dropped NAME" and exits 0 after a drop, or
//                                    exits 1 after MS milliseconds without one
//
// The program's own dialogs, found as its visible dialog window that holds control ID (waiting
// up to 10 s for one):
//   dwdrive dialog-rect ID           prints "X Y W H": the dialog's window in screen coordinates
//   dwdrive dialog-gone ID           exit 0 once no such dialog is there (waits up to 10 s)
//   dwdrive dialog-list-row ID ROW   selects row ROW (from 0) of list view ID as a click does
//   dwdrive dialog-tree-select ID I/J/...  selects in tree view ID root I, its child J, ...
//                                    (each an index from 0)
//   dwdrive dialog-check ID 0|1      sets check box ID and tells the dialog it was clicked
//   dwdrive dialog-button ID         clicks button ID (1 OK, 2 Cancel)
//   dwdrive dialog-controls ID       prints every control of that dialog, one a line:
//                                    "C X Y W H ENABLED TEXT" (screen coordinates, UTF-8 text)
//   dwdrive dialog-control-rect ID C prints "X Y W H": control C of that dialog in screen
//                                    coordinates
//   dwdrive dialog-text ID C         prints the text of control C (UTF-8)
//   dwdrive dialog-enabled ID C      prints 1 when control C is enabled, else 0
//   dwdrive dialog-slider ID C       prints the position of slider C
//   dwdrive post-child CLASS MSG W L posts message MSG to the first descendant of the main
//                                    window of class CLASS
//
//   dwdrive show-templates DLL MS ID...  shows the dialog templates ID... of the resource library
//                                    DLL in this process for MS milliseconds, side by side from
//                                    the screen's top left corner; once all are painted prints
//                                    for each "shown ID X Y W H" (its window in screen
//                                    coordinates), "control ID CONTROL CLASS" per control and
//                                    "clipped ID CONTROL TEXT ..." per static text, button, check
//                                    box or group box whose caption does not fit it in the
//                                    dialog's font
//
// Exit codes: 0 done, 1 window not found or timeout, 2 usage error.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <cwchar>
#include <initializer_list>

#include "files/file_drag_win32.h"

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
      " press BUTTON [MS] | file-dialog PATH [MS] | clip-file PATH | clip-put-bitmap W H | clip-bitmap | drop-target X Y MS OUT |"
      " drag-file X Y MS PATH |"
      " post MSG W L | dialog-rect ID | dialog-gone ID | dialog-list-row ID ROW |"
      " dialog-control-rect|dialog-text|dialog-enabled|dialog-slider ID C | post-child CLASS MSG W L |"
      " dialog-tree-select ID I/J | dialog-check ID 0|1 | dialog-button ID |"
      " show-templates DLL MS ID...\n",
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

// A drop target as a folder window is: it takes a copy of dragged files.
class FolderDropTarget final : public IDropTarget {
 public:
  explicit FolderDropTarget(const wchar_t* out) : out_(out) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the stack of RunDropTarget
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    *effect = DROPEFFECT_NONE;
    if (data->GetData(&format, &medium) != S_OK) return S_OK;
    wchar_t path[MAX_PATH] = {};
    if (DragQueryFileW(static_cast<HDROP>(medium.hGlobal), 0, path, MAX_PATH) && CopyFileW(path, out_, FALSE)) {
      const wchar_t* name = wcsrchr(path, L'\\');
      char utf8[MAX_PATH * 3];
      WideCharToMultiByte(CP_UTF8, 0, name ? name + 1 : path, -1, utf8, sizeof utf8, nullptr, nullptr);
      std::printf("dropped %s\n", utf8);
      std::fflush(stdout);
      dropped = true;
      *effect = DROPEFFECT_COPY;
    }
    ReleaseStgMedium(&medium);
    PostQuitMessage(0);
    return S_OK;
  }
  bool dropped = false;

 private:
  const wchar_t* out_;
};

// A 200 x 200 topmost window of the helper's own at screen x, y, standing in for a folder window.
HWND FolderWindow(const wchar_t* className, const wchar_t* title, WNDPROC procedure, int x, int y) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  RegisterClassW(&wc);
  return CreateWindowExW(WS_EX_TOPMOST, className, title, WS_POPUP | WS_VISIBLE | WS_BORDER, x, y, 200, 200, nullptr,
                         nullptr, wc.hInstance, nullptr);
}

// Says "ready" and runs the window's messages for ms milliseconds or until a WM_QUIT, whose
// code it returns (-1 when the time ran out).
int RunFolderWindow(HWND window, DWORD ms) {
  std::printf("ready\n");
  std::fflush(stdout);
  SetTimer(window, 1, ms, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == window) return -1;
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int RunDropTarget(int x, int y, DWORD ms, const wchar_t* out) {
  OleInitialize(nullptr);
  HWND window = FolderWindow(L"dwdrive drop target", L"drop here", DefWindowProcW, x, y);
  FolderDropTarget target(out);
  if (!window || RegisterDragDrop(window, &target) != S_OK) {
    std::fputs("dwdrive: no drop target\n", stderr);
    return 1;
  }
  (void)RunFolderWindow(window, ms);
  RevokeDragDrop(window);
  DestroyWindow(window);
  OleUninitialize();
  return target.dropped ? 0 : 1;
}

// A window that drags a file out as a folder window does: a left press in it starts the
// program's own file drag (files/file_drag_win32) with PATH; prints "dropped" or "cancelled".
const wchar_t* gDraggedFile = nullptr;

LRESULT CALLBACK DragSourceProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) {
    const HRESULT result = StartFileDrag(std::filesystem::path(gDraggedFile));
    std::printf(result == DRAGDROP_S_DROP ? "dropped\n" : "cancelled %08lx\n", static_cast<unsigned long>(result));
    std::fflush(stdout);
    PostQuitMessage(result == DRAGDROP_S_DROP ? 0 : 1);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

int RunDragSource(int x, int y, DWORD ms, const wchar_t* path) {
  OleInitialize(nullptr);
  gDraggedFile = path;
  HWND window = FolderWindow(L"dwdrive drag source", L"drag from here", DragSourceProc, x, y);
  if (!window) return 1;
  const int result = RunFolderWindow(window, ms);
  DestroyWindow(window);
  OleUninitialize();
  return result == 0 ? 0 : 1;
}

int PutBitmapOnClipboard(int width, int height) {
  const int stride = (width * 3 + 3) & ~3;
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + static_cast<SIZE_T>(stride) * height);
  auto* header = data ? static_cast<BITMAPINFOHEADER*>(GlobalLock(data)) : nullptr;
  if (!header) return 1;
  *header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  auto* bits = reinterpret_cast<uint8_t*>(header + 1);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < stride; ++x) bits[y * stride + x] = x < (width / 2) * 3 ? 0 : 0xFF;
  GlobalUnlock(data);
  if (!OpenClipboard(nullptr)) return 1;
  EmptyClipboard();
  const bool put = SetClipboardData(CF_DIB, data) != nullptr;
  CloseClipboard();
  return put ? 0 : 1;
}

int PrintClipboardBitmap() {
  if (!OpenClipboard(nullptr)) return 1;
  int result = 1;
  if (HANDLE data = GetClipboardData(CF_DIB)) {
    if (const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data))) {
      std::printf("%ld %ld %u\n", static_cast<long>(header->biWidth), static_cast<long>(header->biHeight),
                  static_cast<unsigned>(header->biBitCount));
      GlobalUnlock(data);
      result = 0;
    }
  }
  CloseClipboard();
  if (result) std::fputs("dwdrive: no bitmap on the clipboard\n", stderr);
  return result;
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

// ---- The program's dialogs ----

struct ControlSearch {
  DWORD process;
  int control;
  HWND found;
};

BOOL CALLBACK MatchDialogWithControl(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<ControlSearch*>(lParam);
  wchar_t name[16];
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != search->process || !IsWindowVisible(hwnd) || !GetClassNameW(hwnd, name, 16) ||
      std::wcscmp(name, L"#32770") != 0 || !GetDlgItem(hwnd, search->control))
    return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND FindDialogWith(int control) {
  ControlSearch search{ProgramProcess(), control, nullptr};
  if (search.process) EnumWindows(MatchDialogWithControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Waits up to 10 s for the dialog to be there (gone false: returns it, or null) or to be gone
// (gone true: returns the desktop window once it is, or null).
HWND WaitForDialogWith(int control, bool gone) {
  const ULONGLONG deadline = GetTickCount64() + 10000;
  for (;;) {
    HWND found = FindDialogWith(control);
    if (found && !gone) return found;
    if (!found && gone) return GetDesktopWindow();
    if (GetTickCount64() >= deadline) {
      std::fprintf(stderr, gone ? "dwdrive: the dialog with control %d is still there\n" : "dwdrive: no dialog with control %d\n",
                   control);
      return nullptr;
    }
    Sleep(50);
  }
}

void PrintRect(const char* prefix, HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  std::printf("%s%ld %ld %ld %ld\n", prefix, static_cast<long>(r.left), static_cast<long>(r.top),
              static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
}

// Selects a row of another process's list view as a click does: the item record the message
// points to has to lie in that process.
bool SelectListRow(HWND list, int row) {
  DWORD process = 0;
  GetWindowThreadProcessId(list, &process);
  HANDLE handle = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process);
  if (!handle) return false;
  bool done = false;
  if (void* remote = VirtualAllocEx(handle, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE)) {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (WriteProcessMemory(handle, remote, &item, sizeof item, nullptr)) {
      done = SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote)) != 0;
      SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    }
    VirtualFreeEx(handle, remote, 0, MEM_RELEASE);
  }
  CloseHandle(handle);
  return done;
}

// Walks "I/J/..." down the tree: root I, its child J, ...
HTREEITEM TreeItemAt(HWND tree, const wchar_t* path) {
  HTREEITEM item = nullptr;
  const wchar_t* p = path;
  bool first = true;
  while (*p) {
    wchar_t* end = nullptr;
    const long index = std::wcstol(p, &end, 10);
    if (end == p || index < 0 || (*end && *end != L'/')) return nullptr;
    item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, first ? TVGN_ROOT : TVGN_CHILD,
                                                    reinterpret_cast<LPARAM>(item)));
    for (long k = 0; item && k < index; ++k)
      item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    if (!item) return nullptr;
    first = false;
    p = *end ? end + 1 : end;
  }
  return item;
}

std::string Utf8(const wchar_t* text);

int DialogVerb(const wchar_t* verb, int argc, wchar_t** argv) {
  unsigned long long id = 0, value = 0;
  if (argc < 3 || !ParseNumber(argv[2], id) || id > 0xFFFF) return Usage();
  if (!std::wcscmp(verb, L"dialog-gone")) return WaitForDialogWith(static_cast<int>(id), true) ? 0 : 1;
  HWND dialog = WaitForDialogWith(static_cast<int>(id), false);
  if (!dialog) return 1;
  HWND control = GetDlgItem(dialog, static_cast<int>(id));
  if (!std::wcscmp(verb, L"dialog-rect")) {
    PrintRect("", dialog);
    return 0;
  }
  if (!std::wcscmp(verb, L"dialog-controls")) {
    // Every control in one call: a test reads the dialog's state at once.
    EnumChildWindows(
        dialog,
        [](HWND c, LPARAM) -> BOOL {
          RECT r{};
          GetWindowRect(c, &r);
          wchar_t text[520] = {};
          SendMessageW(c, WM_GETTEXT, 520, reinterpret_cast<LPARAM>(text));
          for (wchar_t* t = text; *t; ++t)
            if (*t == L'\n' || *t == L'\r') *t = L' ';
          std::printf("%d %ld %ld %ld %ld %d %s\n", GetDlgCtrlID(c), static_cast<long>(r.left), static_cast<long>(r.top),
                      static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top), IsWindowEnabled(c) ? 1 : 0,
                      Utf8(text).c_str());
          return TRUE;
        },
        0);
    return 0;
  }
  if (!std::wcscmp(verb, L"dialog-button"))
    return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control)) ? 0 : 1;
  if (argc != 4) return Usage();
  // Verbs on another control of the dialog found by ID.
  if (!std::wcscmp(verb, L"dialog-control-rect") || !std::wcscmp(verb, L"dialog-text") ||
      !std::wcscmp(verb, L"dialog-enabled") || !std::wcscmp(verb, L"dialog-slider")) {
    if (!ParseNumber(argv[3], value) || value > 0xFFFF) return Usage();
    HWND other = GetDlgItem(dialog, static_cast<int>(value));
    if (!other) {
      std::fputs("dwdrive: no such control\n", stderr);
      return 1;
    }
    if (verb[7] == L'c') {
      PrintRect("", other);
    } else if (verb[7] == L't') {
      wchar_t text[520] = {};
      // WM_GETTEXT itself: GetWindowText does not ask a window of another process.
      SendMessageW(other, WM_GETTEXT, 520, reinterpret_cast<LPARAM>(text));
      std::printf("%s\n", Utf8(text).c_str());
    } else if (verb[7] == L'e') {
      std::printf("%d\n", IsWindowEnabled(other) ? 1 : 0);
    } else {
      std::printf("%ld\n", static_cast<long>(SendMessageW(other, TBM_GETPOS, 0, 0)));
    }
    return 0;
  }
  if (!std::wcscmp(verb, L"dialog-list-row")) {
    if (!ParseNumber(argv[3], value) || value > 0x7FFFFFFF) return Usage();
    return SelectListRow(control, static_cast<int>(value)) ? 0 : 1;
  }
  if (!std::wcscmp(verb, L"dialog-check")) {
    if (!ParseNumber(argv[3], value) || value > 1) return Usage();
    SendMessageW(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    return 0;
  }
  if (!std::wcscmp(verb, L"dialog-tree-select")) {
    HTREEITEM item = TreeItemAt(control, argv[3]);
    if (!item) {
      std::fputs("dwdrive: no such tree item\n", stderr);
      return 1;
    }
    return SendMessageW(control, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) ? 0 : 1;
  }
  return Usage();
}

// ---- Templates shown here ----

std::string Utf8(const wchar_t* text) {
  char out[1024];
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
  return out;
}

// What a caption needs beside its text, in pixels, or -1 for controls whose text is not checked.
int CaptionMargin(const wchar_t* className, LONG style) {
  if (!std::wcscmp(className, L"Static")) {
    const LONG kind = style & SS_TYPEMASK;
    return kind == SS_LEFT || kind == SS_RIGHT || kind == SS_CENTER || kind == SS_LEFTNOWORDWRAP ? 0 : -1;
  }
  if (std::wcscmp(className, L"Button")) return -1;
  switch (style & BS_TYPEMASK) {
    case BS_GROUPBOX: return 16;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE: return GetSystemMetrics(SM_CXMENUCHECK) + 6;
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON: return 8;
    default: return -1;
  }
}

BOOL CALLBACK ReportControl(HWND control, LPARAM templateId) {
  wchar_t className[32], text[512];
  if (!GetClassNameW(control, className, 32)) return TRUE;
  const int id = GetDlgCtrlID(control);
  std::printf("control %d %d %s\n", static_cast<int>(templateId), id, Utf8(className).c_str());
  if (GetWindowTextW(control, text, 512) <= 0) return TRUE;
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  const int margin = CaptionMargin(className, style);
  if (margin < 0) return TRUE;
  RECT client{};
  GetClientRect(control, &client);
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  const bool wraps = !std::wcscmp(className, L"Static") && (style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP;
  RECT need{0, 0, client.right - margin, 0};
  DrawTextW(dc, text, -1, &need, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  const bool groupBox = (style & BS_TYPEMASK) == BS_GROUPBOX && !std::wcscmp(className, L"Button");
  if (need.right > client.right - margin || (!groupBox && need.bottom > client.bottom))
    std::printf("clipped %d %d %s (needs %ld x %ld, has %ld x %ld)\n", static_cast<int>(templateId), id,
                Utf8(text).c_str(), static_cast<long>(need.right + margin), static_cast<long>(need.bottom),
                static_cast<long>(client.right), static_cast<long>(client.bottom));
  return TRUE;
}

INT_PTR CALLBACK ShownTemplateProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

void Pump(DWORD forMs) {
  const ULONGLONG deadline = GetTickCount64() + forMs;
  while (GetTickCount64() < deadline) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

int ShowTemplates(const wchar_t* library, DWORD ms, int count, wchar_t** ids) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) {
    std::fputs("dwdrive: cannot load the library\n", stderr);
    return 1;
  }
  struct Shown {
    int id;
    HWND dialog;
  };
  Shown shown[16];
  int n = 0;
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  int x = 0, y = 0, rowHeight = 0;
  for (int k = 0; k < count && n < 16; ++k) {
    unsigned long long id = 0;
    if (!ParseNumber(ids[k], id) || id > 0xFFFF) return Usage();
    HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(id), nullptr, ShownTemplateProc, 0);
    if (!dialog) {
      std::fprintf(stderr, "dwdrive: no dialog template %llu\n", id);
      return 1;
    }
    RECT r{};
    GetWindowRect(dialog, &r);
    if (x > 0 && x + (r.right - r.left) > screenWidth) x = 0, y += rowHeight + 8, rowHeight = 0;
    SetWindowPos(dialog, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    x += r.right - r.left + 8;
    if (r.bottom - r.top > rowHeight) rowHeight = r.bottom - r.top;
    shown[n++] = {static_cast<int>(id), dialog};
  }
  // Painted before they are announced, so that a screenshot taken then shows them.
  Pump(300);
  for (int k = 0; k < n; ++k) {
    RedrawWindow(shown[k].dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "shown %d ", shown[k].id);
    PrintRect(prefix, shown[k].dialog);
    EnumChildWindows(shown[k].dialog, ReportControl, shown[k].id);
  }
  std::fflush(stdout);
  Pump(ms);
  for (int k = 0; k < n; ++k) DestroyWindow(shown[k].dialog);
  FreeLibrary(module);
  return 0;
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
  if (!std::wcscmp(verb, L"clip-bitmap")) return argc == 2 ? PrintClipboardBitmap() : Usage();
  if (!std::wcscmp(verb, L"clip-put-bitmap")) {
    if (argc != 4 || !ParseNumber(argv[2], a) || !ParseNumber(argv[3], b) || a < 1 || b < 1 || a > 4096 || b > 4096)
      return Usage();
    return PutBitmapOnClipboard(static_cast<int>(a), static_cast<int>(b));
  }
  if (!std::wcscmp(verb, L"drop-target")) {
    unsigned long long ms = 0;
    if (argc != 6 || !ParseNumber(argv[2], a) || !ParseNumber(argv[3], b) || !ParseNumber(argv[4], ms)) return Usage();
    return RunDropTarget(static_cast<int>(a), static_cast<int>(b), static_cast<DWORD>(ms), argv[5]);
  }
  if (!std::wcscmp(verb, L"drag-file")) {
    unsigned long long ms = 0;
    if (argc != 6 || !ParseNumber(argv[2], a) || !ParseNumber(argv[3], b) || !ParseNumber(argv[4], ms)) return Usage();
    return RunDragSource(static_cast<int>(a), static_cast<int>(b), static_cast<DWORD>(ms), argv[5]);
  }
  if (!std::wcsncmp(verb, L"dialog-", 7)) return DialogVerb(verb, argc, argv);
  if (!std::wcscmp(verb, L"show-templates")) {
    if (argc < 5 || !ParseNumber(argv[3], a)) return Usage();
    return ShowTemplates(argv[2], static_cast<DWORD>(a), argc - 4, argv + 4);
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
  if (!std::wcscmp(verb, L"post-child")) {
    unsigned long long message = 0, w = 0, l = 0;
    if (argc != 6 || !ParseNumber(argv[3], message) || !ParseNumber(argv[4], w) || !ParseNumber(argv[5], l))
      return Usage();
    HWND main = FindMain();
    HWND child = main ? FindDescendant(main, argv[2]) : nullptr;
    if (!child) {
      std::fputs("dwdrive: no such child window\n", stderr);
      return 1;
    }
    return PostMessageW(child, static_cast<UINT>(message), static_cast<WPARAM>(w), static_cast<LPARAM>(l)) ? 0 : 1;
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
