#include "app/stroke_script.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "canvas/canvas_lifecycle.h"
#include "canvas/masked_ops.h"
#include "canvas/palette.h"
#include "canvas/undo_history.h"
#include "files/bmp_reader.h"
#include "files/pen_resources.h"
#include "settings/app_settings.h"
#include "settings/pen_defaults.h"
#include "settings/settings_file.h"
#include "tools/floating_selection.h"
#include "tools/stamp_cache.h"
#include "view/canvas_view.h"
#include "view/input_state.h"
#include "app/input_step.h"
#include "app/pen_session.h"
#include "app/user_texts.h"

namespace {

// ": " and the reason a BMP file was refused, or nothing when there is none.
std::string BmpReasonSuffix(BmpFailure reason) {
  const char* text = BmpFailureText(reason);
  return text ? std::string(": ") + text : std::string();
}

namespace fs = std::filesystem;

constexpr int32_t kDefaultAzimuth10 = 1300;
constexpr int32_t kDefaultAltitude10 = 550;

const char kStrokeScriptHelpText[] =
    "Runs SCRIPT on the canvas IN.png and writes the result to OUT.png. The view is at scale 1,\n"
    "not rotated or mirrored, so positions are canvas pixels. One command per line; '#' starts a\n"
    "comment.\n"
    "  pen FIELD=VALUE ...          set fields of the current pen by their settings names\n"
    "                               (KindOfPen, Size, Hardness, Palette, EnablePalette,\n"
    "                               TextureOffsetX, ...); numbers may be decimal or 0x hex\n"
    "  select N                     make pen slot N (0..15) current, as the pen menu does: its\n"
    "                               own layer when EnablePalette=1; a loaded texture is dropped\n"
    "  layer N                      make layer N (0..7) current\n"
    "  layerset N visible=V locked=L  change layer N's flags (either may be left out)\n"
    "  correction N                 smoothing strength (CorrectionStrength, 0..20)\n"
    "  maxpressure N                the pressure that means full pressure (default 1024)\n"
    "  material PATH.bmp            load the paper grain\n"
    "  texture PATH.bmp             load the current pen's texture\n"
    "  stamp PATH.bmp               load the current pen's stamp (black pixels stamp; the pen\n"
    "                               uses it with KindOfPen=19 Stamp=1)\n"
    "  down X Y P [AZIMUTH ALTITUDE]  pen down at canvas (X, Y) with pressure P (0..1);\n"
    "  move X Y P [AZIMUTH ALTITUDE]  azimuth and altitude in tenths of a degree\n"
    "                               (default 1300 and 550; a negative altitude is the pen's tail)\n"
    "  up X Y                       lift the pen at (X, Y)\n"
    "  undo, redo                   step through the undo history\n"
    "  clear                        erase every editable layer and commit\n"
    "  drop [DX DY]                 after a selection stroke (KindOfPen=15..18) the lifted pixels\n"
    "                               float: drop moves them by DX, DY canvas pixels (default 0 0)\n"
    "                               and writes them back as one undo step; down, undo, redo, clear\n"
    "                               and the end of the script drop a floating selection in place\n";

struct Replay {
  PenSetting pens[kPenCount]{};
  int32_t currentPen = 0;
  int32_t correction = 0;
  Canvas& canvas;
  CanvasView view = NewCanvasView();
  InputState input = NewInputState();
  InputStep step;
  FloatingSelection floating{};  // the lifted pixels of a selection stroke, until dropped
  AppContext app{};
  std::string error;

