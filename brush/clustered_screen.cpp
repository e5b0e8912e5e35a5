// The clustered-dot screen of the halftone pen, built from one 16 x 16 block.
#include "brush/tone_screen.h"

namespace {

constexpr int kBlockSide = kScreenSide / 2;

// The growth order of one dot: the odd numbers 1..511, each once, spiralling out from (7, 7).
// clang-format off
constexpr int16_t kBlock[kBlockSide][kBlockSide] = {
  {509, 499, 481, 453, 419, 401, 383, 357, 359, 361, 403, 421, 455, 483, 501, 511},
  {497, 467, 435, 399, 341, 307, 291, 273, 275, 293, 309, 343, 385, 437, 469, 503},
  {479, 433, 381, 323, 257, 231, 215, 189, 191, 217, 233, 259, 325, 363, 439, 485},
  {451, 397, 321, 243, 187, 165, 139, 121, 123, 141, 167, 193, 245, 327, 387, 457},
  {417, 339, 255, 185, 153, 119, 103,  85,  87,  89, 105, 155, 195, 261, 329, 423},
  {415, 305, 229, 163, 117,  69,  59,  41,  43,  61,  71, 107, 169, 235, 311, 405},
  {379, 289, 213, 137, 101,  57,  27,  13,  15,  29,  63,  91, 143, 219, 295, 365},
  {355, 271, 183, 135,  83,  39,  11,   1,   3,  17,  45,  73, 125, 197, 277, 345},
  {353, 269, 181, 133,  81,  37,   9,   7,   5,  19,  47,  75, 127, 199, 279, 347},
  {377, 287, 211, 151,  99,  55,  25,  23,  21,  31,  49,  93, 145, 221, 281, 367},
  {413, 303, 227, 161, 115,  67,  53,  35,  33,  51,  65, 109, 171, 237, 297, 407},
  {431, 337, 253, 179, 159, 113,  97,  79,  77,  95, 111, 157, 201, 263, 331, 425},
  {449, 395, 319, 241, 177, 175, 149, 131, 129, 147, 173, 203, 247, 313, 389, 459},
  {477, 447, 375, 317, 251, 225, 209, 207, 205, 223, 239, 249, 315, 369, 441, 487},
  {495, 465, 445, 393, 335, 301, 285, 267, 265, 283, 299, 333, 391, 443, 471, 489},
  {507, 493, 475, 463, 429, 411, 373, 351, 349, 371, 409, 427, 461, 473, 491, 505},
};
// clang-format on

// The four quadrants: the top-left dot takes the odd levels up to 511 and the bottom-right dot
// the even ones up to 512, so the two ink dots grow in step; past half, the other two quadrants
// fill in the reverse order, closing the paper gaps from their edges towards their centres.
constexpr ScreenMatrix ExpandBlock() {
  ScreenMatrix m{};
  for (int r = 0; r < kBlockSide; ++r) {
    for (int c = 0; c < kBlockSide; ++c) {
      const int b = kBlock[r][c];
      m.at[r][c] = b;
      m.at[r][c + kBlockSide] = kScreenCells - b;
      m.at[r + kBlockSide][c + kBlockSide] = b + 1;
      m.at[r + kBlockSide][c] = kScreenCells + 1 - b;
    }
  }
  return m;
}

}  // namespace

constexpr ScreenMatrix ClusteredScreen = ExpandBlock();
