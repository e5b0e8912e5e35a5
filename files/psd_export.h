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

// Writes canvas (an 8-bit canvas bitmap whose colour table is its current palette) with its
// layer table to path. The file is written beside the target and replaces it only when
// complete. Returns false, after telling the user through ShowUserMessage, when the canvas
// cannot be exported (not 8-bit, larger than kPsdMaxSide, layer data over 4 GiB), the file
// cannot be created, memory runs out or a write fails; an existing file at path is then left
// as it was and no partial file remains. The caller shows the busy cursor.
bool ExportPsd(const std::filesystem::path& path, const DibBitmap& canvas, const LayerTable& layers);