  explicit Replay(Canvas& target) : canvas(target) {
    SetPenDefaults(pens, false);
    input.maxPressure = 1024;
    input.correctionStrength = &correction;
    app = AppContext{&canvas, pens, &currentPen, &view, &input};
    app.floating = &floating;
    view.canvas = &canvas;
    view.scale = 1.0f;
    view.clientWidth = canvas.width;
    view.clientHeight = canvas.height;
    ChooseSampler(view);
  }
  ~Replay() {
    StopUpdateThread(step.update);
    FreeFloatingImage(floating);
    // The stamps go with the pens; transforms cached from them must not outlive them.
    ReleaseStrokeResources(app);
    for (PenSetting& pen : pens) FreeDibBitmap(pen.stampBitmap);
  }
};

// Writes a floating selection back where it now lies (the main window's commit message).
void DropSelection(Replay& r) {
  if (!r.floating.floating) return;
  std::lock_guard<std::recursive_mutex> guard(r.step.update.lock);
  DropFloatingSelection(r.app);
}

bool ParseInt(const std::string& text, long long& value) {
  char* end = nullptr;
  value = std::strtoll(text.c_str(), &end, 0);
  return !text.empty() && end && *end == '\0';
}

bool ParseFloat(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && end && *end == '\0' && std::isfinite(value);
}

// Sets r.error; returns false for the caller to return.
bool Fail(Replay& r, const std::string& message) {
  r.error = message;
  return false;
}

// drop [DX DY]: moves the floating selection by (DX, DY) and drops it.
bool RunDrop(Replay& r, const std::vector<std::string>& words) {
  const size_t n = words.size();
  if (n != 1 && n != 3) return Fail(r, "usage: drop [DX DY]");
  double dx = 0, dy = 0;
  if (n == 3 && (!ParseFloat(words[1], dx) || !ParseFloat(words[2], dy))) return Fail(r, "bad displacement");
  if (std::fabs(dx) > 1e8 || std::fabs(dy) > 1e8) return Fail(r, "displacement out of range");
  if (!r.floating.floating) return Fail(r, "no floating selection to drop");
  // The view is at scale 1, straight, at the canvas origin: a canvas pixel is a client pixel.
  r.floating.clientX += static_cast<float>(dx);
  r.floating.clientY += static_cast<float>(dy);
  DropSelection(r);
  return true;
}

// down / move X Y P [AZIMUTH ALTITUDE], up X Y: one pen sample fed to the input step.
bool RunSample(Replay& r, const std::vector<std::string>& words) {
  const std::string& verb = words[0];
  const size_t n = words.size();
  const size_t needed = verb == "up" ? 3 : 4;
  if (n != needed && !(verb != "up" && n == 6)) return Fail(r, "usage: " + verb + (verb == "up" ? " X Y" : " X Y P [AZIMUTH ALTITUDE]"));
  double x, y, p = 0;
  if (!ParseFloat(words[1], x) || !ParseFloat(words[2], y)) return Fail(r, "bad position");
  if (verb != "up" && (!ParseFloat(words[3], p) || p < 0 || p > 1)) return Fail(r, "pressure must be 0..1");
  long long azimuth = kDefaultAzimuth10, altitude = kDefaultAltitude10;
  if (n == 6 && (!ParseInt(words[4], azimuth) || !ParseInt(words[5], altitude))) return Fail(r, "bad azimuth or altitude");
  if (std::fabs(x) > 1e8 || std::fabs(y) > 1e8) return Fail(r, "position out of range");
  PenSample sample{};
  sample.x = static_cast<int32_t>(std::lround(x * 16.0));
  sample.y = static_cast<int32_t>(std::lround(y * 16.0));
  sample.pressure = static_cast<uint32_t>(std::lround(p * r.input.maxPressure));
  sample.azimuth = static_cast<int32_t>(azimuth);
  sample.altitude = static_cast<int32_t>(altitude);
  FeedPenSample(r.app, r.step, sample, SampleConditions{});
  return true;
}

// pen FIELD=VALUE ...: settings fields of the current pen.
bool RunPen(Replay& r, const std::vector<std::string>& words) {
  const size_t n = words.size();
  if (n < 2) return Fail(r, "usage: pen FIELD=VALUE ...");
  for (size_t i = 1; i < n; ++i) {
    if (words[i].find('=') == std::string::npos) return Fail(r, "expected FIELD=VALUE, got '" + words[i] + "'");
    AppSettings settings{};
    // The settings keys of the current pen are "Pen" + its number + the field name.
    std::copy(std::begin(r.pens), std::end(r.pens), std::begin(settings.pens));
    const std::string line = "Pen" + std::to_string(r.currentPen) + words[i];
    if (!ApplySettingLine(settings, line)) return Fail(r, "unknown pen field in '" + words[i] + "'");
    std::copy(std::begin(settings.pens), std::end(settings.pens), std::begin(r.pens));
  }
  return true;
}

// select N: the current pen slot.
bool RunSelect(Replay& r, const std::vector<std::string>& words) {
  long long slot;
  if (words.size() != 2 || !ParseInt(words[1], slot) || slot < 0 || slot >= kPenCount)
    return Fail(r, "usage: select N (0..15)");
  return SelectPen(r.app, static_cast<int>(slot), nullptr) || Fail(r, "cannot select the pen");
}

// layer N: the current layer.
bool RunLayer(Replay& r, const std::vector<std::string>& words) {
  const size_t n = words.size();
  long long layer;
  if (n != 2 || !ParseInt(words[1], layer) || layer < 0 || layer > 7) return Fail(r, "usage: layer N (0..7)");
  r.canvas.currentLayer = static_cast<int32_t>(layer);
  return true;
}

// layerset N visible=V locked=L: a layer's flags.
bool RunLayerSet(Replay& r, const std::vector<std::string>& words) {
  const size_t n = words.size();
  long long layer;
  if (n < 3 || !ParseInt(words[1], layer) || layer < 0 || layer > 7) return Fail(r, "usage: layerset N visible=V locked=L");
  LayerEntry& entry = r.canvas.layers.rows[layer];
  for (size_t i = 2; i < n; ++i) {
    const size_t eq = words[i].find('=');
    long long value;
    if (eq == std::string::npos || !ParseInt(words[i].substr(eq + 1), value)) return Fail(r, "bad '" + words[i] + "'");
    const std::string name = words[i].substr(0, eq);
    if (name == "visible")
      entry.visible = value != 0;
    else if (name == "locked")
      entry.locked = value != 0;
    else
      return Fail(r, "unknown layer flag '" + name + "'");
  }
  ComputePalette(*r.canvas.bitmap, r.canvas.layers);
  return true;
}

// correction N, maxpressure N.
bool RunNumberSetting(Replay& r, const std::vector<std::string>& words) {
  const std::string& verb = words[0];
  const size_t n = words.size();
  long long value;
  if (n != 2 || !ParseInt(words[1], value)) return Fail(r, "usage: " + verb + " N");
  if (verb == "correction") {
    if (value < 0 || value > 20) return Fail(r, "correction must be 0..20");
    r.correction = static_cast<int32_t>(value);
  } else {
    if (value < 1 || value > 0x7FFFFFFF) return Fail(r, "maxpressure must be at least 1");
    r.input.maxPressure = static_cast<uint32_t>(value);
  }
  return true;
}

// material / texture PATH.bmp: the paper grain or the current pen's texture.
bool RunPicture(Replay& r, const std::vector<std::string>& words) {
  const std::string& verb = words[0];
  const size_t n = words.size();
  if (n != 2) return Fail(r, "usage: " + verb + " PATH.bmp");
  const fs::path path = fs::absolute(words[1]);
  BmpFailure reason = BmpFailure::kNone;
  DibBitmap* loaded = verb == "material" ? LoadMaterial(fs::path(), path, &reason) : LoadTexture(fs::path(), path, &reason);
  if (reason != BmpFailure::kNone) {
    FreeDibBitmap(loaded);  // a material of an unreadable file is a map of zeros
    return Fail(r, "cannot read " + words[1] + BmpReasonSuffix(reason));
  }
  if (!loaded) return Fail(r, "cannot use " + words[1] + " as a " + verb);
  DibBitmap*& slot = verb == "material" ? r.app.material : r.app.texture;
  FreeDibBitmap(slot);
  slot = loaded;
  return true;
}

// stamp PATH.bmp: the current pen's stamp.
bool RunStamp(Replay& r, const std::vector<std::string>& words) {
  const size_t n = words.size();
  if (n != 2) return Fail(r, "usage: stamp PATH.bmp");
  const fs::path path = fs::absolute(words[1]);
  BmpFailure reason = BmpFailure::kNone;
  DibBitmap* stamp = LoadStamp(path, &reason);
  if (!stamp && reason != BmpFailure::kNone) return Fail(r, "cannot read " + words[1] + BmpReasonSuffix(reason));
  if (!stamp) return Fail(r, "out of memory for the stamp " + words[1]);
  PenSetting& pen = r.pens[r.currentPen];
  FreeDibBitmap(pen.stampBitmap);
  pen.stampBitmap = stamp;
  EmptyStampCache(r.app.stampCache);
  return true;
}

// undo, redo.
bool RunUndoRedo(Replay& r, const std::vector<std::string>& words) {
  const std::string& verb = words[0];
  const size_t n = words.size();
  if (n != 1) return Fail(r, "usage: " + verb);
  PixelRect changed{};
  std::lock_guard<std::recursive_mutex> guard(r.step.update.lock);
  if (verb == "undo")
    Undo(r.canvas, changed);
  else
    Redo(r.canvas, changed);
  return true;
}

// clear: erases every editable layer and commits.
bool RunClear(Replay& r, const std::vector<std::string>& words) {
  const size_t n = words.size();
  if (n != 1) return Fail(r, "usage: clear");
  std::lock_guard<std::recursive_mutex> guard(r.step.update.lock);
  ClearEditable(*r.canvas.bitmap, r.canvas.width, r.canvas.height, r.canvas.layers);
  CommitCanvasRect(r.canvas, {0, 0, r.canvas.width, r.canvas.height});
  return true;
}

// The verbs of the script and the function that runs each.
struct ScriptVerb {
  const char* name;
  bool (*run)(Replay& r, const std::vector<std::string>& words);
};
constexpr ScriptVerb kScriptVerbs[] = {
    {"drop", RunDrop},
    {"down", RunSample},
    {"move", RunSample},
    {"up", RunSample},
    {"pen", RunPen},
    {"select", RunSelect},
    {"layer", RunLayer},
    {"layerset", RunLayerSet},
    {"correction", RunNumberSetting},
    {"maxpressure", RunNumberSetting},
    {"material", RunPicture},
    {"texture", RunPicture},
    {"stamp", RunStamp},
    {"undo", RunUndoRedo},
    {"redo", RunUndoRedo},
    {"clear", RunClear},
};

// One command; false with r.error set when it fails.
bool RunLine(Replay& r, const std::vector<std::string>& words) {
  const std::string& verb = words[0];
  // Commands that need the canvas drop a floating selection in place first, as the program does
  // when the user clicks outside it.
  if (verb == "down" || verb == "undo" || verb == "redo" || verb == "clear") DropSelection(r);
  for (const ScriptVerb& v : kScriptVerbs)
    if (verb == v.name) return v.run(r, words);
  return Fail(r, "unknown command '" + verb + "'");
}

}  // namespace

const char* StrokeScriptHelp() { return kStrokeScriptHelpText; }

StrokeScriptResult RunStrokeScript(Canvas& canvas, std::string_view script) {
  StrokeScriptResult result{true, 0, {}};
  Replay r(canvas);
  std::istringstream lines{std::string(script)};
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    if (words.empty()) continue;
    if (!RunLine(r, words)) {
      result = {false, number, r.error};
      break;
    }
  }
  DropSelection(r);  // a selection still floating at the end lands where it was lifted
  StopUpdateThread(r.step.update);
  if (canvas.bitmap) ComputePalette(*canvas.bitmap, canvas.layers);
  return result;
}
