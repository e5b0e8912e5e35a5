// Layered PSD export (Photoshop document, version 1, RGB, 8 bits per channel). Write-only: the
// program never reads PSD files.
//
// The document holds nine layers, bottom first: an opaque paper layer, then the eight canvas
// layers in stack order (LayerEntry::order), each a full-canvas layer that is the layer colour
// where its bit is painted and transparent elsewhere, with the layer's blend mode ("norm",
// "mul ", "lddg" for add), opacity and clipping. Hidden layers are exported too, and visible:
// the document keeps every pixel. The merged image is the canvas as displayed: each pixel's
// colour-table entry. All image data is PackBits-compressed row by row.
#pragma once

#include <filesystem>

#include "canvas/dib_bitmap.h"
#include "canvas/layer_table.h"

// Version 1 documents are at most this many pixels wide and high.
inline constexpr int kPsdMaxSide = 30000;

// Why a canvas could not be exported.
enum class PsdExportFailure : int {
  kNone = 0,
  kNotEightBit,     // the bitmap is not an 8-bit canvas
  kTooLarge,        // a side is below 1 or above kPsdMaxSide
  kCannotCreate,    // the file beside the target cannot be created
  kNoMemory,        // memory ran out while the document was built
  kLayersTooLarge,  // the layer data would pass the 4 GiB a version 1 document can hold
  kCannotWrite,     // a write, or the final replacement of the target, failed
};

// Writes canvas (an 8-bit canvas bitmap whose colour table is its current palette) with its
// layer table to path. The file is written beside the target and replaces it only when
// complete. Returns kNone, or why the canvas could not be exported; an existing file at path is
// then left as it was and no partial file remains. The caller shows the busy cursor and tells
// the user.
[[nodiscard]] PsdExportFailure ExportPsd(const std::filesystem::path& path, const DibBitmap& canvas, const LayerTable& layers);
