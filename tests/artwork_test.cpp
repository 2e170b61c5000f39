// Checks the shipped pictures: file formats, tiles cut from the portrait, distinct tiles, the icon.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "bmp_reader.h"
#include "forms/forms.h"
#include "pictures.h"
#include "tools/artwork/tiles.h"

namespace vorek_test {
namespace {

std::string picturePath(std::string_view name) {
  return std::string(VOREK_PICTURES_DIR) + "/" + std::string(name);
}

const Pixel kWhite{255, 255, 255};

// The 32-bit little-endian words of a file from `at` on.
void expectWords(const Bytes& file, std::size_t at, std::initializer_list<std::uint32_t> words) {
  for (std::uint32_t word : words) {
    EXPECT_EQ(file.u32(at), word) << "word at " << at;
    at += 4;
  }
}

// Every picture that a design names, once.
std::vector<std::string> designPictures() {
  std::set<std::string> names;
  for (const platform::FormDesign* design : forms::project().forms)
    for (const auto& row : design->controls)
      if (!row.picture.empty()) names.insert(std::string(row.picture));
  return {names.begin(), names.end()};
}

class BitmapFormat : public testing::TestWithParam<std::string> {
 protected:
  const platform::PixelSize size = pictureSize(GetParam());
  const std::size_t imageSize = rowStride(size.width) * std::size_t(size.height);
  const Bytes file = readFile(picturePath(GetParam()));
};

TEST_P(BitmapFormat, HeadersDescribeUncompressedBottomUp24Bit) {
  ASSERT_EQ(file.data.size(), 54 + imageSize) << "pixels must follow the headers: no colour table";
  // "BM", the file's size, reserved, where the pixels start; the header's size, the width, the
  // height (positive: rows bottom-up), one plane and 24 bits, BI_RGB, the pixels' size; no
  // resolution nor colour count.
  EXPECT_EQ(file.u16(0), std::uint32_t('B' | 'M' << 8));
  const auto w = std::uint32_t(size.width), h = std::uint32_t(size.height);
  expectWords(file, 2,
              {std::uint32_t(54 + imageSize), 0, 54, 40, w, h, 1 | 24 << 16, 0,
               std::uint32_t(imageSize), 0, 0, 0, 0});
}

TEST_P(BitmapFormat, RowPaddingIsZero) {
  const std::size_t stride = rowStride(size.width), used = std::size_t(size.width) * 3;
  for (int row = 0; row < size.height; ++row)
    for (std::size_t i = used; i < stride; ++i)
      ASSERT_EQ(file.u8(54 + row * stride + i), 0u) << "row " << row;
}

INSTANTIATE_TEST_SUITE_P(Pictures, BitmapFormat, testing::ValuesIn(designPictures()),
                         [](const auto& tested) {
                           return tested.param.substr(0, tested.param.find('.'));
                         });

TEST(Portrait, LastColumnAndLastRowAreWhite) {
  const Picture p = readPicture(picturePath("portrait.bmp"));
  for (int y = 0; y < p.height; ++y) ASSERT_EQ(p.at(p.width - 1, y), kWhite) << "y=" << y;
  for (int x = 0; x < p.width; ++x) ASSERT_EQ(p.at(x, p.height - 1), kWhite) << "x=" << x;
  EXPECT_NE(p.at(p.width - 2, p.height - 2), kWhite)
      << "only the outer column and row are the white frame";
}

class Tile : public testing::TestWithParam<int> {};

TEST_P(Tile, EqualsItsSquareOfThePortrait) {
  const int k = GetParam();
  const TileOrigin o = kTileOrigins[std::size_t(k - 1) / 5][std::size_t(k - 1) % 5];
  const Picture portrait = readPicture(picturePath("portrait.bmp"));
  const Picture tile = readPicture(picturePath(tileName(k)));
  for (int y = 0; y < kTileSize; ++y)
    for (int x = 0; x < kTileSize; ++x)
      ASSERT_EQ(tile.at(x, y), portrait.at(o.x + x, o.y + y))
          << "tile pixel (" << x << "," << y << ")";
}

INSTANTIATE_TEST_SUITE_P(AllTiles, Tile, testing::Range(1, 21));

std::vector<Picture> readTiles() {
  std::vector<Picture> tiles;
  for (int k = 1; k <= 20; ++k) tiles.push_back(readPicture(picturePath(tileName(k))));
  return tiles;
}

double meanAbsDifference(const Picture& a, const Picture& b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i)
    for (int ch = 0; ch < 3; ++ch) sum += std::abs(int(a.pixels[i][ch]) - int(b.pixels[i][ch]));
  return sum / (static_cast<double>(a.pixels.size()) * 3.0);
}

double luminance(const Pixel& p) { return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]; }

double luminanceDeviation(const Picture& p) {
  double sum = 0, sq = 0;
  for (const Pixel& px : p.pixels) {
    sum += luminance(px);
    sq += luminance(px) * luminance(px);
  }
  const double n = double(p.pixels.size()), mean = sum / n;
  return std::sqrt(std::max(0.0, sq / n - mean * mean));
}

// Share of neighbouring pixel pairs with a sharp colour step (some channel jumps by more
// than 24). Smooth gradients such as the sky or the sun's glow change by a few units a
// pixel and score zero; outlines of drawn objects are what count.
double edgeFraction(const Picture& p) {
  const auto sharp = [](const Pixel& a, const Pixel& b) {
    for (int ch = 0; ch < 3; ++ch)
      if (std::abs(int(a[ch]) - int(b[ch])) > 24) return true;
    return false;
  };
  int edges = 0, pairs = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      if (x + 1 < p.width) edges += sharp(p.at(x, y), p.at(x + 1, y)), ++pairs;
      if (y + 1 < p.height) edges += sharp(p.at(x, y), p.at(x, y + 1)), ++pairs;
    }
  }
  return double(edges) / pairs;
}

