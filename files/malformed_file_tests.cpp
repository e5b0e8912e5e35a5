// Generated damage for every reader of other people's files: canvas PNGs (both decoders, true
// colour and 1-bit), texture/material/stamp BMPs and layer table text (pen XML texts, stroke
// scripts and settings files: app/hostile_input_tests.cpp, app/settings_corruption_tests.cpp). Each
// damaged file is read the way the program reads it and must be refused with a specific reason
// or read with sane values; nothing may crash (the sanitizer tree checks), and under a memory
// ceiling no reader may run out of memory: every size is checked before it is allocated.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "canvas/canvas_lifecycle.h"
#include "files/bmp_reader.h"
#include "files/bmp_test_support.h"
#include "files/canvas_load.h"
#include "files/pen_resources.h"
#include "files/png_test_support.h"

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#include <sys/resource.h>
#define DOTWRIGHT_MEMORY_CEILING 1
#endif

namespace {

// The address space of the process limited to what it uses now plus 1 GiB while the object
// lives (the sanitizers reserve terabytes of it, so there and on Windows it limits nothing).
// A reader that trusts a lying size asks for more and is told no: the cases check that no
// reader ever answers "no memory".
struct MemoryCeiling {
#ifdef DOTWRIGHT_MEMORY_CEILING
  rlimit old{};
  MemoryCeiling() {
    getrlimit(RLIMIT_AS, &old);
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
      std::fclose(f);
    }
    rlimit limited = old;
    limited.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t{1} << 30);
    if (pages > 0 && limited.rlim_cur < old.rlim_cur) setrlimit(RLIMIT_AS, &limited);
  }
  ~MemoryCeiling() { setrlimit(RLIMIT_AS, &old); }
#else
  ~MemoryCeiling() {}  // a scope like the other, so unused-variable warnings see it alike
#endif
};

// Values a damaged size or count field is set to.
constexpr uint32_t kHostileSizes[] = {0, 1, 0xFFFF, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu};

// Texts a damaged number field holds.
const char* const kHostileNumbers[] = {"2147483648", "-2147483649", "9999999999999999999", "-9223372036854775809",
                                       "nan", "-inf", "1e308", "0x7fffffff", "", "\xff\xfe\x80", "12abc", "--1"};

struct Case {
  std::string name;
  std::string bytes;
};

void PutBig32(std::string& s, size_t at, uint32_t v) { s.replace(at, 4, BigEndian32(v)); }

// The chunk at index i replaced by its type and data with a right CRC.
std::string WithChunk(const std::vector<ChunkView>& chunks, size_t i, const std::string& data) {
  std::vector<ChunkView> changed = chunks;
  changed[i].data = data;
  return PngOfChunks(changed);
}

// Every damage of one PNG file: cuts at each chunk's boundaries and inside it, each length
// field set to hostile sizes, each CRC broken, single bits flipped every `flipStride` bytes,
// each chunk dropped or doubled, and every header field set out of range (with a right CRC).
std::vector<Case> PngDamage(const std::string& file, size_t flipStride) {
  std::vector<Case> cases;
  const std::vector<ChunkView> chunks = ChunksOf(file);
  for (size_t cut : {size_t{0}, size_t{4}, size_t{8}}) cases.push_back({"cut " + std::to_string(cut), file.substr(0, cut)});
  for (size_t i = 0; i < chunks.size(); ++i) {
    const ChunkView& c = chunks[i];
    const std::string at = c.type + "#" + std::to_string(i);
    for (size_t cut : {c.start, c.start + 4, c.start + 8, c.start + 8 + c.data.size() / 2, c.start + 8 + c.data.size() + 2})
      if (cut < file.size()) cases.push_back({at + " cut at " + std::to_string(cut), file.substr(0, cut)});
    for (uint32_t size : kHostileSizes) {
      if (size == c.data.size()) continue;
      std::string damaged = file;
      PutBig32(damaged, c.start, size);
      cases.push_back({at + " length " + std::to_string(size), damaged});
    }
    std::string badCrc = file;
    badCrc[c.start + 8 + c.data.size()] ^= 0x80;
    cases.push_back({at + " CRC", badCrc});
    std::vector<ChunkView> dropped = chunks, doubled = chunks;
    dropped.erase(dropped.begin() + static_cast<ptrdiff_t>(i));
    doubled.insert(doubled.begin() + static_cast<ptrdiff_t>(i), c);
    cases.push_back({at + " dropped", PngOfChunks(dropped)});
    cases.push_back({at + " doubled", PngOfChunks(doubled)});
  }
  for (size_t at = 0; at < file.size(); at += flipStride) {
    std::string flipped = file;
    flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at % 8)));
    cases.push_back({"bit flip at " + std::to_string(at), flipped});
  }
  // IHDR: width, height (4 bytes each), bit depth, colour type, compression, filter, interlace.
  const std::string ihdr = chunks[0].data;
  for (size_t field : {0, 4})
    for (uint32_t size : kHostileSizes) {
      std::string data = ihdr;
      data.replace(field, 4, BigEndian32(size));
      cases.push_back({"IHDR side " + std::to_string(size), WithChunk(chunks, 0, data)});
    }
  for (size_t field = 8; field < 13; ++field)
    for (int value : {0, 2, 3, 7, 16, 255}) {
      std::string data = ihdr;
      data[field] = static_cast<char>(value);
      cases.push_back({"IHDR byte " + std::to_string(field) + " = " + std::to_string(value), WithChunk(chunks, 0, data)});
    }
  return cases;
}

