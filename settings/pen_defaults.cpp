#include "settings/pen_defaults.h"

#include <array>

#include "files/utf_text.h"

namespace {

struct PenDefault {
  std::u16string_view english;
  std::u16string_view japanese;
  int32_t kind, size, hardness, palette, enablePalette, brushCursor;
};

constexpr std::array<PenDefault, kPenCount> kPenDefaults = {{
    {u"pencil", u"鉛筆", 6, 215, 50, 0, 1, 0},
    {u"eraser all", u"消しゴム(全レイヤー)", 9, 200, 50, 0, 0, 1},
    {u"ballpoint pen", u"ボールペン", 0, 6, 10, 0, 1, 1},
    {u"ballpoint pen", u"ボールペン", 0, 6, 10, 4, 1, 1},
    {u"ballpoint pen", u"ボールペン", 0, 6, 10, 2, 1, 1},
    {u"ballpoint pen", u"ボールペン", 0, 6, 10, 1, 1, 1},
    {u"ballpoint pen", u"ボールペン", 0, 6, 10, 3, 1, 1},
    {u"ballpoint pen", u"ボールペン", 0, 6, 10, 5, 1, 1},
    {u"ballpoint pen", u"ボールペン", 0, 6, 10, 6, 1, 1},
    {u"selection all", u"選択(全レイヤー)", 17, 1, 50, 0, 0, 0},
    {u"lasso all", u"投げ縄(全レイヤー)", 18, 1, 50, 0, 0, 0},
    {u"selection", u"選択", 15, 1, 50, 6, 0, 0},
    {u"lasso", u"投げ縄", 16, 1, 50, 0, 0, 0},
    {u"eraser", u"消しゴム", 7, 200, 50, 0, 0, 1},
    {u"kneaded eraser", u"練り消し", 8, 200, 50, 0, 0, 1},
    {u"kneaded eraser all", u"練り消し(全レイヤー)", 10, 200, 50, 0, 1, 1},
}};

}  // namespace

std::u16string_view DefaultPenName(int slot, bool japanese) {
  if (slot < 0 || slot >= kPenCount) return {};
  return japanese ? kPenDefaults[slot].japanese : kPenDefaults[slot].english;
}

void SetPenDefaults(PenSetting (&pens)[kPenCount], bool japanese) {
  for (int slot = 0; slot < kPenCount; ++slot) {
    PenSetting& p = pens[slot];
    const PenDefault& d = kPenDefaults[slot];
    CopyText(p.Name, japanese ? d.japanese : d.english);
    p.KindOfPen = d.kind;
    p.Size = d.size;
    p.Hardness = d.hardness;
    p.Palette = d.palette;
    p.EnablePalette = d.enablePalette;
    p.BrushCursor = d.brushCursor;
    p.Interval = 10;
    p.Dispersal = 0;
    p.Roundness = 100;
    p.Angle = 90;
    p.SizePressure = 0;
    p.IntervalPressure = 1;
    p.DispersalPressure = 0;
    p.RoundnessPressure = 0;
    p.RoundnessTilt = 0;
    p.AngleRotation = 0;
    p.AngleJitter = 0;
    p.SizeJitter = 0;
    p.Direction = 0;
    p.Stamp = 0;
    CopyText(p.StampFileName, u"");
    CopyText(p.TextureFileName, u"tone_50.bmp");
    p.TextureOffsetX = 0;
    p.TextureOffsetY = 0;
  }
}
