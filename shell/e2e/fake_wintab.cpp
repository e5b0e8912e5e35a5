// A tablet driver library ("wintab32.dll") for end-to-end tests: one pen tablet whose packets
// come from a script instead of a pen. Put beside a copy of Dotwright.exe, it is the library
// the program loads.
//
// Environment:
//   DOTWRIGHT_FAKE_TABLET      the tablet script (a Windows path); without it there is no tablet
//                              and every query answers 0
//   DOTWRIGHT_FAKE_TABLET_LOG  a file the library appends its log lines to (optional)
//
// Tablet script, one command a line, "#" starts a comment:
//   tablet W H            device area: x 0 .. W-1, y 0 .. H-1 counted up from the bottom edge
//                         (default 20480 16384)
//   pressure MIN MAX      the normal-pressure axis (default 0 1023)
//   orientation 0|1       1 (default): azimuth, altitude and twist axes that turn; 0: a fixed
//                         twist axis, which the program takes for a tablet without orientation
//   play PATH             once the context is open, wait (up to 120 s) until the file PATH
//                         exists, then play its lines:
//     proximity 1|0       the pen enters or leaves proximity (posted, message base + 5)
//     packet X Y P AZ ALT [TWIST]
//                         a packet at device (X, Y) with pressure P and the orientation in
//                         tenths of a degree (a negative altitude is the pen's tail). It is
//                         posted (base + 0) and the next line waits until the program has read
//                         it with WTPacket or WTPacketsGet (up to 5 s).
//     sleep MS
//
// Output mapping, as a driver maps its device area onto the context's output: per axis
// t = in - inOrg, turned round (inExt - 1 - t) where the output extent is negative, then
// out = outOrg + t * |outExt| / inExt (integers, 64-bit). With a system-cursor context the
// system cursor is moved to (out / 16) as well, so it follows the pen like a real one.
//
// Log lines: "open options=0x.. base=0x.. data=0x.. mode=0x.. move=0x.. out=X Y W H name=N",
// "refused data=0x..", "enable 0|1", "set out=X Y W H", "proximity 0|1",
// "packet SERIAL X Y P AZ ALT" (output coordinates, once the program has read it),
// "timeout SERIAL", "done", "close", "mtquit".
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

#include "app/tablet_packets.h"

namespace {

constexpr uint32_t kSupportedPacketData = kPkButtons | kPkX | kPkY | kPkNormalPressure | kPkOrientation;
constexpr uint32_t kDvcX = 12, kDvcY = 13, kWtiDefaultContext = 3;

struct QueuedPacket {
  UINT serial;
  std::vector<char> bytes;
};

// The one tablet of this process. Everything below the lock is shared by the program's window
// thread (the exported functions) and the player thread.
struct FakeTablet {
  bool loaded = false;
  bool present = false;
  int32_t width = 20480, height = 16384;
  WintabAxis pressure{0, 1023, 0, 0};
  bool orientation = true;
  std::wstring playPath;
  std::wstring logPath;

  CRITICAL_SECTION lock;
  bool open = false;
  bool enabled = false;
  bool stopping = false;
  HWND window = nullptr;
  WintabContext context{};
  std::deque<QueuedPacket> queue;
  UINT nextSerial = 1;
  UINT lastRead = 0;
  HANDLE readEvent = nullptr;  // set whenever the program reads packets
  HANDLE player = nullptr;
};

FakeTablet& Tablet() {
  static FakeTablet* tablet = [] {
    auto* t = new FakeTablet;
    InitializeCriticalSection(&t->lock);
    t->readEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    return t;
  }();
  return *tablet;
}

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[1024];
  const DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
  return n > 0 && n < 1024 ? std::wstring(buffer, n) : std::wstring();
}

bool ReadWholeFile(const std::wstring& path, std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  text.clear();
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  CloseHandle(file);
  return true;
}

