// GpuReduce: the host side of the OpenCL reduction. It packs the same increments and the same
// 16.16 stepping as the CPU engines (linear_light.h, reduce.h), uploads the canvas, runs the
// three kernels of crrhfdib.cl and reads the picture back.
//
// Buffers of one reduction (created per call, released at its end):
//   source        read only   stride x height bytes   the canvas pixels
//   increments    read only   2048 bytes              256 packed increments
//   accumulators  read/write  8 bytes per pixel       packed sums, row-major, top row first
//   output        read/write  4 bytes per pixel       the picture, bottom-up like the bitmap
//   tiles         read only   108 bytes per item      GpuTileParams of the largest pass
// and one kept from the first reduction to ReleaseGpuEngine, the divide's tables:
//   bytes 0..11 the background's linear blue, green, red (floats; written per reduction),
//   12..23 its bytes (uint32), 32.. FastPow's E (256 floats), 1056.. M (1024 floats),
//   5152.. the 4 MiB SmallCountTable.
#include <cmath>
#include <cstring>
#include <vector>

#include "canvas/dib_bitmap.h"
#include "reduce/gpu_engine.h"
#include "reduce/gpu_state.h"
#include "reduce/linear_light.h"
#include "reduce/reduce.h"
#include "reduce/reduce_internal.h"
#include "view/canvas_view.h"

namespace {

// The per-tile parameter block; crrhfdib.cl's TileParams mirrors it word for word.
struct GpuTileParams {
  int32_t left, top, right, bottom;  // the tile's source pixels, exclusive ends
  int32_t sourceStride, sourceHeight;
  int32_t destWidth, destHeight;
  uint32_t startXLow, startXHigh;    // 64-bit 16.16 position of the tile's first pixel
  uint32_t startYLow, startYHigh;
  int32_t columnX, columnY;          // 16.16 steps per source column and per source row
  int32_t rowX, rowY;
  int32_t reserved[11];
};
static_assert(sizeof(GpuTileParams) == 108, "the kernels read 108-byte parameter blocks");

constexpr size_t kTableBackground = 0;
constexpr size_t kTableBackgroundBytes = 12;
constexpr size_t kTableExponent = 32;
constexpr size_t kTableMantissa = kTableExponent + 256 * sizeof(float);
constexpr size_t kTableSmallCount = kTableMantissa + 1024 * sizeof(float);
constexpr size_t kTableSize = kTableSmallCount + kSmallCountTableSize;
static_assert(kTableMantissa == 1056 && kTableSmallCount == 5152, "offsets shared with crrhfdib.cl");

// A tile spans about this many destination pixels along its widest extent.
constexpr double kGpuTileDestinationPixels = 16.0;

// Buffers of one reduction, released on every way out.
struct ReductionBuffers {
  const OpenClApi* api;
  cl_mem source = nullptr, increments = nullptr, accumulators = nullptr, output = nullptr, tiles = nullptr;
  ~ReductionBuffers() {
    for (cl_mem m : {source, increments, accumulators, output, tiles})
      if (m) api->ReleaseMemObject(m);
  }
};

struct DibOwner {
  DibBitmap* bitmap;
  ~DibOwner() { FreeDibBitmap(bitmap); }
  DibBitmap* Release() {
    DibBitmap* b = bitmap;
    bitmap = nullptr;
    return b;
  }
};

bool Check(cl_int error, const char* call) {
  if (error == CL_SUCCESS) return true;
  GpuState().failure = std::string(call) + " failed (OpenCL error " + std::to_string(error) + ")";
  return false;
}

cl_mem NewBuffer(cl_mem_flags flags, size_t size, const char* what) {
  GpuEngineState& st = GpuState();
  cl_int error = CL_SUCCESS;
  cl_mem m = st.api.CreateBuffer(st.context, flags, size, nullptr, &error);
  if (!m) Check(error == CL_SUCCESS ? CL_OUT_OF_RESOURCES : error, what);
  return m;
}

bool Write(cl_mem buffer, size_t offset, size_t size, const void* data, const char* what) {
  GpuEngineState& st = GpuState();
  return Check(st.api.EnqueueWriteBuffer(st.queue, buffer, CL_TRUE, offset, size, data, 0, nullptr, nullptr), what);
}

// Runs a kernel over a two-dimensional range and waits for it.
bool Run(cl_kernel kernel, size_t width, size_t height, const char* what) {
  GpuEngineState& st = GpuState();
  const size_t global[2] = {width, height};
  cl_event done = nullptr;
  if (!Check(st.api.EnqueueNDRangeKernel(st.queue, kernel, 2, nullptr, global, nullptr, 0, nullptr, &done), what))
    return false;
  const bool ok = Check(st.api.WaitForEvents(1, &done), what);
  st.api.ReleaseEvent(done);
  return ok;
}

template <typename T>
bool Arg(cl_kernel kernel, cl_uint index, const T& value) {
  return Check(GpuState().api.SetKernelArg(kernel, index, sizeof(T), &value), "clSetKernelArg");
}

// The divide's tables, made once per set-up.
bool EnsureDivideTables() {
  GpuEngineState& st = GpuState();
  if (st.divideTables) return true;
  cl_mem tables = NewBuffer(CL_MEM_READ_ONLY, kTableSize, "clCreateBuffer (divide tables)");
  if (!tables) return false;
  const FastPowTables& pow = GetFastPowTables();
  if (!Write(tables, kTableExponent, sizeof pow.exponent, pow.exponent, "clEnqueueWriteBuffer (E)") ||
      !Write(tables, kTableMantissa, sizeof pow.mantissa, pow.mantissa, "clEnqueueWriteBuffer (M)") ||
      !Write(tables, kTableSmallCount, kSmallCountTableSize, SmallCountTable(),
             "clEnqueueWriteBuffer (small counts)")) {
    st.api.ReleaseMemObject(tables);
    return false;
  }
  st.divideTables = tables;
  return true;
}

// Splits [begin, end) into `count` tiles of side `side`: tile i starts at begin + floor(i * side).
int32_t TileStart(int32_t begin, int32_t end, double side, int i) {
  const double offset = std::floor(i * side);
  return offset >= static_cast<double>(end - begin) ? end : begin + static_cast<int32_t>(offset);
}

int EvenTileCount(int32_t length, double side) {
  int n = static_cast<int>(std::ceil(length / side));
  if (n < 1) n = 1;
  return (n + 1) & ~1;
}

}  // namespace

