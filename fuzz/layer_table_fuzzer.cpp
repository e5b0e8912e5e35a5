// The layer table text of a canvas file's "Description" chunk: any text parses, and what is
// written back reads as the same table.
#include <string_view>

#include "canvas/layer_table.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LayerTable table = DefaultLayerTable();
  ParseLayerTable(std::string_view(reinterpret_cast<const char*>(data), size), table);
  const std::string text = FormatLayerTable(table);
  LayerTable back = DefaultLayerTable();
  ParseLayerTable(text, back);
  FUZZ_CHECK(FormatLayerTable(back) == text);
  (void)ProtectionMask(table);
  for (int layer = -1; layer <= kLayerTableRows; ++layer) (void)IsLayerEditable(table, layer);
  return 0;
}
