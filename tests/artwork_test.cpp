// Checks the shipped pictures: file formats, tiles cut from the portrait, distinct tiles, the icon.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "bmp_reader.h"
#include "tile_cut.h"

namespace {
using bmp_reader::Bytes;
using bmp_reader::Picture;
using bmp_reader::Pixel;

std::string picturePath(const std::string& name) {
  return std::string(VOREK_PICTURES_DIR) + "/" + name;
}

std::string tileName(int k) {
  char name[16];
  std::snprintf(name, sizeof name, "tile%02d.bmp", k);
  return name;
}

const Pixel kWhite{255, 255, 255};

struct BmpCase {
  std::string name;
  int width, height;
  std::uint32_t imageSize, fileSize;
};

std::vector<BmpCase> allBitmaps() {
  std::vector<BmpCase> cases{{"portrait.bmp", 251, 201, 151956, 152010},
                             {"blank.bmp", 50, 50, 7600, 7654}};
  for (int k = 1; k <= 20; ++k) cases.push_back({tileName(k), 50, 50, 7600, 7654});
  for (int k = 1; k <= 4; ++k)
    cases.push_back({"about" + std::to_string(k) + ".bmp", 32, 32, 3072, 3126});
  return cases;
}

void PrintTo(const BmpCase& c, std::ostream* os) { *os << c.name; }

class BitmapFormat : public testing::TestWithParam<BmpCase> {};

TEST_P(BitmapFormat, HeadersDescribeUncompressedBottomUp24Bit) {
  const BmpCase& c = GetParam();
  const Bytes f = bmp_reader::readFile(picturePath(c.name));
  ASSERT_EQ(f.data.size(), c.fileSize);
  EXPECT_EQ(f.u8(0), 'B');
  EXPECT_EQ(f.u8(1), 'M');
  EXPECT_EQ(f.u32(2), c.fileSize);
  EXPECT_EQ(f.u32(6), 0u) << "reserved fields";
  EXPECT_EQ(f.u32(10), 54u) << "pixels must follow the headers: no colour table";
  EXPECT_EQ(f.u32(14), 40u);
  EXPECT_EQ(f.i32(18), c.width);
  EXPECT_EQ(f.i32(22), c.height) << "positive height: rows stored bottom-up";
  EXPECT_EQ(f.u16(26), 1u);
  EXPECT_EQ(f.u16(28), 24u);
  EXPECT_EQ(f.u32(30), 0u) << "BI_RGB";
  EXPECT_EQ(f.u32(34), c.imageSize);
  for (std::size_t at : {38u, 42u, 46u, 50u})
    EXPECT_EQ(f.u32(at), 0u) << "resolution/colour counts at " << at;
}

TEST_P(BitmapFormat, RowPaddingIsZero) {
  const BmpCase& c = GetParam();
  const Bytes f = bmp_reader::readFile(picturePath(c.name));
  ASSERT_EQ(f.data.size(), c.fileSize);
  const std::size_t stride = bmp_reader::rowStride(c.width), used = std::size_t(c.width) * 3;
  ASSERT_EQ(stride * c.height, c.imageSize);
  for (int row = 0; row < c.height; ++row)
    for (std::size_t i = used; i < stride; ++i)
      ASSERT_EQ(f.u8(54 + row * stride + i), 0u) << "row " << row;
}

INSTANTIATE_TEST_SUITE_P(Pictures, BitmapFormat, testing::ValuesIn(allBitmaps()),
                         [](const testing::TestParamInfo<BmpCase>& tested) {
                           return tested.param.name.substr(0, tested.param.name.find('.'));
                         });

TEST(Portrait, LastColumnAndLastRowAreWhite) {
  const Picture p = bmp_reader::readPicture(picturePath("portrait.bmp"));
  ASSERT_EQ(p.width, 251);
  ASSERT_EQ(p.height, 201);
  for (int y = 0; y < p.height; ++y) ASSERT_EQ(p.at(250, y), kWhite) << "y=" << y;
  for (int x = 0; x < p.width; ++x) ASSERT_EQ(p.at(x, 200), kWhite) << "x=" << x;
  EXPECT_NE(p.at(249, 199), kWhite) << "only the outer column and row are the white frame";
}

class Tile : public testing::TestWithParam<int> {};

TEST_P(Tile, EqualsItsSquareOfThePortrait) {
  const int k = GetParam();
  const vorek_test::TileOrigin o = vorek_test::tileOrigin(k);
  const Picture portrait = bmp_reader::readPicture(picturePath("portrait.bmp"));
  const Picture tile = bmp_reader::readPicture(picturePath(tileName(k)));
  ASSERT_EQ(tile.width, 50);
  ASSERT_EQ(tile.height, 50);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x)
      ASSERT_EQ(tile.at(x, y), portrait.at(o.x + x, o.y + y))
          << "tile pixel (" << x << "," << y << ")";
}

