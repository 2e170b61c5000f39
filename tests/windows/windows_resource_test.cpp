// windows_resource_test.cpp: reads back the Windows version record and icon compiled by windres.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "forms/forms.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(std::string("cannot open ") + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Little-endian fields, every read checked against the end: a short file is an error, not garbage.
struct Reader {
  const Bytes& bytes;
  std::uint16_t u16(std::size_t at) const {
    need(at, 2);
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
  }
  std::uint32_t u32(std::size_t at) const {
    return u16(at) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
  }
  void need(std::size_t at, std::size_t size) const {
    if (at > bytes.size() || size > bytes.size() - at) throw std::runtime_error("truncated");
  }
  // A UTF-16 string ending with a zero unit; returns it and moves past the zero.
  std::u16string text(std::size_t& at) const {
    std::u16string s;
    for (char16_t c; (c = static_cast<char16_t>(u16(at))) != 0; at += 2) s.push_back(c);
    at += 2;
    return s;
  }
};

std::size_t align4(std::size_t at) { return (at + 3) & ~std::size_t{3}; }

// One entry of a .res file: a type and a name, each a number or a string, and the data.
struct Resource {
  std::optional<std::uint16_t> type, name;  // numbered ones; the tests use no named ones
  std::uint16_t language = 0;
  Bytes data;
};

constexpr std::uint16_t kIcon = 3, kGroupIcon = 14, kVersion = 16;

std::vector<Resource> parseRes(const Bytes& bytes) {
  const Reader r{bytes};
  std::vector<Resource> resources;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::uint32_t dataSize = r.u32(at);
    const std::uint32_t headerSize = r.u32(at + 4);
    std::size_t p = at + 8;
    auto id = [&]() -> std::optional<std::uint16_t> {
      if (r.u16(p) == 0xFFFF) {
        const std::uint16_t number = r.u16(p + 2);
        p += 4;
        return number;
      }
      r.text(p);
      return std::nullopt;
    };
    Resource resource;
    resource.type = id();
    resource.name = id();
    p = align4(p);
    resource.language = r.u16(p + 6);  // after DataVersion and MemoryFlags
    const std::size_t data = at + headerSize;
    r.need(data, dataSize);
    resource.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(data),
                         bytes.begin() + static_cast<std::ptrdiff_t>(data + dataSize));
    // The first entry of a 32-bit .res is an empty marker.
    if (!(resources.empty() && at == 0 && dataSize == 0)) resources.push_back(std::move(resource));
    at = align4(data + dataSize);
  }
  return resources;
}

const Resource* find(const std::vector<Resource>& all, std::uint16_t type, std::uint16_t name) {
  for (const Resource& r : all) {
    if (r.type == type && r.name == name) return &r;
  }
  return nullptr;
}

// The version record's tree: a key, a value (text or bytes) and children, each 32-bit aligned.
struct Node {
  std::u16string key;
  std::u16string text;
  Bytes value;
  std::vector<Node> children;

  const Node* child(const std::u16string& name) const {
    for (const Node& c : children) {
      if (c.key == name) return &c;
    }
    return nullptr;
  }
};

Node parseNode(const Reader& r, std::size_t at, std::size_t& next) {
  const std::uint16_t length = r.u16(at);
  const std::uint16_t valueLength = r.u16(at + 2);
  const std::uint16_t type = r.u16(at + 4);
  const std::size_t end = at + length;
  r.need(at, length);
  if (length < 6) throw std::runtime_error("node too short");
  Node node;
  std::size_t p = at + 6;
  node.key = r.text(p);
  p = align4(p);
  if (valueLength > 0 && p < end) {
    if (type == 1) {
      node.text = r.text(p);
    } else {
      r.need(p, valueLength);
      node.value.assign(r.bytes.begin() + static_cast<std::ptrdiff_t>(p),
                        r.bytes.begin() + static_cast<std::ptrdiff_t>(p + valueLength));
      p += valueLength;
    }
  }
  for (p = align4(p); p < end; p = align4(p)) node.children.push_back(parseNode(r, p, p));
  next = end;
  return node;
}

std::u16string u16(std::string_view utf8) {
  std::u16string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    char32_t code = c;
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (more) code = c & (0x3F >> more);
    for (++i; more-- > 0 && i < utf8.size(); ++i) code = code << 6 | (utf8[i] & 0x3F);
    out.push_back(static_cast<char16_t>(code));  // the names here are all in the first plane
  }
  return out;
}

std::string ascii(const std::u16string& s) { return {s.begin(), s.end()}; }

class WindowsResource : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { resources = parseRes(readFile(VOREK_RES_FILE)); }
  static std::vector<Resource> resources;

  static Node versionRecord() {
    const Resource* version = find(resources, kVersion, 1);
    if (version == nullptr) throw std::runtime_error("no version record");
    std::size_t next = 0;
    return parseNode(Reader{version->data}, 0, next);
  }
  static const Node& stringTable(const Node& root) {
    const Node* info = root.child(u"StringFileInfo");
    if (info == nullptr || info->children.size() != 1) throw std::runtime_error("no one table");
    return info->children[0];
  }
};
std::vector<Resource> WindowsResource::resources;

