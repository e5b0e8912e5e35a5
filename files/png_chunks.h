// PNG files as bytes: the whole file in memory, and the walk over its chunks. Nothing here
// trusts a length read from the file: every chunk is checked to lie inside the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

inline constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// A file's bytes, owned. Plain malloc so that a file too big for memory is a failure, not an
// exception.
struct FileBytes {
  uint8_t* data = nullptr;
  size_t size = 0;
  FileBytes() = default;
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;
  ~FileBytes();
};

// Reads the whole file. false when it cannot be opened, read or held in memory.
bool ReadFileBytes(const std::filesystem::path& path, FileBytes& bytes);

// Chunk types as the four ASCII bytes read big-endian: 'IDAT' = 0x49444154.
constexpr uint32_t PngChunkType(const char (&name)[5]) {
  return (uint32_t{static_cast<uint8_t>(name[0])} << 24) | (uint32_t{static_cast<uint8_t>(name[1])} << 16) |
         (uint32_t{static_cast<uint8_t>(name[2])} << 8) | uint32_t{static_cast<uint8_t>(name[3])};
}
inline constexpr uint32_t kPngIdat = PngChunkType("IDAT");
inline constexpr uint32_t kPngIend = PngChunkType("IEND");

struct PngChunk {
  uint32_t type;
  uint32_t length;     // data bytes
  size_t dataOffset;   // offset of the data in the file; the type starts 4 bytes before it
};

struct PngChunkWalk {
  std::vector<PngChunk> chunks;  // in file order, IEND included when reached
  bool signatureOk = false;
  bool reachedEnd = false;       // IEND found, every chunk before it whole
  bool truncated = false;        // the bytes end before IEND: inside a chunk or between chunks
};

// Walks the chunks from byte 8 up to and including IEND. Stops early, with reachedEnd false,
// at a chunk whose length exceeds 2^31 - 1 (a broken length) or whose header, data and CRC run
// past the end of the bytes (truncated; a lying length reads the same way).
PngChunkWalk WalkPngChunks(const uint8_t* data, size_t size);

// True when the CRC stored after the chunk matches its type and data.
bool PngChunkCrcOk(const uint8_t* data, const PngChunk& chunk);

inline uint32_t ReadBigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}