INSTANTIATE_TEST_SUITE_P(AllTiles, Tile, testing::Range(1, 21));

std::vector<Picture> readTiles() {
  std::vector<Picture> tiles;
  for (int k = 1; k <= 20; ++k) tiles.push_back(bmp_reader::readPicture(picturePath(tileName(k))));
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
  const Picture p = bmp_reader::readPicture(picturePath("blank.bmp"));
  ASSERT_EQ(p.pixels.size(), 2500u);
  EXPECT_EQ(std::count(p.pixels.begin(), p.pixels.end(), kWhite), 2500);
}

TEST(About, FourDifferentPicturesWithContent) {
  std::vector<Picture> pics;
  for (int k = 1; k <= 4; ++k)
    pics.push_back(bmp_reader::readPicture(picturePath("about" + std::to_string(k) + ".bmp")));
  for (std::size_t i = 0; i < pics.size(); ++i) {
    ASSERT_EQ(pics[i].pixels.size(), 32u * 32u);
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
  void SetUp() override {
    file_ = bmp_reader::readFile(picturePath("vorek.ico"));
    ASSERT_EQ(file_.data.size(), 766u);
  }
  int colourIndex(int x, int y) const {
    const std::uint32_t b = file_.u8(kPixels + (31 - y) * 16 + x / 2);
    return int(x % 2 ? b & 0xf : b >> 4);
  }
  bool transparent(int x, int y) const {
    return file_.u8(kMask + (31 - y) * 4 + x / 8) & (0x80 >> (x % 8));
  }
  Bytes file_;
};

TEST_F(Icon, DirectoryDescribesOne32PixelSixteenColourImage) {
  EXPECT_EQ(file_.u16(0), 0u);
  EXPECT_EQ(file_.u16(2), 1u) << "type 1 is an icon";
  EXPECT_EQ(file_.u16(4), 1u);
  EXPECT_EQ(file_.u8(6), 32u);
  EXPECT_EQ(file_.u8(7), 32u);
  EXPECT_EQ(file_.u8(8), 16u);
  EXPECT_EQ(file_.u8(9), 0u);
  EXPECT_EQ(file_.u16(10), 1u);
  EXPECT_EQ(file_.u16(12), 4u);
  EXPECT_EQ(file_.u32(14), 744u);
  EXPECT_EQ(file_.u32(18), kHeader);
}

TEST_F(Icon, BitmapHeaderCountsBothMasksInItsHeight) {
  EXPECT_EQ(file_.u32(kHeader), 40u);
  EXPECT_EQ(file_.i32(kHeader + 4), 32);
  EXPECT_EQ(file_.i32(kHeader + 8), 64);
  EXPECT_EQ(file_.u16(kHeader + 12), 1u);
  EXPECT_EQ(file_.u16(kHeader + 14), 4u);
  EXPECT_EQ(file_.u32(kHeader + 16), 0u);
  EXPECT_EQ(file_.u32(kHeader + 20), 640u);
  for (std::size_t at = 24; at < 40; at += 4)
    EXPECT_EQ(file_.u32(kHeader + at), 0u) << "field at " << at;
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
