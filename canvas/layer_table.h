// The layer stack: eight one-bit layers living in the bits of the canvas pixels, plus the
// paper. A layer never has pixels of its own; its settings only feed the palette and the
// protection mask, so hiding, recolouring or reordering a layer never rewrites a pixel.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int kLayerCount = 8;
inline constexpr int kPaperRow = 8;      // row of the paper entry; also the "paper selected" layer index
inline constexpr int kLayerTableRows = 9;

enum BlendMode : int32_t {
  kBlendNormal = 0,
  kBlendMultiply = 1,
  kBlendAdd = 2,
};

// One row. Field order is part of the record's layout; the text form uses another order.
struct LayerEntry {
  int32_t visible;     // 0 or 1: shown, and may be edited
  int32_t locked;      // nonzero: may not be edited
  int32_t blendMode;   // BlendMode; other values leave the colour below unchanged
  uint32_t colour;     // 0x00BBGGRR, red in the lowest byte
  int32_t order;       // position in the stack, 0 at the bottom; the eight layers hold 0..7 once each
  int32_t clipped;     // 0 or 1: shown only where the nearest unclipped layer below is painted
  uint8_t opacity;     // 0..255, 255 opaque; a 32-bit slot of which only the low byte is used
  uint8_t opacityPad[3];
};
static_assert(sizeof(LayerEntry) == 28, "LayerEntry is seven 32-bit slots");

// Rows 0..7 are the layers, row 8 the paper: only the paper's colour is used, as palette
// entry 255 and the colour every other entry starts from.
struct LayerTable {
  LayerEntry rows[kLayerTableRows];
};

// The table of a new canvas.
LayerTable DefaultLayerTable();

// Puts every row back to its default, except the paper's locked field, which stays.
void ResetLayerTable(LayerTable& table);

// Bit k set when layer k is hidden or locked. Edits change only the clear (editable) bits.
uint8_t ProtectionMask(const LayerTable& table);

// Protection for an edit of layer k alone: every other layer counts as protected.
uint8_t SingleLayerProtection(const LayerTable& table, int layer);

// True when layer k (0..7) is visible and unlocked; false for the paper row or any other k.
bool IsLayerEditable(const LayerTable& table, int layer);

// Text form: nine lines, rows 0 to 8, each "visible,blendMode,colour,order,locked,clipped,opacity"
// in decimal (colour unsigned) followed by a line feed. The default layer 1 reads
// "1,1,13387591,1,0,0,255".
std::string FormatLayerTable(const LayerTable& table);

// Reads the text form into table. Up to nine lines go to rows 0, 1, 2 ... in turn; each line
// sets only the leading fields it has, rows without a line keep their values. Each field is
// read like strtol: leading digits count, the rest is ignored; a field without digits leaves
// its value (so an empty line changes nothing). Signed fields saturate at the 32-bit range;
// the colour is unsigned (negative values wrap, too large saturates); the opacity keeps its
// low 8 bits.
void ParseLayerTable(std::string_view text, LayerTable& table);
