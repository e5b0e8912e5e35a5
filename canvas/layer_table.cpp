#include "canvas/layer_table.h"

#include <cstdio>
#include <limits>

namespace {

struct DefaultLayer {
  int32_t blendMode;
  uint32_t colour;
};

constexpr DefaultLayer kDefaultLayers[kLayerCount] = {
    {kBlendMultiply, 0x000000}, {kBlendMultiply, 0xCC4747}, {kBlendMultiply, 0x60A559},
    {kBlendMultiply, 0xD2D87B}, {kBlendMultiply, 0x4D47DC}, {kBlendMultiply, 0xE839E8},
    {kBlendMultiply, 0x46CFF3}, {kBlendMultiply, 0x808080},
};

// Reads a decimal number from the front of field like strtol (optional blanks and sign, then
// digits). Returns false when there are no digits. The value saturates at +-2^62, far past
// every range it is later narrowed to.
bool ParseLeadingDecimal(std::string_view field, int64_t& value) {
  size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  constexpr int64_t kLimit = int64_t{1} << 62;
  int64_t magnitude = 0;
  size_t digits = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i, ++digits) {
    const int digit = field[i] - '0';
    // Checked before multiplying: 19 digits would overflow 64 bits.
    magnitude = magnitude > (kLimit - digit) / 10 ? kLimit : magnitude * 10 + digit;
  }
  if (digits == 0) return false;
  value = negative ? -magnitude : magnitude;
  return true;
}

int32_t SaturateToInt32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// strtoul semantics on a 32-bit unsigned: a negative number wraps, a too large one saturates.
uint32_t ToUnsigned32(int64_t v) {
  if (v > std::numeric_limits<uint32_t>::max() || v < -int64_t{std::numeric_limits<uint32_t>::max()})
    return std::numeric_limits<uint32_t>::max();
  return static_cast<uint32_t>(v);
}

// Assigns field number `index` of the text order to the entry.
void AssignTextField(LayerEntry& e, int index, int64_t v) {
  switch (index) {
    case 0: e.visible = SaturateToInt32(v); break;
    case 1: e.blendMode = SaturateToInt32(v); break;
    case 2: e.colour = ToUnsigned32(v); break;
    case 3: e.order = SaturateToInt32(v); break;
    case 4: e.locked = SaturateToInt32(v); break;
    case 5: e.clipped = SaturateToInt32(v); break;
    case 6: e.opacity = static_cast<uint8_t>(static_cast<uint32_t>(SaturateToInt32(v)) & 0xFF); break;
    default: break;
  }
}

constexpr int kTextFieldCount = 7;

}  // namespace

LayerTable DefaultLayerTable() {
  LayerTable table{};
  ResetLayerTable(table);
  return table;
}

void ResetLayerTable(LayerTable& table) {
  for (int i = 0; i < kLayerCount; ++i) {
    LayerEntry& e = table.rows[i];
    e = LayerEntry{};
    e.visible = 1;
    e.locked = 0;
    e.blendMode = kDefaultLayers[i].blendMode;
    e.colour = kDefaultLayers[i].colour;
    e.order = i;
    e.clipped = 0;
    e.opacity = 255;
  }
  LayerEntry& paper = table.rows[kPaperRow];
  int32_t paperLocked = paper.locked;
  paper = LayerEntry{};
  paper.visible = 0;
  paper.locked = paperLocked;
  paper.blendMode = kBlendNormal;
  paper.colour = 0xFFFFFF;
  paper.order = 0;
  paper.clipped = 0;
  paper.opacity = 255;
}

uint8_t ProtectionMask(const LayerTable& table) {
  unsigned p = 0;
  for (int k = 0; k < kLayerCount; ++k) {
    const LayerEntry& e = table.rows[k];
    if (e.locked != 0 || e.visible == 0) p |= 1u << k;
  }
  return static_cast<uint8_t>(p);
}

uint8_t SingleLayerProtection(const LayerTable& table, int layer) {
  if (layer < 0 || layer >= kLayerCount) return 0xFF;
  return static_cast<uint8_t>(ProtectionMask(table) | ~(1u << layer));
}

bool IsLayerEditable(const LayerTable& table, int layer) {
  if (layer < 0 || layer >= kLayerCount) return false;
  const LayerEntry& e = table.rows[layer];
  return e.visible != 0 && e.locked == 0;
}

std::string FormatLayerTable(const LayerTable& table) {
  std::string text;
  char line[96];
  for (const LayerEntry& e : table.rows) {
    std::snprintf(line, sizeof line, "%d,%d,%u,%d,%d,%d,%u\n", e.visible, e.blendMode,
                  static_cast<unsigned>(e.colour), e.order, e.locked, e.clipped,
                  static_cast<unsigned>(e.opacity));
    text += line;
  }
  return text;
}

void ParseLayerTable(std::string_view text, LayerTable& table) {
  int row = 0;
  size_t lineStart = 0;
  while (row < kLayerTableRows && lineStart <= text.size()) {
    size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string_view::npos) lineEnd = text.size();
    std::string_view line = text.substr(lineStart, lineEnd - lineStart);

    size_t fieldStart = 0;
    for (int field = 0; field < kTextFieldCount && fieldStart <= line.size(); ++field) {
      size_t fieldEnd = line.find(',', fieldStart);
      if (fieldEnd == std::string_view::npos) fieldEnd = line.size();
      int64_t value = 0;
      if (ParseLeadingDecimal(line.substr(fieldStart, fieldEnd - fieldStart), value))
        AssignTextField(table.rows[row], field, value);
      fieldStart = fieldEnd + 1;
    }

    ++row;
    if (lineEnd == text.size()) break;
    lineStart = lineEnd + 1;
  }
}
