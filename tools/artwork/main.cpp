// vorek-artwork: paints every picture the game ships and writes them into one folder.
//
// The files committed under forms/pictures/ are this tool's output. To regenerate them,
// build the vorek-artwork target and run `vorek-artwork forms/pictures` from the
// repository root. The normal build never runs it; the output is identical on every run.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "about.h"
#include "bmp.h"
#include "icon.h"
#include "scene.h"
#include "tiles.h"

namespace {
std::string numbered(const char* stem, int n, int digits) {
  char name[32];
  std::snprintf(name, sizeof name, "%s%0*d.bmp", stem, digits, n);
  return name;
}

void writeTiles(const std::filesystem::path& dir, const Image8& portrait) {
  for (int row = 0; row < kTileRows; ++row) {
    for (int col = 0; col < kTileColumns; ++col) {
      const TileOrigin o = kTileOrigins[row][col];
      const Image8 tile = crop(portrait, o.x, o.y, kTileSize, kTileSize);
      writeFile((dir / numbered("tile", row * kTileColumns + col + 1, 2)).string(),
                encodeBmp(tile));
    }
  }
}

void writeAll(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  const Image8 portrait = drawPortrait();
  writeFile((dir / "portrait.bmp").string(), encodeBmp(portrait));
  writeTiles(dir, portrait);
  const Image8 blank{kTileSize, kTileSize, Bytes(std::size_t(kTileSize) * kTileSize * 3, 255)};
  writeFile((dir / "blank.bmp").string(), encodeBmp(blank));
  const auto about = drawAboutPictures();
  for (std::size_t i = 0; i < about.size(); ++i)
    writeFile((dir / numbered("about", int(i) + 1, 1)).string(), encodeBmp(about[i]));
  writeFile((dir / "vorek.ico").string(), buildIcon());
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vorek-artwork OUTPUT_FOLDER\n");
    return 2;
  }
  try {
    writeAll(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vorek-artwork: %s\n", e.what());
    return 1;
  }
  return 0;
}