void Log(const char* format, ...) {
  FakeTablet& t = Tablet();
  if (t.logPath.empty()) return;
  char line[512];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(line, sizeof line - 2, format, args);
  va_end(args);
  if (n < 0) return;
  if (n > static_cast<int>(sizeof line) - 3) n = sizeof line - 3;
  line[n++] = '\n';
  HANDLE file = CreateFileW(t.logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(n), &written, nullptr);
  CloseHandle(file);
}

// Reads the tablet script once, on the first call into the library.
FakeTablet& Loaded() {
  FakeTablet& t = Tablet();
  EnterCriticalSection(&t.lock);
  if (!t.loaded) {
    t.loaded = true;
    t.logPath = Environment(L"DOTWRIGHT_FAKE_TABLET_LOG");
    std::string text;
    const std::wstring script = Environment(L"DOTWRIGHT_FAKE_TABLET");
    if (!script.empty() && ReadWholeFile(script, text)) {
      t.present = true;
      std::istringstream lines(text);
      for (std::string line; std::getline(lines, line);) {
        if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream in(line);
        std::string verb;
        if (!(in >> verb)) continue;
        if (verb == "tablet") in >> t.width >> t.height;
        else if (verb == "pressure") in >> t.pressure.axMin >> t.pressure.axMax;
        else if (verb == "orientation") {
          int on = 1;
          in >> on;
          t.orientation = on != 0;
        } else if (verb == "play") {
          std::string path;
          std::getline(in >> std::ws, path);
          while (!path.empty() && (path.back() == '\r' || path.back() == ' ')) path.pop_back();
          t.playPath.assign(path.begin(), path.end());
        }
      }
    }
  }
  LeaveCriticalSection(&t.lock);
  return t;
}

// The default system context: the whole device onto the whole virtual screen in pixels.
WintabContext DefaultContext(const FakeTablet& t) {
  WintabContext c{};
  const char16_t name[] = u"Fake tablet";
  std::memcpy(c.lcName, name, sizeof name);
  c.lcOptions = kCxoSystem;
  c.lcMsgBase = kTabletMessageBase;
  c.lcPktRate = 100;
  c.lcPktData = kPkX | kPkY | kPkButtons;
  c.lcMoveMask = c.lcPktData;
  c.lcBtnDnMask = c.lcBtnUpMask = 0xFFFFFFFFu;
  c.lcInExtX = t.width;
  c.lcInExtY = t.height;
  c.lcOutExtX = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  c.lcOutExtY = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  c.lcSysMode = 0;
  c.lcSysOrgX = GetSystemMetrics(SM_XVIRTUALSCREEN);
  c.lcSysOrgY = GetSystemMetrics(SM_YVIRTUALSCREEN);
  c.lcSysExtX = c.lcOutExtX;
  c.lcSysExtY = c.lcOutExtY;
  c.lcSensX = c.lcSensY = c.lcSensZ = 0x10000;
  c.lcSysSensX = c.lcSysSensY = 0x10000;
  return c;
}

long long MapAxis(long long in, long long inOrg, long long inExt, long long outOrg, long long outExt) {
  long long t = in - inOrg;
  if (outExt < 0) t = inExt - 1 - t;
  return outOrg + t * (outExt < 0 ? -outExt : outExt) / (inExt > 0 ? inExt : 1);
}

template <typename T>
void Append(std::vector<char>& bytes, T value) {
  const char* p = reinterpret_cast<const char*>(&value);
  bytes.insert(bytes.end(), p, p + sizeof value);
}

// Waits until the program has read packet `serial`; false after 5 s or when closing.
bool WaitUntilRead(FakeTablet& t, UINT serial) {
  const ULONGLONG deadline = GetTickCount64() + 5000;
  for (;;) {
    EnterCriticalSection(&t.lock);
    const bool read = t.lastRead >= serial, stop = t.stopping;
    LeaveCriticalSection(&t.lock);
    if (read) return true;
    const ULONGLONG now = GetTickCount64();
    if (stop || now >= deadline) return false;
    WaitForSingleObject(t.readEvent, static_cast<DWORD>(deadline - now));
  }
}

