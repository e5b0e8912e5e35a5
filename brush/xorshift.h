// Marsaglia's xorshift128 generators. Whoever draws from one keeps its state (the session's
// tool state holds the program's two).
#pragma once

#include <cstdint>

struct XorShift128 {
  uint32_t x, y, z, w;
};

// One step; returns the new w.
inline uint32_t NextXorShift(XorShift128& s) {
  const uint32_t t = s.x ^ (s.x << 11);
  s.x = s.y;
  s.y = s.z;
  s.z = s.w;
  s.w = s.w ^ (s.w >> 19) ^ t ^ (t >> 8);
  return s.w;
}

inline constexpr XorShift128 kXorShiftSeed{123456789u, 362436069u, 521288629u, 88675123u};

// Uniform in [0, 1): the output as unsigned x 2^-32.
inline double RandomUniform(XorShift128& s) { return NextXorShift(s) * (1.0 / 4294967296.0); }

// Four lanes advanced together, one per pixel of a group of four, used by the density spans
// of the tilt pens.
struct RandomLanes {
  XorShift128 lane[4];
};

inline constexpr RandomLanes kRandomLanesSeed{{
    {123456789u, 362436069u, 521288629u, 88675123u},
    {123456789u, 362436069u, 521288629u, 83128675u},
    {123456789u, 362436069u, 521288629u, 75123886u},
    {123456789u, 362436069u, 521288629u, 51238867u},
}};

// Advances all four lanes once; out[k] is lane k's output.
inline void NextRandomLanes(RandomLanes& lanes, uint32_t out[4]) {
  for (int k = 0; k < 4; ++k) out[k] = NextXorShift(lanes.lane[k]);
}
