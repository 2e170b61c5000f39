// windows_resource_test.cpp: reads back the Windows version record and icon compiled by windres.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "../bmp_reader.h"
#include "forms/forms.h"
#include "wide.h"

namespace vorek_test {
namespace {

std::size_t align4(std::size_t at) { return (at + 3) & ~std::size_t{3}; }

// A UTF-16 string ending with a zero unit; returns it and moves past the zero.
std::wstring text(const Bytes& bytes, std::size_t& at) {
  std::wstring s;
  for (wchar_t c; (c = static_cast<wchar_t>(bytes.u16(at))) != 0; at += 2) s.push_back(c);
  at += 2;
  return s;
}

// One entry of a .res file: a type and a name, each a number or a string, and the data.
struct Resource {
  std::optional<std::uint32_t> type, name;  // numbered ones; the tests use no named ones
  Bytes data;
};

constexpr std::uint32_t kIcon = 3, kGroupIcon = 14, kVersion = 16;

std::vector<Resource> parseRes(const Bytes& bytes) {
  std::vector<Resource> resources;
  std::size_t at = 0;
  while (at < bytes.data.size()) {
    const std::uint32_t dataSize = bytes.u32(at);
    const std::uint32_t headerSize = bytes.u32(at + 4);
    std::size_t p = at + 8;
    auto id = [&]() -> std::optional<std::uint32_t> {
      if (bytes.u16(p) == 0xFFFF) {
        const std::uint32_t number = bytes.u16(p + 2);
        p += 4;
        return number;
      }
      text(bytes, p);
      return std::nullopt;
    };
    Resource resource;
    resource.type = id();
    resource.name = id();
    resource.data = bytes.slice(at + headerSize, dataSize);
    // The first entry of a 32-bit .res is an empty marker.
    if (!(resources.empty() && at == 0 && dataSize == 0)) resources.push_back(std::move(resource));
    at = align4(at + headerSize + dataSize);
  }
  return resources;
}

const Resource* find(const std::vector<Resource>& all, std::uint32_t type, std::uint32_t name) {
  for (const Resource& r : all) {
    if (r.type == type && r.name == name) return &r;
  }
  return nullptr;
}

// The version record's tree: a key, a value (text or bytes) and children, each 32-bit aligned.
struct Node {
  std::wstring key;
  std::wstring text;
  Bytes value;
  std::vector<Node> children;

  const Node* child(const std::wstring& name) const {
    for (const Node& c : children) {
      if (c.key == name) return &c;
    }
    return nullptr;
  }
};

Node parseNode(const Bytes& r, std::size_t at) {
  const std::uint32_t length = r.u16(at), valueLength = r.u16(at + 2), type = r.u16(at + 4);
  const std::size_t end = at + length;
  r.need(at, length);
  if (length < 6) throw std::runtime_error("node too short");
  Node node;
  std::size_t p = at + 6;
  node.key = text(r, p);
  p = align4(p);
  if (valueLength > 0 && p < end) {
    if (type == 1) {
      node.text = text(r, p);
    } else {
      node.value = r.slice(p, valueLength);
      p += valueLength;
    }
  }
  for (p = align4(p); p < end; p = align4(p + r.u16(p))) node.children.push_back(parseNode(r, p));
  return node;
}

std::string ascii(const std::wstring& s) { return {s.begin(), s.end()}; }

class WindowsResource : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { resources = parseRes(readFile(VOREK_RES_FILE)); }
  static std::vector<Resource> resources;

  static Node versionRecord() {
    const Resource* version = find(resources, kVersion, 1);
    if (version == nullptr) throw std::runtime_error("no version record");
    return parseNode(version->data, 0);
  }
  static const Node& stringTable(const Node& root) {
    const Node* info = root.child(L"StringFileInfo");
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
      root.child(L"VarFileInfo") ? root.child(L"VarFileInfo")->child(L"Translation") : nullptr;
  ASSERT_NE(translation, nullptr);
  EXPECT_EQ(translation->value, (Bytes{{0x0C, 0x04, 0xB0, 0x04}}));  // 0x040C, then 0x04B0
}

TEST_F(WindowsResource, TheTextsAreTheProgramsOwn) {
  const Node root = versionRecord();
  const Node& table = stringTable(root);
  auto value = [&](const wchar_t* key) {
    const Node* entry = table.child(key);
    return entry ? entry->text : L"(absent)";
  };
  const platform::ProjectRecord& project = forms::project();
  EXPECT_EQ(ascii(value(L"FileVersion")), project.version);
  EXPECT_EQ(ascii(value(L"ProductVersion")), project.version);
  EXPECT_EQ(ascii(value(L"ProductName")), project.title);
  // Written in UTF-8 in the .rc: the accents must come out as one UTF-16 unit each.
  EXPECT_EQ(value(L"FileDescription"), wide(project.description));
  EXPECT_NE(value(L"FileDescription").find(L"pi\u00e8ces"), std::wstring::npos);
}

TEST_F(WindowsResource, TheFixedVersionIsTheProjectsNumber) {
  const Bytes fixed = versionRecord().value;
  ASSERT_EQ(fixed.data.size(), 52u);
  EXPECT_EQ(fixed.u32(0), 0xFEEF04BDu);
  const std::uint32_t high = VOREK_VERSION_MAJOR << 16 | VOREK_VERSION_MINOR;
  const std::uint32_t low = VOREK_VERSION_PATCH << 16 | VOREK_VERSION_TWEAK;
  EXPECT_EQ(fixed.u32(8), high);  // file version
  EXPECT_EQ(fixed.u32(12), low);
  EXPECT_EQ(fixed.u32(16), high);  // product version
  EXPECT_EQ(fixed.u32(20), low);
  EXPECT_EQ(fixed.u32(32), 0x4u);  // VOS__WINDOWS32
  EXPECT_EQ(fixed.u32(36), 0x1u);  // VFT_APP
}

TEST_F(WindowsResource, TheIconGroupOneHoldsTheDesignsIcon) {
  const Resource* group = find(resources, kGroupIcon, 1);
  ASSERT_NE(group, nullptr);
  const Bytes& g = group->data;
  EXPECT_EQ(g.u16(0), 0u);
  EXPECT_EQ(g.u16(2), 1u);  // icons, not cursors
  ASSERT_EQ(g.u16(4), 1u);  // one image
  const Bytes ico = readFile(VOREK_ICO_FILE);
  ASSERT_EQ(ico.u16(4), 1u);
  // The group's entry is the .ico's own (32 x 32, 16 colours), with the image's number instead
  // of its offset.
  EXPECT_EQ(g.slice(6, 12), ico.slice(6, 12));
  EXPECT_EQ(g.u16(18), 30001u);
  const Resource* image = find(resources, kIcon, g.u16(18));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->data, ico.slice(ico.u32(18), ico.u32(14)));
}

// The reader refuses a cut file rather than reading past its end.
TEST(WindowsResourceReader, RefusesATruncatedFile) {
  Bytes bytes = readFile(VOREK_RES_FILE);
  ASSERT_GT(bytes.data.size(), 100u);
  EXPECT_NO_THROW(parseRes(bytes));
  bytes.data.resize(bytes.data.size() - 7);
  EXPECT_THROW(parseRes(bytes), std::out_of_range);
}

}  // namespace
}  // namespace vorek_test