// The undamaged canvas file: 24 x 20 pixels in 16 IDAT chunks, which the parallel decoder takes.
std::string CanvasFile(const TempFolder& folder) {
  DibPtr canvas = PatternCanvas(24, 20);
  const LayerTable layers = DefaultLayerTable();
  EXPECT_TRUE(WriteCanvasPng(folder / "good.png", *canvas, &layers));
  return ReadAll(folder / "good.png");
}

// Loads bytes through a file the way every command and the program do.
CanvasLoadFailure Load(const TempFolder& folder, const std::string& bytes, Canvas& canvas) {
  WriteAll(folder / "case.png", bytes);
  DestroyCanvas(canvas);
  InitCanvas(canvas);
  return LoadCanvas(canvas, folder / "case.png");
}

// A load that succeeded has a canvas of the size the file declares, within the limits.
void ExpectSane(const Canvas& canvas) {
  ASSERT_TRUE(canvas.bitmap && canvas.previous);
  EXPECT_TRUE(canvas.width >= 1 && canvas.width <= kMaxCanvasSide && canvas.height >= 1 &&
              canvas.height <= kMaxCanvasSide);
  EXPECT_EQ(DibWidth(*canvas.bitmap), canvas.width);
}

bool IsSpecificRefusal(CanvasLoadFailure f) {
  return f != CanvasLoadFailure::kNone && f != CanvasLoadFailure::kNoMemory && f != CanvasLoadFailure::kCannotOpen;
}

}  // namespace

