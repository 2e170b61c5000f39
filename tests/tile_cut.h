// tile_cut.h: which square of the portrait each of the twenty tiles is, for the tests of the
// committed pictures and of the pictures shown. Written apart from the artwork generator's own
// table, as bmp_reader.h is from its encoder, so that a change there shows here.
#pragma once

namespace vorek_test {

struct TileOrigin {
  int x, y;  // the square's top-left pixel in the portrait
};

// By the tiles' rows and columns on the board; the uneven offsets are the board's own.
inline constexpr TileOrigin kTileOrigins[4][5] = {
    {{0, 0}, {50, 0}, {101, 0}, {151, 0}, {201, 0}},
    {{0, 51}, {50, 51}, {101, 51}, {151, 51}, {201, 51}},
    {{0, 101}, {50, 101}, {100, 101}, {151, 101}, {201, 100}},
    {{0, 151}, {50, 151}, {100, 151}, {151, 151}, {201, 151}},
};

// Where piece k's tile (1 to 20) is cut from.
constexpr TileOrigin tileOrigin(int k) { return kTileOrigins[(k - 1) / 5][(k - 1) % 5]; }

}  // namespace vorek_test