TEST(Tiles, NoTwoLookAlike) {
  // Two squares of one plain sky or one lawn differ by only a few units a channel;
  // 15 (about 6% of full scale) is what a player notices at a glance.
  constexpr double kMinDifference = 15;
  const std::vector<Picture> tiles = readTiles();
  for (std::size_t i = 0; i < tiles.size(); ++i)
    for (std::size_t j = i + 1; j < tiles.size(); ++j)
      EXPECT_GT(meanAbsDifference(tiles[i], tiles[j]), kMinDifference)
          << "tiles " << i + 1 << " and " << j + 1 << " look alike";
}

TEST(Tiles, EachHasVisibleFeatures) {
  // A flat tile has a luminance deviation near 0; a bare gradient can reach a fair deviation
  // but has no sharp edges, so each tile also needs 3% of its pixel pairs on an outline.
  constexpr double kMinDeviation = 10, kMinEdges = 0.03;
  const std::vector<Picture> tiles = readTiles();
  for (std::size_t k = 0; k < tiles.size(); ++k) {
    SCOPED_TRACE("tile " + std::to_string(k + 1));
    EXPECT_GT(luminanceDeviation(tiles[k]), kMinDeviation);
    EXPECT_GT(edgeFraction(tiles[k]), kMinEdges);
  }
}

TEST(Blank, EveryPixelIsWhite) {
  const Picture p = readPicture(picturePath("blank.bmp"));
  EXPECT_EQ(std::count(p.pixels.begin(), p.pixels.end(), kWhite), 2500);
}

TEST(About, FourDifferentPicturesWithContent) {
  std::vector<Picture> pics;
  for (int k = 1; k <= 4; ++k)
    pics.push_back(readPicture(picturePath("about" + std::to_string(k) + ".bmp")));
  for (std::size_t i = 0; i < pics.size(); ++i) {
    const std::set<Pixel> colours(pics[i].pixels.begin(), pics[i].pixels.end());
    EXPECT_GT(colours.size(), 8u) << "about" << i + 1 << " is nearly blank";
    for (std::size_t j = i + 1; j < pics.size(); ++j)
      EXPECT_NE(pics[i].pixels, pics[j].pixels) << "about" << i + 1 << " equals about" << j + 1;
  }
}

// The icon: directory (6 bytes), one entry (16), then a 4-bit bitmap with its palette,
// XOR pixels and AND mask, all rows bottom-up.
class Icon : public testing::Test {
 protected:
  static constexpr std::size_t kHeader = 22, kPalette = kHeader + 40, kPixels = kPalette + 64,
                               kMask = kPixels + 512;
  void SetUp() override { ASSERT_EQ(file_.data.size(), 766u); }
  int colourIndex(int x, int y) const {
    const std::uint32_t b = file_.u8(kPixels + (31 - y) * 16 + x / 2);
    return int(x % 2 ? b & 0xf : b >> 4);
  }
  bool transparent(int x, int y) const {
    return file_.u8(kMask + (31 - y) * 4 + x / 8) & (0x80 >> (x % 8));
  }
  const Bytes file_ = readFile(picturePath("vorek.ico"));
};

TEST_F(Icon, DirectoryAndHeaderDescribeOne32PixelSixteenColourImage) {
  // Reserved, type 1 (an icon), one image; 32 x 32 pixels, 16 colours, one plane, 4 bits, 744
  // bytes, after the directory; its header, which counts both masks in its height, 640 bytes of
  // pixels and masks, no compression.
  EXPECT_EQ(file_.u16(0), 0u);
  expectWords(file_, 2,
              {1 | 1 << 16, 32 | 32 << 8 | 16 << 16, 1 | 4 << 16, 744, kHeader, 40, 32, 64,
               1 | 4 << 16, 0, 640, 0, 0, 0, 0});
}

TEST_F(Icon, PaletteIsTheStandardSixteenColours) {
  const Pixel standard[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                              {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                              {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                              {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  for (std::size_t i = 0; i < 16; ++i) {
    const std::size_t q = kPalette + i * 4;  // stored blue, green, red, zero
    EXPECT_EQ((Pixel{std::uint8_t(file_.u8(q + 2)), std::uint8_t(file_.u8(q + 1)),
                     std::uint8_t(file_.u8(q))}),
              standard[i])
        << "entry " << i;
    EXPECT_EQ(file_.u8(q + 3), 0u) << "entry " << i;
  }
}

TEST_F(Icon, MaskShowsAnEmblemOnATransparentBackground) {
  int clear = 0;
  std::set<int> used;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (!transparent(x, y)) {
        used.insert(colourIndex(x, y));
        continue;
      }
      ++clear;
      // Masked pixels must be black, or they tint whatever is behind the icon.
      EXPECT_EQ(colourIndex(x, y), 0) << "(" << x << "," << y << ")";
    }
  }
  EXPECT_GT(clear, 0);
  EXPECT_LT(clear, 32 * 32 / 2) << "the emblem should fill most of the icon";
  for (const auto& [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}})
    EXPECT_TRUE(transparent(x, y)) << x << "," << y;
  EXPECT_FALSE(transparent(16, 16));
  EXPECT_GE(used.size(), 5u) << "a recognisable emblem needs several colours";
}

}  // namespace
}  // namespace vorek_test
