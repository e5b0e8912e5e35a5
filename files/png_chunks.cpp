#include "files/png_chunks.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "files/atomic_file.h"

FileBytes::~FileBytes() { std::free(data); }

bool ReadFileBytes(const std::filesystem::path& path, FileBytes& bytes) {
  std::free(bytes.data);
  bytes.data = nullptr;
  bytes.size = 0;
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > SIZE_MAX - 1) return false;
  FILE* file = OpenBinaryFile(path, "rb");
  if (!file) return false;
  // One byte more than announced, so that a file that grew meanwhile is noticed.
  const size_t capacity = static_cast<size_t>(size) + 1;
  auto* data = static_cast<uint8_t*>(std::malloc(capacity));
  if (!data) {
    std::fclose(file);
    return false;
  }
  const size_t got = std::fread(data, 1, capacity, file);
  const bool ok = !std::ferror(file) && got == size;
  std::fclose(file);
  if (!ok) {
    std::free(data);
    return false;
  }
  bytes.data = data;
  bytes.size = got;
  return true;
}

PngChunkWalk WalkPngChunks(const uint8_t* data, size_t size) {
  PngChunkWalk walk;
  if (size < 8 || std::memcmp(data, kPngSignature, 8) != 0) return walk;
  walk.signatureOk = true;
  size_t at = 8;
  // Each step needs the 8-byte header, then length data bytes and the 4-byte CRC.
  while (size - at >= 8) {
    const uint32_t length = ReadBigEndian32(data + at);
    const uint32_t type = ReadBigEndian32(data + at + 4);
    if (length > 0x7FFFFFFFu) break;
    const size_t dataOffset = at + 8;
    if (size - dataOffset < size_t{length} + 4) {
      walk.truncated = true;
      return walk;
    }
    walk.chunks.push_back({type, length, dataOffset});
    if (type == kPngIend) {
      walk.reachedEnd = true;
      break;
    }
    at = dataOffset + length + 4;
  }
  // Ended between chunks (or inside a chunk's 8-byte header) without an IEND.
  walk.truncated = !walk.reachedEnd && (size - at < 8);
  return walk;
}

bool PngChunkCrcOk(const uint8_t* data, const PngChunk& chunk) {
  const uint8_t* typeStart = data + chunk.dataOffset - 4;
  const uLong crc = crc32_z(crc32(0L, Z_NULL, 0), typeStart, size_t{chunk.length} + 4);
  return crc == ReadBigEndian32(data + chunk.dataOffset + chunk.length);
}