TEST(MalformedFiles, DamagedCanvasPngsAreRefusedWithAReasonOrRead) {
  TempFolder folder;
  const std::string canvas = CanvasFile(folder);
  const std::vector<ChunkView> pieces = ChunksOf(canvas);
  ForeignPng rgb;
  rgb.width = 5;
  rgb.height = 4;
  rgb.colourType = PNG_COLOR_TYPE_RGB;
  for (int y = 0; y < 4; ++y) rgb.rows.push_back(std::string(15, static_cast<char>(y * 50 + 3)));
  ForeignPng oneBit;
  oneBit.width = 11;
  oneBit.height = 3;
  oneBit.bitDepth = 1;
  oneBit.colourType = PNG_COLOR_TYPE_GRAY;
  oneBit.rows = {"\xa5\x80", "\x5a\x20", "\xff\x00"};
  const struct {
    const char* name;
    std::string file;
    size_t flipStride;
  } bases[] = {
      {"parallel canvas", canvas, 3},
      {"sequential canvas", PngOfChunks(WithIdatsJoined(pieces)), 5},
      {"true colour", EncodeForeignPng(rgb), 1},
      {"one bit", EncodeForeignPng(oneBit), 1},
  };
  int tried = 0, refused = 0;
  Canvas loaded{};
  InitCanvas(loaded);
  MemoryCeiling ceiling;
  for (const auto& base : bases) {
    ASSERT_FALSE(base.file.empty()) << base.name;
    ASSERT_EQ(Load(folder, base.file, loaded), CanvasLoadFailure::kNone) << base.name;
    for (const Case& c : PngDamage(base.file, base.flipStride)) {
      SCOPED_TRACE(std::string(base.name) + ": " + c.name);
      const CanvasLoadFailure f = Load(folder, c.bytes, loaded);
      ++tried;
      if (f == CanvasLoadFailure::kNone) {
        ExpectSane(loaded);
        continue;
      }
      ++refused;
      EXPECT_TRUE(IsSpecificRefusal(f)) << static_cast<int>(f);
      EXPECT_FALSE(loaded.bitmap);
      // What each kind of damage must be called, where the damage says it.
      if (c.name.starts_with("cut ")) {
        EXPECT_EQ(f, c.bytes.size() < 8 ? CanvasLoadFailure::kNotPng : CanvasLoadFailure::kTruncated);
      } else if (c.name.find(" cut at ") != std::string::npos) {
        EXPECT_EQ(f, CanvasLoadFailure::kTruncated);
      } else if (c.name.ends_with(" CRC")) {
        EXPECT_EQ(f, CanvasLoadFailure::kBadChecksum);
      } else if (c.name.ends_with("length 2147483647")) {
        EXPECT_EQ(f, CanvasLoadFailure::kTruncated);  // claims more than follows
      } else if (c.name.ends_with("length 2147483648") || c.name.ends_with("length 4294967295")) {
        EXPECT_EQ(f, CanvasLoadFailure::kUnreadable);  // beyond any PNG chunk's length
      }
    }
    // A flipped bit anywhere (signature, length, type, data, CRC) is always noticed.
    for (const Case& c : PngDamage(base.file, base.flipStride))
      if (c.name.starts_with("bit flip")) {
        EXPECT_NE(Load(folder, c.bytes, loaded), CanvasLoadFailure::kNone) << base.name << ": " << c.name;
      }
  }
  DestroyCanvas(loaded);
  EXPECT_GE(tried, 900);
  EXPECT_GT(refused, tried * 9 / 10);
}

// The same damage to the image stream gets the same answer from the parallel decoder (16 IDAT
// chunks) and from libpng (the same stream in one chunk): every byte of the stream flipped in
// turn, with right chunk CRCs.
TEST(MalformedFiles, DamagedImageStreamsGetOneAnswerOnBothDecoders) {
  TempFolder folder;
  const std::vector<ChunkView> pieces = ChunksOf(CanvasFile(folder));
  std::string stream;
  for (const ChunkView& c : pieces)
    if (c.type == "IDAT") stream += c.data;
  int tried = 0, refused = 0;
  for (size_t at = 0; at < stream.size(); at += 2) {
    SCOPED_TRACE("stream byte " + std::to_string(at));
    std::vector<ChunkView> parallel = pieces;
    size_t offset = at;
    for (ChunkView& c : parallel) {
      if (c.type != "IDAT") continue;
      if (offset < c.data.size()) {
        c.data[offset] ^= 0x10;
        break;
      }
      offset -= c.data.size();
    }
    PngReadFailure both[2] = {};
    int index = 0;
    for (const auto& chunks : {parallel, WithIdatsJoined(parallel)}) {
      WriteAll(folder / "case.png", PngOfChunks(chunks));
      DibPtr read(ReadCanvasPng(folder / "case.png", nullptr, &both[index++]));
    }
    EXPECT_EQ(both[0], both[1]);
    // Mostly refused; a flip in the padding bits before a stored block changes nothing decoded.
    EXPECT_TRUE(both[0] == PngReadFailure::kBadChecksum || both[0] == PngReadFailure::kDamaged ||
                both[0] == PngReadFailure::kNone);
    refused += both[0] != PngReadFailure::kNone;
    ++tried;
  }
  EXPECT_GT(tried, 100);
  EXPECT_GT(refused, tried * 9 / 10);
}