// Waits (up to 5 s) for the context to be enabled; false when closing.
bool WaitUntilEnabled(FakeTablet& t) {
  for (int i = 0; i < 100; ++i) {
    EnterCriticalSection(&t.lock);
    const bool enabled = t.enabled, stop = t.stopping;
    LeaveCriticalSection(&t.lock);
    if (stop) return false;
    if (enabled) return true;
    Sleep(50);
  }
  return true;
}

void PlayPacket(FakeTablet& t, long long x, long long y, long long pressure, long long azimuth, long long altitude,
                long long twist) {
  if (!WaitUntilEnabled(t)) return;
  EnterCriticalSection(&t.lock);
  const WintabContext& c = t.context;
  const long long outX = MapAxis(x, c.lcInOrgX, c.lcInExtX, c.lcOutOrgX, c.lcOutExtX);
  const long long outY = MapAxis(y, c.lcInOrgY, c.lcInExtY, c.lcOutOrgY, c.lcOutExtY);
  QueuedPacket packet{t.nextSerial++, {}};
  if (c.lcPktData & kPkButtons) Append(packet.bytes, static_cast<uint32_t>(0));
  if (c.lcPktData & kPkX) Append(packet.bytes, static_cast<int32_t>(outX));
  if (c.lcPktData & kPkY) Append(packet.bytes, static_cast<int32_t>(outY));
  if (c.lcPktData & kPkNormalPressure) Append(packet.bytes, static_cast<uint32_t>(pressure));
  if (c.lcPktData & kPkOrientation) {
    Append(packet.bytes, static_cast<int32_t>(azimuth));
    Append(packet.bytes, static_cast<int32_t>(altitude));
    Append(packet.bytes, static_cast<int32_t>(twist));
  }
  const UINT serial = packet.serial;
  const bool moveCursor = (c.lcOptions & kCxoSystem) != 0;
  const UINT base = c.lcMsgBase;
  const HWND window = t.window;
  t.queue.push_back(std::move(packet));
  if (t.queue.size() > 128) t.queue.pop_front();
  LeaveCriticalSection(&t.lock);
  // Floor division by 16, also left of or above the primary monitor.
  auto pixel = [](long long v) { return static_cast<int>(v >= 0 ? v / 16 : -((-v + 15) / 16)); };
  if (moveCursor) SetCursorPos(pixel(outX), pixel(outY));
  PostMessageW(window, base + kTabletPacketOffset, serial, reinterpret_cast<LPARAM>(&t));
  if (WaitUntilRead(t, serial))
    Log("packet %u %lld %lld %lld %lld %lld", serial, outX, outY, pressure, azimuth, altitude);
  else
    Log("timeout %u", serial);
}

DWORD WINAPI Player(void*) {
  FakeTablet& t = Tablet();
  std::string text;
  bool found = false;
  for (int i = 0; i < 2400 && !found; ++i) {
    EnterCriticalSection(&t.lock);
    const bool stop = t.stopping;
    LeaveCriticalSection(&t.lock);
    if (stop) return 0;
    found = GetFileAttributesW(t.playPath.c_str()) != INVALID_FILE_ATTRIBUTES && ReadWholeFile(t.playPath, text);
    if (!found) Sleep(50);
  }
  if (!found) {
    Log("no play file");
    return 0;
  }
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    EnterCriticalSection(&t.lock);
    const bool stop = t.stopping;
    const HWND window = t.window;
    const UINT base = t.context.lcMsgBase;
    LeaveCriticalSection(&t.lock);
    if (stop) return 0;
    if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream in(line);
    std::string verb;
    if (!(in >> verb)) continue;
    if (verb == "proximity") {
      int entering = 0;
      in >> entering;
      PostMessageW(window, base + kTabletProximityOffset, reinterpret_cast<WPARAM>(&t), MAKELPARAM(entering ? 1 : 0, 1));
      Log("proximity %d", entering ? 1 : 0);
    } else if (verb == "packet") {
      long long x = 0, y = 0, p = 0, az = 0, alt = 0, twist = 0;
      in >> x >> y >> p >> az >> alt;
      if (!(in >> twist)) twist = 0;
      PlayPacket(t, x, y, p, az, alt, twist);
    } else if (verb == "sleep") {
      int ms = 0;
      in >> ms;
      Sleep(static_cast<DWORD>(ms));
    }
  }
  Log("done");
  return 0;
}