TEST_F(WindowsResource, HoldsOneVersionRecordOneIconGroupAndItsIcon) {
  ASSERT_EQ(resources.size(), 3u);
  EXPECT_NE(find(resources, kVersion, 1), nullptr);
  EXPECT_NE(find(resources, kGroupIcon, 1), nullptr);
}

TEST_F(WindowsResource, TheVersionRecordIsInFrenchUnicode) {
  const Node root = versionRecord();
  EXPECT_EQ(ascii(root.key), "VS_VERSION_INFO");
  EXPECT_EQ(ascii(stringTable(root).key), "040C04B0");
  const Node* translation =
      root.child(u"VarFileInfo") ? root.child(u"VarFileInfo")->child(u"Translation") : nullptr;
  ASSERT_NE(translation, nullptr);
  const Bytes expected = {0x0C, 0x04, 0xB0, 0x04};  // 0x040C, then 0x04B0
  EXPECT_EQ(translation->value, expected);
}

TEST_F(WindowsResource, TheTextsAreTheProgramsOwn) {
  const Node root = versionRecord();
  const Node& table = stringTable(root);
  auto value = [&](const char16_t* key) {
    const Node* entry = table.child(key);
    return entry ? entry->text : u"(absent)";
  };
  const platform::ProjectRecord& project = forms::project();
  EXPECT_EQ(ascii(value(u"FileVersion")), project.version);
  EXPECT_EQ(ascii(value(u"ProductVersion")), project.version);
  EXPECT_EQ(ascii(value(u"FileVersion")), "1.00");
  EXPECT_EQ(ascii(value(u"ProductName")), project.title);
  EXPECT_EQ(ascii(value(u"ProductName")), "Vorek");
  // Written in UTF-8 in the .rc: the accents must come out as one UTF-16 unit each.
  EXPECT_EQ(value(u"FileDescription"), u16(project.description));
  EXPECT_NE(value(u"FileDescription").find(u"pièces"), std::u16string::npos);
}

TEST_F(WindowsResource, TheFixedVersionIsTheProjectsNumber) {
  const Node root = versionRecord();
  const Reader r{root.value};
  ASSERT_EQ(root.value.size(), 52u);
  EXPECT_EQ(r.u32(0), 0xFEEF04BDu);
  const std::uint32_t high = VOREK_VERSION_MAJOR << 16 | VOREK_VERSION_MINOR;
  const std::uint32_t low = VOREK_VERSION_PATCH << 16 | VOREK_VERSION_TWEAK;
  EXPECT_EQ(r.u32(8), high);  // file version
  EXPECT_EQ(r.u32(12), low);
  EXPECT_EQ(r.u32(16), high);  // product version
  EXPECT_EQ(r.u32(20), low);
  EXPECT_EQ(r.u32(32), 0x4u);  // VOS__WINDOWS32
  EXPECT_EQ(r.u32(36), 0x1u);  // VFT_APP
}

TEST_F(WindowsResource, TheIconGroupOneHoldsTheDesignsIcon) {
  const Resource* group = find(resources, kGroupIcon, 1);
  ASSERT_NE(group, nullptr);
  const Reader g{group->data};
  EXPECT_EQ(g.u16(0), 0);
  EXPECT_EQ(g.u16(2), 1);  // icons, not cursors
  ASSERT_EQ(g.u16(4), 1);  // one image
  const Bytes ico = readFile(VOREK_ICO_FILE);
  const Reader i{ico};
  ASSERT_EQ(i.u16(4), 1);
  // The group's entry is the .ico's own, with the image's number instead of its offset.
  for (std::size_t k = 0; k < 12; ++k) EXPECT_EQ(group->data[6 + k], ico[6 + k]) << k;
  EXPECT_EQ(group->data[6], 32);  // width
  EXPECT_EQ(group->data[7], 32);  // height
  EXPECT_EQ(group->data[8], 16);  // colours
  EXPECT_EQ(g.u16(18), 30001);  // the image's number
  const Resource* image = find(resources, kIcon, g.u16(18));
  ASSERT_NE(image, nullptr);
  const std::uint32_t size = i.u32(14), offset = i.u32(18);
  i.need(offset, size);
  EXPECT_EQ(image->data, Bytes(ico.begin() + offset, ico.begin() + offset + size));
}

// The reader refuses a cut file rather than reading past its end.
TEST(WindowsResourceReader, RefusesATruncatedFile) {
  Bytes bytes = readFile(VOREK_RES_FILE);
  ASSERT_GT(bytes.size(), 100u);
  EXPECT_NO_THROW(parseRes(bytes));
  bytes.resize(bytes.size() - 7);
  EXPECT_THROW(parseRes(bytes), std::runtime_error);
}

}  // namespace
