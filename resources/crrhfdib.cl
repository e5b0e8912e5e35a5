/* Dotwright's reduced-view kernels: the averaging of canvas colours in linear light.
 *
 * The host (reduce/gpu_reduce.cpp) runs, for one reduction of a canvas to a w x h picture:
 *   CRRHFDIBInit8   over (w, h)                 zero the packed accumulators
 *   CRRHFDIBCount8  over the tiles of a pass    four passes: tiles of one pass lie a tile apart,
 *                                               so no two work items add into the same pixel
 *   CRRHFDIBDiv8    over (w, h)                 accumulators to 32-bit pixels
 * and must equal the CPU engines byte for byte: every sum is an exact integer sum, and every
 * floating-point step below is one correctly rounded IEEE single-precision operation in the
 * order the CPU engines use, with contraction into fused multiply-adds forbidden.
 *
 * A packed accumulator (64 bits): red bits 45..63, green 26..44, blue 7..25, sample count
 * 0..6; each channel sums linear values 0..4095.
 */
#pragma OPENCL FP_CONTRACT OFF

/* Per-tile parameters: 27 32-bit words (108 bytes); the host's GpuTileParams mirrors it. */
typedef struct {
  int left, top, right, bottom; /* the tile's source pixels, canvas coordinates, exclusive ends */
  int sourceStride;             /* bytes per stored canvas row */
  int sourceHeight;             /* canvas rows; row y is stored at (sourceHeight - 1 - y) */
  int destWidth, destHeight;    /* the destination picture */
  uint startXLow, startXHigh;   /* 64-bit 16.16 destination position of the tile's first pixel */
  uint startYLow, startYHigh;
  int columnX, columnY;         /* 16.16 step to the next source pixel of a row */
  int rowX, rowY;               /* 16.16 step to the next source row */
  int reserved[11];
} TileParams;

/* Tables of the divide, one buffer; offsets in bytes. */
#define TABLE_BACKGROUND 0      /* floats blue, green, red: the background in linear light (0..1) */
#define TABLE_BACKGROUND_BYTE 12 /* uints blue, green, red: its bytes */
#define TABLE_POW_EXPONENT 32   /* 256 floats: E[i] = 2^((i - 127) * 0.45454547) */
#define TABLE_POW_MANTISSA 1056 /* 1024 floats: M[j] = (1 + j / 1024)^0.45454547 */
#define TABLE_SMALL_COUNT 5152  /* 4 MiB of bytes indexed by (n << 17) + sum, 0 < n < 32 */

long JoinWords(uint low, uint high) { return (long)(((ulong)high << 32) | (ulong)low); }

__kernel void CRRHFDIBInit8(__global ulong* accumulators, int width) {
  accumulators[get_global_id(1) * (size_t)width + get_global_id(0)] = 0;
}

/* Adds, for every source pixel of the tile, the increment of its palette index into the
 * accumulator of its destination pixel (the integer parts of the 16.16 position); pixels that
 * land outside the picture are skipped. Runs of pixels with one destination are summed
 * locally first. */
__kernel void CRRHFDIBCount8(__global const uchar* source, __global const ulong* increments,
                             __global ulong* accumulators, __global const TileParams* tiles) {
  __global const TileParams* t = tiles + get_global_id(1) * get_global_size(0) + get_global_id(0);
  const long width = t->destWidth, height = t->destHeight;
  /* Positions are 64-bit, as on the host, so nothing wraps on large canvases. */
  long rowX = JoinWords(t->startXLow, t->startXHigh), rowY = JoinWords(t->startYLow, t->startYHigh);
  for (int y = t->top; y < t->bottom; ++y) {
    __global const uchar* row = source + (size_t)(t->sourceHeight - 1 - y) * (size_t)t->sourceStride;
    long px = rowX, py = rowY;
    long target = -1; /* accumulator index of the run, -1: none */
    ulong run = 0;
    for (int x = t->left; x < t->right; ++x) {
      long index = -1;
      if (px >= 0 && py >= 0) {
        long dx = px >> 16, dy = py >> 16;
        if (dx < width && dy < height) index = dy * width + dx;
      }
      if (index != target) {
        if (target >= 0) accumulators[target] += run;
        target = index;
        run = 0;
      }
      run += increments[row[x]];
      px += t->columnX;
      py += t->columnY;
    }
    if (target >= 0) accumulators[target] += run;
    rowX += t->rowX;
    rowY += t->rowY;
  }
}

/* a / b correctly rounded to nearest, whatever the accuracy of the device's division (OpenCL
 * allows 2.5 ulp): the guess is moved one float at a time towards the quotient until the
 * exact residual a - q*b (a fused multiply-add) changes sign, and the closer of the two
 * neighbours wins. A quotient of two floats is never halfway between two floats, so there
 * are no ties. a >= 0, b > 0. */
#ifndef CRRHFDIB_QUOTIENT_GUESS
#define CRRHFDIB_QUOTIENT_GUESS(a, b) ((a) / (b))
#endif
float RoundedQuotient(float a, float b) {
  float q = CRRHFDIB_QUOTIENT_GUESS(a, b);
  float r = fma(-q, b, a);
  for (int i = 0; i < 8 && r != 0.0f; ++i) {
    float next = nextafter(q, r > 0.0f ? INFINITY : 0.0f);
    float rn = fma(-next, b, a);
    if ((r > 0.0f) != (rn > 0.0f) || rn == 0.0f) {
      /* a/b lies between q and next: take the closer one. */
      return fabs(rn) < fabs(r) ? next : q;
    }
    q = next;
    r = rn;
  }
  return q;
}

/* v^(1/2.2) for v in 0..1 from the bits of v. */
float FastPow(float v, __global const float* e, __global const float* m) {
  uint bits = as_uint(v);
  return m[(bits >> 13) & 1023] * e[bits >> 23];
}

/* One channel of a pixel from the sample count n and the channel's sum. */
uint ChannelByte(uint n, uint sum, int channel, __global const uchar* tables) {
  if (n == 0) return ((__global const uint*)(tables + TABLE_BACKGROUND_BYTE))[channel];
  if (n < 32) return tables[TABLE_SMALL_COUNT + min((n << 17) + sum, 0x3FFFFFu)];
  float t = (float)sum * (1.0f / 4095.0f);
  t = t * 65536.0f;
  t = t + ((__global const float*)(tables + TABLE_BACKGROUND))[channel];
  const float d = (float)n * 65536.0f + 1.0f;
  const float v = RoundedQuotient(t, d);
  __global const float* e = (__global const float*)(tables + TABLE_POW_EXPONENT);
  __global const float* m = (__global const float*)(tables + TABLE_POW_MANTISSA);
  return min((uint)(FastPow(v, e, m) * 255.0f + 0.5f), 255u);
}

/* Turns every accumulator into a pixel (blue, green, red, 0) of the bottom-up picture. */
__kernel void CRRHFDIBDiv8(__global const ulong* accumulators, __global uint* output,
                           __global const uchar* tables) {
  const size_t x = get_global_id(0), y = get_global_id(1);
  const size_t width = get_global_size(0), height = get_global_size(1);
  const ulong a = accumulators[y * width + x];
  const uint n = (uint)(a & 127);
  const uint blue = ChannelByte(n, (uint)((a >> 7) & 0x7FFFF), 0, tables);
  const uint green = ChannelByte(n, (uint)((a >> 26) & 0x7FFFF), 1, tables);
  const uint red = ChannelByte(n, (uint)(a >> 45), 2, tables);
  output[(height - 1 - y) * width + x] = blue | (green << 8) | (red << 16);
}