TEST(MalformedFiles, DamagedBmpsAreRefusedWithAReasonOrDecodedWithinTheirBytes) {
  const std::vector<DibColour> grey = {{0, 0, 0, 0}, {255, 255, 255, 0}, {128, 128, 128, 0}};
  auto layout = [&](int bits, int width, int height) {
    BmpLayout l = MakeLayout(width, height, bits);
    if (bits <= 8) l.palette = grey;
    const size_t rowBytes = (static_cast<size_t>(width) * static_cast<size_t>(bits) + 7) / 8;
    for (int y = 0; y < height; ++y) {
      std::vector<uint8_t> row(rowBytes);
      for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(i * 37 + static_cast<size_t>(y) * 11);
      l.rows.push_back(row);
    }
    return l;
  };
  std::vector<BmpLayout> bases = {layout(1, 13, 3), layout(4, 5, 2), layout(8, 3, 3), layout(24, 3, 2), layout(32, 2, 2)};
  bases.push_back(layout(8, 4, 2));
  bases.back().topDown = true;
  bases.push_back(layout(8, 3, 2));
  bases.back().core = true;
  bases.push_back(layout(32, 2, 2));
  bases.back().compression = 3;
  bases.back().masks = {0xFF0000, 0xFF00, 0xFF};

  // Header fields: file size, pixel offset, header size, width, height (4 bytes); planes, bits
  // (2 bytes); compression, image size, colours used (4 bytes). Core headers end at byte 26.
  const struct {
    size_t at, bytes;
  } fields[] = {{2, 4}, {10, 4}, {14, 4}, {18, 4}, {22, 4}, {26, 2}, {28, 2}, {30, 4}, {34, 4}, {46, 4}};
  int tried = 0;
  MemoryCeiling ceiling;
  for (const BmpLayout& base : bases) {
    const std::vector<uint8_t> file = MakeBmp(base);
    std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
    for (size_t cut = 0; cut < file.size(); ++cut) cases.push_back({"cut at " + std::to_string(cut), {file.begin(), file.begin() + cut}});
    for (size_t at = 0; at < file.size(); ++at) {
      std::vector<uint8_t> flipped = file;
      flipped[at] ^= static_cast<uint8_t>(1 << (at % 8));
      cases.push_back({"bit flip at " + std::to_string(at), flipped});
    }
    for (const auto& f : fields)
      for (uint32_t value : kHostileSizes) {
        if (f.at + f.bytes > file.size()) continue;
        std::vector<uint8_t> damaged = file;
        for (size_t i = 0; i < f.bytes; ++i) damaged[f.at + i] = static_cast<uint8_t>(value >> (8 * i));
        cases.push_back({"field at " + std::to_string(f.at) + " = " + std::to_string(value), damaged});
      }
    for (const auto& [name, bytes] : cases) {
      SCOPED_TRACE(std::to_string(base.bits) + "-bit: " + name);
      ++tried;
      BmpFailure reason = BmpFailure::kNone;
      DibPtr image(DecodeBmp(bytes.data(), bytes.size(), &reason));
      if (!image) {
        EXPECT_NE(reason, BmpFailure::kNone);
        EXPECT_NE(reason, BmpFailure::kNoMemoryForImage);
        continue;
      }
      // A decoded picture's pixels came from the file: at least one bit per pixel of it.
      const uint64_t pixels = uint64_t(DibWidth(*image)) * uint64_t(DibHeight(*image));
      EXPECT_LE(pixels, uint64_t{8} * bytes.size());
      // The conversions the program runs on textures, materials and stamps.
      DibPtr stamp(ToMonochrome(*image)), material(ToMaterial(image.get()));
      EXPECT_TRUE(stamp && material);
    }
  }
  EXPECT_GE(tried, 900);
}

// Layer table text as a canvas file's "Description" holds it: every field of every row set to
// each hostile number reads, and what is written back reads as the same table.
TEST(MalformedFiles, HostileLayerTableNumbersReadAndWriteBackAlike) {
  int tried = 0;
  for (int row = 0; row < kLayerTableRows; ++row)
    for (int field = 0; field < 7; ++field)
      for (const char* number : kHostileNumbers) {
        std::string text;
        for (int r = 0; r < kLayerTableRows; ++r) {
          for (int f = 0; f < 7; ++f) text += (f ? "," : "") + (r == row && f == field ? std::string(number) : "1");
          text += '\n';
        }
        LayerTable table = DefaultLayerTable();
        ParseLayerTable(text, table);
        const std::string written = FormatLayerTable(table);
        LayerTable back = DefaultLayerTable();
        ParseLayerTable(written, back);
        EXPECT_EQ(FormatLayerTable(back), written) << text;
        ++tried;
      }
  EXPECT_EQ(tried, 9 * 7 * 12);
}