bool IsOurs(HANDLE context) {
  FakeTablet& t = Tablet();
  return context == static_cast<HANDLE>(&t) && t.open;
}

}  // namespace

extern "C" {

UINT WINAPI WTInfoW(UINT category, UINT index, LPVOID output) {
  FakeTablet& t = Loaded();
  if (!t.present) return 0;
  WintabAxis axes[3]{};
  WintabContext context{};
  const void* item = nullptr;
  UINT size = 0;
  if (category == 0) {
    return sizeof context;  // some information exists
  } else if (category == kWtiDefaultSystemContext || category == kWtiDefaultContext) {
    context = DefaultContext(t);
    item = &context;
    size = sizeof context;
  } else if (category == kWtiDevices && index == kDvcNormalPressure) {
    axes[0] = t.pressure;
    item = axes;
    size = sizeof(WintabAxis);
  } else if (category == kWtiDevices && index == kDvcOrientation) {
    axes[0] = WintabAxis{0, 3599, 0, 0};
    axes[1] = WintabAxis{-900, 900, 0, 0};
    axes[2] = t.orientation ? WintabAxis{0, 3599, 0, 0} : WintabAxis{0, 0, 0, 0};
    item = axes;
    size = sizeof axes;
  } else if (category == kWtiDevices && (index == kDvcX || index == kDvcY)) {
    axes[0] = WintabAxis{0, (index == kDvcX ? t.width : t.height) - 1, 0, 0};
    item = axes;
    size = sizeof(WintabAxis);
  } else {
    return 0;
  }
  if (output) std::memcpy(output, item, size);
  return size;
}

HANDLE WINAPI WTOpenW(HWND window, WintabContext* context, BOOL enable) {
  FakeTablet& t = Loaded();
  if (!t.present || !context || !window) return nullptr;
  if ((context->lcPktData & ~kSupportedPacketData) != 0) {
    Log("refused data=0x%X", context->lcPktData);
    return nullptr;
  }
  EnterCriticalSection(&t.lock);
  const bool already = t.open;
  if (!already) {
    t.open = true;
    t.enabled = enable != FALSE;
    t.stopping = false;
    t.window = window;
    t.context = *context;
  }
  LeaveCriticalSection(&t.lock);
  if (already) return nullptr;  // one context at a time
  char name[kWintabNameLength + 1]{};
  for (int i = 0; i < kWintabNameLength && context->lcName[i]; ++i) name[i] = static_cast<char>(context->lcName[i]);
  Log("open options=0x%X base=0x%X data=0x%X mode=0x%X move=0x%X out=%d %d %d %d name=%s", context->lcOptions,
      context->lcMsgBase, context->lcPktData, context->lcPktMode, context->lcMoveMask, context->lcOutOrgX,
      context->lcOutOrgY, context->lcOutExtX, context->lcOutExtY, name);
  if (!t.playPath.empty()) t.player = CreateThread(nullptr, 0, Player, nullptr, 0, nullptr);
  return static_cast<HANDLE>(&t);
}

BOOL WINAPI WTClose(HANDLE context) {
  FakeTablet& t = Tablet();
  if (!IsOurs(context)) return FALSE;
  EnterCriticalSection(&t.lock);
  t.stopping = true;
  LeaveCriticalSection(&t.lock);
  SetEvent(t.readEvent);
  if (t.player) {
    WaitForSingleObject(t.player, 10000);
    CloseHandle(t.player);
    t.player = nullptr;
  }
  EnterCriticalSection(&t.lock);
  t.open = false;
  t.queue.clear();
  LeaveCriticalSection(&t.lock);
  Log("close");
  return TRUE;
}

BOOL WINAPI WTEnable(HANDLE context, BOOL enable) {
  FakeTablet& t = Tablet();
  if (!IsOurs(context)) return FALSE;
  EnterCriticalSection(&t.lock);
  const bool changed = t.enabled != (enable != FALSE);
  t.enabled = enable != FALSE;
  LeaveCriticalSection(&t.lock);
  if (changed) Log("enable %d", enable ? 1 : 0);
  return TRUE;
}

BOOL WINAPI WTOverlap(HANDLE context, BOOL) { return IsOurs(context) ? TRUE : FALSE; }

BOOL WINAPI WTGetW(HANDLE context, WintabContext* out) {
  FakeTablet& t = Tablet();
  if (!IsOurs(context) || !out) return FALSE;
  EnterCriticalSection(&t.lock);
  *out = t.context;
  LeaveCriticalSection(&t.lock);
  return TRUE;
}

BOOL WINAPI WTSetW(HANDLE context, WintabContext* in) {
  FakeTablet& t = Tablet();
  if (!IsOurs(context) || !in) return FALSE;
  EnterCriticalSection(&t.lock);
  t.context = *in;
  LeaveCriticalSection(&t.lock);
  Log("set out=%d %d %d %d", in->lcOutOrgX, in->lcOutOrgY, in->lcOutExtX, in->lcOutExtY);
  return TRUE;
}

BOOL WINAPI WTQueuePacketsEx(HANDLE context, UINT* oldest, UINT* newest) {
  FakeTablet& t = Tablet();
  if (!IsOurs(context)) return FALSE;
  EnterCriticalSection(&t.lock);
  const bool any = !t.queue.empty();
  if (any) {
    if (oldest) *oldest = t.queue.front().serial;
    if (newest) *newest = t.queue.back().serial;
  }
  LeaveCriticalSection(&t.lock);
  return any ? TRUE : FALSE;
}

// Copies packet `serial` and drops it with every older one, as a driver's queue does.
BOOL WINAPI WTPacket(HANDLE context, UINT serial, LPVOID packet) {
  FakeTablet& t = Tablet();
  if (!IsOurs(context)) return FALSE;
  EnterCriticalSection(&t.lock);
  bool found = false;
  while (!t.queue.empty() && t.queue.front().serial <= serial) {
    const QueuedPacket& front = t.queue.front();
    if (front.serial == serial) {
      found = true;
      if (packet) std::memcpy(packet, front.bytes.data(), front.bytes.size());
      if (serial > t.lastRead) t.lastRead = serial;
    }
    t.queue.pop_front();
  }
  LeaveCriticalSection(&t.lock);
  if (found) SetEvent(t.readEvent);
  return found ? TRUE : FALSE;
}

// Copies and drops up to `count` of the oldest packets; returns how many.
int WINAPI WTPacketsGet(HANDLE context, int count, LPVOID packets) {
  FakeTablet& t = Tablet();
  if (!IsOurs(context)) return 0;
  EnterCriticalSection(&t.lock);
  int copied = 0;
  char* out = static_cast<char*>(packets);
  while (copied < count && !t.queue.empty()) {
    const QueuedPacket& front = t.queue.front();
    if (out) {
      std::memcpy(out, front.bytes.data(), front.bytes.size());
      out += front.bytes.size();
    }
    if (front.serial > t.lastRead) t.lastRead = front.serial;
    t.queue.pop_front();
    ++copied;
  }
  LeaveCriticalSection(&t.lock);
  if (copied) SetEvent(t.readEvent);
  return copied;
}

void WINAPI WacomMTQuit() { Log("mtquit"); }

}  // extern "C"
