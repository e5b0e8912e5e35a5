#include "shell/wintab_input.h"

#include <mmsystem.h>

#include "settings/command_ids.h"
#include "shell/main_window.h"
#include "shell/view_window.h"
#include "view/pointer_tilt.h"
#include "view/tail_switch.h"

namespace {

template <typename Fn>
void Resolve(HMODULE module, const char* name, Fn& fn) {
  fn = module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

HANDLE ContextOf(const MainWindow& w) { return static_cast<HANDLE>(w.app.input.tabletContext); }
HMODULE LibraryOf(const MainWindow& w) { return static_cast<HMODULE>(w.app.input.tabletLibrary); }

ScreenArea VirtualScreen() {
  return ScreenArea{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                    GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// The display's orientation and shape decide whether pen azimuths are turned by 90 degrees.
void NoteDisplayOrientation(MainWindow& w) {
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode))
    w.app.input.displayOffset = DisplayOffsetDegrees(static_cast<int32_t>(mode.dmDisplayOrientation),
                                                     static_cast<int32_t>(mode.dmPelsWidth),
                                                     static_cast<int32_t>(mode.dmPelsHeight));
}

// One item of the library's information, when it fits the record it is read into; the number
// of bytes written, 0 when the library has no such item.
template <typename Record>
UINT ReadTabletInfo(const TabletInput& t, UINT category, UINT index, Record& out) {
  const UINT size = t.info(category, index, nullptr);
  if (size == 0 || size > sizeof out) return 0;
  return t.info(category, index, &out);
}

// Pointer input: full pressure from the digitizer's abilities.
void UsePointerInput(MainWindow& w) {
  w.app.input.maxPressure = PointerMaxPressure(GetSystemMetrics(SM_DIGITIZER));
  w.app.settings.TabletDriver = 1;
}

// The tablet driver library: the pressure range and orientation of device 0, then the
// program's context, opened enabled for the main window. False when the library or its two
// essential functions are missing.
bool OpenWintab(MainWindow& w) {
  TabletInput& t = w.tablet;
  InputState& input = w.app.input;
  HMODULE library = LoadLibraryW(L"wintab32.dll");
  if (!library) return false;
  Resolve(library, "WTInfoW", t.info);
  Resolve(library, "WTOpenW", t.open);
  if (!t.info || !t.open) {
    FreeLibrary(library);
    t.info = nullptr;
    t.open = nullptr;
    return false;
  }
  Resolve(library, "WTClose", t.close);
  Resolve(library, "WTPacket", t.packet);
  Resolve(library, "WTQueuePacketsEx", t.queuePacketsEx);
  Resolve(library, "WTEnable", t.enable);
  Resolve(library, "WTOverlap", t.overlap);
  Resolve(library, "WTGetW", t.get);
  Resolve(library, "WTSetW", t.set);
  input.tabletLibrary = library;

  WintabAxis pressure{};
  input.maxPressure = TabletMaxPressure(ReadTabletInfo(t, kWtiDevices, kDvcNormalPressure, pressure), pressure);
  WintabAxis orientation[3]{};
  input.noOrientation = TabletOrientationMissing(ReadTabletInfo(t, kWtiDevices, kDvcOrientation, orientation), orientation);

  WintabContext context{};
  if (ReadTabletInfo(t, kWtiDefaultSystemContext, 0, context) == 0) return true;  // no tablet
  PreparePenContext(context, VirtualScreen());
  input.tabletContext = t.open(w.window, &context, TRUE);
  return true;
}

bool OverWindow(const MainWindow& w, bool viewOnly) {
  POINT cursor{};
  if (!GetCursorPos(&cursor)) return false;
  const HWND under = WindowFromPoint(cursor);
  return under == w.view || (!viewOnly && under == w.window);
}

// The floating palette ring and pen selector take the pen while they are shown (as children
// of the main window or as top-level windows).
bool FloatingToolShown(const MainWindow& w) {
  static const wchar_t* const kClasses[] = {L"Palette Floating Window Class", L"Pen Floating Window Class"};
  for (const wchar_t* name : kClasses) {
    if (HWND child = FindWindowExW(w.window, nullptr, name, nullptr); child && IsWindowVisible(child)) return true;
    HWND found = FindWindowW(name, nullptr);
    DWORD process = 0;
    if (found && IsWindowVisible(found) && GetWindowThreadProcessId(found, &process) && process == GetCurrentProcessId())
      return true;
  }
  return false;
}

// A sample of the tablet or a pen pointer: the preset the tail asks for is selected first
// through the pen-selection command, then the sample goes to the input step.
void FeedStep(MainWindow& w, const TabletStep& step) {
  if (step.selectPen != kNoPen) SendMessageW(w.window, WM_COMMAND, MAKEWPARAM(CMD_SELECT_PEN_0 + step.selectPen, 0), 0);
  FeedViewSample(w, step.sample);
}

void OnTabletPacket(MainWindow& w, WPARAM serial) {
  const TabletInput& t = w.tablet;
  const HANDLE context = ContextOf(w);
  if (w.app.settings.TabletDriver != 0 || !context || !t.packet || t.modalLoop || !IsWindowEnabled(w.window) ||
      FloatingToolShown(w) || !OverWindow(w, false))
    return;
  // The newest packet only: a busy window skips the ones it had no time for.
  UINT oldest = 0, newest = static_cast<UINT>(serial);
  if (t.queuePacketsEx && !t.queuePacketsEx(context, &oldest, &newest)) return;
  PenSample packet{};
  if (!t.packet(context, newest, &packet)) return;
  FeedStep(w, TakeTabletPacket(w.app.input, packet, w.app.settings.TailSwitch != 0, w.app.settings.numPenSetting));
}

void OnActivate(MainWindow& w, bool active) {
  const TabletInput& t = w.tablet;
  const HANDLE context = ContextOf(w);
  if (w.app.settings.TabletDriver != 0 || !context) return;
  if (t.enable) t.enable(context, active ? TRUE : FALSE);
  if (active && t.overlap) t.overlap(context, TRUE);
}

// The screen's size or arrangement changed: the context's output follows the virtual screen.
void OnSettingChange(MainWindow& w) {
  const TabletInput& t = w.tablet;
  const HANDLE context = ContextOf(w);
  NoteDisplayOrientation(w);
  if (!context || !t.get || !t.set) return;
  WintabContext c{};
  if (!t.get(context, &c)) return;
  MapTabletToScreen(c, VirtualScreen());
  t.set(context, &c);
}

// Pointer messages in pointer-input mode. Pens draw through the input step; every other
// pointer, and a pen while the system lacks the pen functions, goes on to the system, which
// turns it into mouse messages. Returns true when the message was consumed.
bool OnPointer(MainWindow& w, UINT message, WPARAM wParam) {
  const TabletInput& t = w.tablet;
  if (!w.ready || !t.pointerType || !t.pointerInfo) return false;
  const UINT32 id = GET_POINTERID_WPARAM(wParam);
  POINTER_INPUT_TYPE type = PT_POINTER;
  if (!t.pointerType(id, &type)) return false;
  if (type == PT_TOUCH) {
    POINTER_INFO info{};
    if (!t.pointerInfo(id, &info)) return false;
    return OnTouchPointer(w, message, id, info.ptPixelLocation);
  }
  if (w.app.settings.TabletDriver == 0 || type != PT_PEN) return false;
  InputState& input = w.app.input;
  if (message == WM_POINTERENTER || message == WM_POINTERLEAVE) {
    input.tabletActive = message == WM_POINTERENTER ? 1 : 0;
    return false;
  }
  if (!t.pointerPenInfo || !t.pointerDeviceRects) return false;
  POINTER_PEN_INFO pen{};
  if (!t.pointerPenInfo(id, &pen)) return false;
  const POINTER_INFO& info = pen.pointerInfo;
  PenPointerReading reading{};
  reading.pixelX = info.ptPixelLocation.x;
  reading.pixelY = info.ptPixelLocation.y;
  reading.himetricX = info.ptHimetricLocation.x;
  reading.himetricY = info.ptHimetricLocation.y;
  RECT device{}, display{};
  reading.deviceRectsKnown = t.pointerDeviceRects(info.sourceDevice, &device, &display) != FALSE;
  reading.device = PixelRect{device.left, device.top, device.right, device.bottom};
  reading.display = PixelRect{display.left, display.top, display.right, display.bottom};
  // A pen that has left the surface presses with nothing, whatever its last reading was.
  const bool touching = message != WM_POINTERUP && (info.pointerFlags & POINTER_FLAG_INCONTACT) != 0;
  reading.pressure = touching ? pen.pressure : 0;
  reading.tiltX = pen.tiltX;
  reading.tiltY = pen.tiltY;
  reading.rotation = pen.rotation;
  reading.inverted = (pen.penFlags & PEN_FLAG_INVERTED) != 0;
  FeedStep(w, TakePenPointer(input, reading, w.app.settings.TailSwitch != 0, w.app.settings.numPenSetting));
  return true;
}

// Joystick 1 moved (polled every 16 ms while captured): the command bound to a newly pressed
// button, hat direction or Z push.
void OnJoystick(MainWindow& w) {
  if (GetForegroundWindow() != w.window || joyGetNumDevs() == 0) return;
  JOYINFOEX joy{};
  joy.dwSize = sizeof joy;
  joy.dwFlags = JOY_RETURNALL;
  if (joyGetPosEx(JOYSTICKID1, &joy) != JOYERR_NOERROR) return;
  const JoystickState now{static_cast<uint32_t>(joy.dwZpos), static_cast<uint32_t>(joy.dwPOV),
                          static_cast<uint32_t>(joy.dwButtons)};
  const int32_t command = PollJoypad(w.tablet.joypad, now, w.app.settings.joypad);
  if (command >= 0) SendMessageW(w.window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

}  // namespace

void OpenTabletInput(MainWindow& w) {
  TabletInput& t = w.tablet;
  t.user32 = LoadLibraryW(L"User32.dll");
  Resolve(t.user32, "GetPointerType", t.pointerType);
  Resolve(t.user32, "GetPointerInfo", t.pointerInfo);
  Resolve(t.user32, "GetPointerPenInfo", t.pointerPenInfo);
  Resolve(t.user32, "GetPointerDeviceRects", t.pointerDeviceRects);
  NoteDisplayOrientation(w);
  // Without the library the pen comes through the pointer input, silently.
  if (w.app.settings.TabletDriver != 0 || !OpenWintab(w)) UsePointerInput(w);
  t.joystickCaptured = joySetCapture(w.window, JOYSTICKID1, 16, FALSE) == JOYERR_NOERROR;
}

bool RouteTabletMessage(MainWindow& w, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case kTabletMessageBase + kTabletPacketOffset:
      if (w.ready) OnTabletPacket(w, wParam);
      return true;
    case kTabletMessageBase + kTabletProximityOffset:
      if (w.app.settings.TabletDriver == 0) TakeTabletProximity(w.app.input, LOWORD(lParam) != 0, OverWindow(w, true));
      return true;
    case WM_ACTIVATE:
      OnActivate(w, LOWORD(wParam) != WA_INACTIVE);
      return false;
    case WM_SETTINGCHANGE:
    case WM_DISPLAYCHANGE:
      OnSettingChange(w);
      return false;
    case WM_SIZE:
      NoteDisplayOrientation(w);
      return false;
    case WM_ENTERMENULOOP:
    case WM_ENTERSIZEMOVE:
      w.tablet.modalLoop = true;
      return false;
    case WM_EXITMENULOOP:
    case WM_EXITSIZEMOVE:
      w.tablet.modalLoop = false;
      return false;
    case WM_POINTERENTER:
    case WM_POINTERLEAVE:
    case WM_POINTERDOWN:
    case WM_POINTERUP:
    case WM_POINTERUPDATE:
      return OnPointer(w, message, wParam);
    case MM_JOY1MOVE:
      if (w.ready) OnJoystick(w);
      return true;
    case WM_CHAR:
      if (wParam == L'0') ForgetJoypadZ(w.tablet.joypad);
      return false;
    default:
      return false;
  }
}

void RestorePenBeforeTail(MainWindow& w) {
  const int32_t pen = PenToRestoreAtClose(w.app.input, w.app.settings.TailSwitch != 0);
  if (pen != kNoPen) SendMessageW(w.window, WM_COMMAND, MAKEWPARAM(CMD_SELECT_PEN_0 + pen, 0), 0);
}

void CloseTabletInput(MainWindow& w) {
  TabletInput& t = w.tablet;
  InputState& input = w.app.input;
  if (t.joystickCaptured) joyReleaseCapture(JOYSTICKID1);
  t.joystickCaptured = false;
  if (input.tabletContext && t.close) t.close(ContextOf(w));
  input.tabletContext = nullptr;
  if (HMODULE library = LibraryOf(w)) {
    void(WINAPI * quit)() = nullptr;
    Resolve(library, "WacomMTQuit", quit);
    if (quit) quit();
    FreeLibrary(library);
  }
  input.tabletLibrary = nullptr;
  if (t.user32) FreeLibrary(t.user32);
  t = TabletInput{};
}
