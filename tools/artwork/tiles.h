// Where each of the twenty puzzle tiles is cut from the portrait.
#pragma once

#include <array>

struct TileOrigin {
  int x, y;  // top-left pixel, counted from the portrait's top-left
};

inline constexpr int kTileSize = 50;
inline constexpr int kTileRows = 4;
inline constexpr int kTileColumns = 5;

// The uneven offsets are intended: the game's squares are not on a regular 50-pixel grid.
inline constexpr std::array<std::array<TileOrigin, kTileColumns>, kTileRows> kTileOrigins = {{
    {{{0, 0}, {50, 0}, {101, 0}, {151, 0}, {201, 0}}},
    {{{0, 51}, {50, 51}, {101, 51}, {151, 51}, {201, 51}}},
    {{{0, 101}, {50, 101}, {100, 101}, {151, 101}, {201, 100}}},
    {{{0, 151}, {50, 151}, {100, 151}, {151, 151}, {201, 151}}},
}};