DibBitmap* GpuReduceOnDevice(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                             uint32_t background) {
  GpuEngineState& st = GpuState();
  st.failure.clear();
  if (!st.ready) {
    st.failure = "the OpenCL engine is not set up";
    return nullptr;
  }
  const double span = RotationSpan(view.rotation);
  if (span * view.scale > kWideReductionAbove) {
    st.failure = "reductions above 10 do not fit the packed sums";
    return nullptr;
  }
  ReduceStepping step{};
  if (!ComputeReduceStepping(view, source, step)) {
    st.failure = "nothing to reduce";
    return nullptr;
  }
  const OpenClApi& api = st.api;
  const int32_t width = step.destination.right - step.destination.left;
  const int32_t height = step.destination.bottom - step.destination.top;
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);

  // 1. Increments and the destination, filled white.
  uint64_t increments[kDibColourCount];
  BuildPackedIncrements(canvas.colours, increments);
  DibOwner destination{NewReducedPicture(width, height)};
  if (!destination.bitmap) {
    st.failure = "the destination bitmap cannot be allocated";
    return nullptr;
  }
  std::memset(destination.bitmap->bits, 0xFF, static_cast<size_t>(destination.bitmap->stride) * height);

  // 2, 3. Tiles of about 16 destination pixels, counts rounded up to even numbers.
  const PixelRect& src = step.source;
  double side = kGpuTileDestinationPixels / (span * (1.0 / view.scale));
  if (!(side >= 1.0)) side = 1.0;
  const int across = EvenTileCount(src.right - src.left, side);
  const int down = EvenTileCount(src.bottom - src.top, side);
  const int passAcross = across / 2, passDown = down / 2;

  // 4. Buffers.
  if (!EnsureDivideTables()) return nullptr;
  ReductionBuffers b{&api};
  const size_t sourceSize = static_cast<size_t>(canvas.stride) * static_cast<size_t>(DibHeight(canvas));
  const size_t tileBlocks = static_cast<size_t>(passAcross) * static_cast<size_t>(passDown);
  if (!(b.source = NewBuffer(CL_MEM_READ_ONLY, sourceSize, "clCreateBuffer (source)")) ||
      !(b.increments = NewBuffer(CL_MEM_READ_ONLY, sizeof increments, "clCreateBuffer (increments)")) ||
      !(b.accumulators = NewBuffer(CL_MEM_READ_WRITE, pixels * sizeof(uint64_t), "clCreateBuffer (accumulators)")) ||
      !(b.output = NewBuffer(CL_MEM_READ_WRITE, pixels * sizeof(uint32_t), "clCreateBuffer (output)")) ||
      !(b.tiles = NewBuffer(CL_MEM_READ_ONLY, tileBlocks * sizeof(GpuTileParams), "clCreateBuffer (tiles)")))
    return nullptr;
  const ReduceBackgroundLinear bg = BackgroundLinear(background);
  const float backgroundLinear[3] = {bg.blue, bg.green, bg.red};
  const uint32_t backgroundBytes[3] = {bg.blueByte, bg.greenByte, bg.redByte};
  if (!Write(b.source, 0, sourceSize, canvas.bits, "clEnqueueWriteBuffer (source)") ||
      !Write(b.increments, 0, sizeof increments, increments, "clEnqueueWriteBuffer (increments)") ||
      !Write(st.divideTables, kTableBackground, sizeof backgroundLinear, backgroundLinear,
             "clEnqueueWriteBuffer (background)") ||
      !Write(st.divideTables, kTableBackgroundBytes, sizeof backgroundBytes, backgroundBytes,
             "clEnqueueWriteBuffer (background)"))
    return nullptr;

  // 5. Init.
  if (!Arg(st.initKernel, 0, b.accumulators) || !Arg(st.initKernel, 1, width) ||
      !Run(st.initKernel, width, height, "CRRHFDIBInit8"))
    return nullptr;

  // 6. Count, four passes: pass k takes the tiles (i, j) with i % 2 == k % 2 and j % 2 == k / 2.
  if (!Arg(st.countKernel, 0, b.source) || !Arg(st.countKernel, 1, b.increments) ||
      !Arg(st.countKernel, 2, b.accumulators) || !Arg(st.countKernel, 3, b.tiles))
    return nullptr;
  std::vector<GpuTileParams> blocks(tileBlocks);
  for (int pass = 0; pass < 4; ++pass) {
    for (int pj = 0; pj < passDown; ++pj) {
      const int j = pj * 2 + pass / 2;
      for (int pi = 0; pi < passAcross; ++pi) {
        const int i = pi * 2 + pass % 2;
        GpuTileParams& p = blocks[static_cast<size_t>(pj) * passAcross + pi];
        p = GpuTileParams{};
        p.left = TileStart(src.left, src.right, side, i);
        p.right = TileStart(src.left, src.right, side, i + 1);
        p.top = TileStart(src.top, src.bottom, side, j);
        p.bottom = TileStart(src.top, src.bottom, side, j + 1);
        p.sourceStride = canvas.stride;
        p.sourceHeight = DibHeight(canvas);
        p.destWidth = width;
        p.destHeight = height;
        // The stepping of reduce.h, exact in 64 bits, at the tile's first pixel.
        const int64_t dx = p.left - src.left, dy = p.top - src.top;
        const int64_t startX = step.startX + dx * step.colX + dy * step.rowX;
        const int64_t startY = step.startY + dx * step.colY + dy * step.rowY;
        p.startXLow = static_cast<uint32_t>(static_cast<uint64_t>(startX));
        p.startXHigh = static_cast<uint32_t>(static_cast<uint64_t>(startX) >> 32);
        p.startYLow = static_cast<uint32_t>(static_cast<uint64_t>(startY));
        p.startYHigh = static_cast<uint32_t>(static_cast<uint64_t>(startY) >> 32);
        p.columnX = step.colX;
        p.columnY = step.colY;
        p.rowX = step.rowX;
        p.rowY = step.rowY;
      }
    }
    if (!Write(b.tiles, 0, blocks.size() * sizeof(GpuTileParams), blocks.data(), "clEnqueueWriteBuffer (tiles)") ||
        !Run(st.countKernel, passAcross, passDown, "CRRHFDIBCount8"))
      return nullptr;
  }

  // 7. Divide and read the picture back.
  if (!Arg(st.divideKernel, 0, b.accumulators) || !Arg(st.divideKernel, 1, b.output) ||
      !Arg(st.divideKernel, 2, st.divideTables) || !Run(st.divideKernel, width, height, "CRRHFDIBDiv8"))
    return nullptr;
  if (!Check(api.EnqueueReadBuffer(st.queue, b.output, CL_TRUE, 0, pixels * sizeof(uint32_t),
                                   destination.bitmap->bits, 0, nullptr, nullptr),
             "clEnqueueReadBuffer (output)"))
    return nullptr;
  // 8. The buffers go with b.
  return destination.Release();
}

DibBitmap* GpuReduce(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source, uint32_t background,
                     int threaded) {
  if (RotationSpan(view.rotation) * view.scale > kWideReductionAbove)
    return ReduceWide(view, canvas, source, background, threaded);
  if (DibBitmap* picture = GpuReduceOnDevice(view, canvas, source, background)) return picture;
  // The device failed (or there is nothing to do): the CPU engine for the canvas size.
  const int64_t canvasPixels = static_cast<int64_t>(DibWidth(canvas)) * DibHeight(canvas);
  return canvasPixels <= kPoolMaxPixels ? ReducePool(view, canvas, source, background, threaded)
                                        : ReduceStrips(view, canvas, source, background, threaded);
}
