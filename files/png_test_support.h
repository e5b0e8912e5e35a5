// Helpers for the PNG file tests: chunks built and taken apart by hand, and PNG files written
// by libpng itself the way other programs write them.
#pragma once

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "canvas/canvas_test_support.h"
#include "canvas/temp_folder_test_support.h"
#include "canvas/dib_bitmap.h"
#include "canvas/layer_table.h"
#include "files/png_chunks.h"

inline std::string BigEndian32(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

// One chunk: length, type, data, CRC over type and data.
inline std::string ChunkBytes(const char* type, const std::string& data) {
  std::string typeAndData = std::string(type, 4) + data;
  const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(typeAndData.data()), static_cast<uInt>(typeAndData.size()));
  return BigEndian32(static_cast<uint32_t>(data.size())) + typeAndData + BigEndian32(static_cast<uint32_t>(crc));
}

inline std::string PngSignature() { return std::string(reinterpret_cast<const char*>(kPngSignature), 8); }

inline std::string IhdrData(uint32_t width, uint32_t height, int bitDepth, int colourType, int interlace = 0) {
  return BigEndian32(width) + BigEndian32(height) +
         std::string{static_cast<char>(bitDepth), static_cast<char>(colourType), 0, 0, static_cast<char>(interlace)};
}

// A chunk of a file held as a string: its type as text, its data, where it starts.
struct ChunkView {
  std::string type;
  std::string data;
  size_t start;  // offset of the length field
};

inline std::vector<ChunkView> ChunksOf(const std::string& file) {
  std::vector<ChunkView> views;
  const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
  for (const PngChunk& c : WalkPngChunks(bytes, file.size()).chunks)
    views.push_back({file.substr(c.dataOffset - 4, 4), file.substr(c.dataOffset, c.length), c.dataOffset - 8});
  return views;
}

inline std::vector<std::string> ChunkTypes(const std::string& file) {
  std::vector<std::string> types;
  for (const ChunkView& c : ChunksOf(file)) types.push_back(c.type);
  return types;
}

// A file made of the signature and these chunks, each with a right CRC.
inline std::string PngOfChunks(const std::vector<ChunkView>& chunks) {
  std::string file = PngSignature();
  for (const ChunkView& c : chunks) file += ChunkBytes(c.type.c_str(), c.data);
  return file;
}

// The chunks with all IDAT chunks joined into one where the first stood: the same image
// stream, which the reader then leaves to libpng.
inline std::vector<ChunkView> WithIdatsJoined(const std::vector<ChunkView>& chunks) {
  std::vector<ChunkView> joined;
  for (const ChunkView& c : chunks) {
    if (c.type != "IDAT") {
      joined.push_back(c);
    } else if (joined.empty() || joined.back().type != "IDAT") {
      joined.push_back(c);
    } else {
      joined.back().data += c.data;
    }
  }
  return joined;
}

inline int CountChunks(const std::string& file, const char* type) {
  int n = 0;
  for (const ChunkView& c : ChunksOf(file)) n += c.type == type;
  return n;
}

// How another program might write a PNG: libpng with its own choices.
struct ForeignPng {
  int width = 0;
  int height = 0;
  int bitDepth = 8;
  int colourType = PNG_COLOR_TYPE_PALETTE;
  int filters = PNG_FILTER_NONE;     // PNG_ALL_FILTERS: adaptive
  size_t bufferSize = 8192;          // IDAT size: one chunk each time the buffer fills
  int interlace = PNG_INTERLACE_NONE;
  std::vector<std::string> rows;     // top row first, in the file's pixel layout
  std::vector<png_color> palette;    // palette images
  std::string description;           // non-empty: a "Description" text chunk
};

namespace png_test_detail {
inline void Append(png_structp png, png_bytep data, size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}
inline void NoFlush(png_structp) {}
// No objects with destructors in this frame: libpng may longjmp back into it.
inline bool Encode(const ForeignPng& layout, std::string* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, Append, NoFlush);
  png_set_compression_buffer_size(png, layout.bufferSize);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, layout.filters);
  png_set_IHDR(png, info, static_cast<png_uint_32>(layout.width), static_cast<png_uint_32>(layout.height), layout.bitDepth,
               layout.colourType, layout.interlace, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  if (!layout.palette.empty())
    png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
  png_text text{};
  if (!layout.description.empty()) {
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = const_cast<char*>("Description");
    text.text = const_cast<char*>(layout.description.c_str());
    text.text_length = layout.description.size();
    png_set_text(png, info, &text, 1);
  }
  png_write_info(png, info);
  const int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass)
    for (int y = 0; y < layout.height; ++y)
      png_write_row(png, reinterpret_cast<png_const_bytep>(layout.rows[static_cast<size_t>(y)].data()));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}
}  // namespace png_test_detail

inline std::string EncodeForeignPng(const ForeignPng& layout) {
  std::string out;
  if (!png_test_detail::Encode(layout, &out)) out.clear();
  return out;
}

// The top-down rows of an 8-bit bitmap as strings of width bytes.
inline std::vector<std::string> RowsOf(const DibBitmap& b, size_t rowBytes) {
  std::vector<std::string> rows;
  for (int y = 0; y < DibHeight(b); ++y)
    rows.emplace_back(reinterpret_cast<const char*>(DibRow(b, y)), rowBytes);
  return rows;
}

// An 8-bit canvas where no two neighbouring rows or columns repeat, so flips, shifts and lost
// rows all show: pixel (x, y) = (x * 37 + y * 101 + (x ^ y)) mod 256.
inline DibPtr PatternCanvas(int width, int height) {
  DibPtr b(CreateDibBitmap(8, nullptr, 0, width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) DibRow(*b, y)[x] = static_cast<uint8_t>(x * 37 + y * 101 + (x ^ y));
  for (int i = 0; i < kDibColourCount; ++i)
    b->colours[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7), 0};
  return b;
}

