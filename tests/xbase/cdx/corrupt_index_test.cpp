// Damaged index files: a clear error, or problems in the checker's report,
// never a crash, a hang or an endless walk.
#include <gtest/gtest.h>

#include <functional>

#include "cdx_test_util.h"
#include "support/temp_dir.h"
#include "test_key_source.h"
#include "xbase/cdx/cdx_checker.h"
#include "xbase/cdx/cdx_file.h"

namespace {

class CorruptIndex : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateTable(dir.File("T.DBF"), {{"NAC", 'C', 30}});
    dbf.Open(dir.File("T.DBF"), XbDbfFile::Options{});
    for (int i = 0; i < 3000; ++i) AppendRow(dbf, {{"NAC", "NAME " + std::to_string(i * 7 % 3000)}});
    auto cdx = XbCdxFile::OpenOrCreate(dir.File("GOOD.CDX"), dbf, TestKeySources(dbf));
    XbCdxTag& tag = cdx->CreateTag("NAC", "NAC", "", false, false);
    header = tag.HeaderOffset();
    root = tag.RootOffset();
    cdx::XbCdxNode node = cdx->ReadNode(root, tag.Format());
    child = node.entries.front().child;
    ASSERT_FALSE(cdx->ReadNode(child, tag.Format()).IsLeaf()) << "three levels wanted";
    while (!node.IsLeaf()) node = cdx->ReadNode(node.entries.front().child, tag.Format());
    leaf = node.offset;
    good = ReadFile(dir.File("GOOD.CDX"));
  }

  // A copy of the good file with `damage` applied to its bytes.
  std::string Damaged(const std::function<void(std::string&)>& damage) {
    std::string bytes = good;
    damage(bytes);
    std::string path = dir.File("BAD.CDX");
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<long>(bytes.size()));
    return path;
  }

  TempDir dir;
  XbDbfFile dbf;
  std::string good;
  uint32_t header = 0, root = 0, child = 0, leaf = 0;
};

void Put16At(std::string& b, size_t at, uint32_t v) { cdx::Put16(reinterpret_cast<uint8_t*>(b.data()) + at, v); }
void Put32At(std::string& b, size_t at, uint32_t v) { cdx::Put32(reinterpret_cast<uint8_t*>(b.data()) + at, v); }
void Put32BEAt(std::string& b, size_t at, uint32_t v) { cdx::Put32BE(reinterpret_cast<uint8_t*>(b.data()) + at, v); }

TEST_F(CorruptIndex, BadHeadersFailTheOpen) {
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
  };
  const Case cases[] = {
      {"directory root 0", [](std::string& b) { Put32At(b, 0, 0); }},
      {"directory root off the block grid", [](std::string& b) { Put32At(b, 0, 1025); }},
      {"directory root past the end", [](std::string& b) { Put32At(b, 0, 0x7FFFFE00); }},
      {"directory leaf with too many keys", [](std::string& b) { Put16At(b, 1024 + 2, 400); }},
      {"tag key length over 240", [this](std::string& b) { Put16At(b, header + 12, 241); }},
      {"tag root past the end", [this](std::string& b) { Put32At(b, header, static_cast<uint32_t>(good.size())); }},
      {"file cut inside the directory header", [](std::string& b) { b.resize(700); }},
      {"file cut before the tag's root", [](std::string& b) { b.resize(b.size() / 2 / 512 * 512); }},
  };
  for (const Case& c : cases) {
    std::string path = Damaged(c.damage);
    EXPECT_EQ(DbfErrorOf([&] { XbCdxFile::Open(path, dbf, TestKeySources(dbf)); }),
              "Index file " + path + " is corrupted")
        << c.what;
  }
}

TEST_F(CorruptIndex, BadNodesEndWalksSeeksAndWritesWithAnError) {
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
    bool walkFails;  // false: the walk ends normally, only the checker sees the damage
  };
  const size_t firstChild = 12 + 30 + 4;  // child offset of the root's first entry
  const Case cases[] = {
      {"root with a count beyond its capacity", [this](std::string& b) { Put16At(b, root + 2, 0xFFFF); }, true},
      {"child past the end", [&](std::string& b) { Put32BEAt(b, root + firstChild, 0x00FFFE00); }, true},
      {"child off the block grid", [&](std::string& b) { Put32BEAt(b, root + firstChild, 0x1001); }, true},
      {"child that is the root (a cycle)", [&](std::string& b) { Put32BEAt(b, child + firstChild, root); }, true},
      {"child that is the directory header", [&](std::string& b) { Put32BEAt(b, root + firstChild, 0); }, true},
      {"leaf counts beyond the key length", [this](std::string& b) { b[leaf + 24 + 3 * 5 + 2] = '\xFF'; }, true},
      {"leaf attribute beyond root and leaf", [this](std::string& b) { Put16At(b, leaf, 7); }, true},
      {"every entry of the root leads to one child",
       [&](std::string& b) {
         for (size_t i = 0; i < 13; ++i) Put32BEAt(b, root + 12 + i * 38 + 34, child);
       },
       false},
      {"leaf linked to itself", [this](std::string& b) { Put32At(b, leaf + 8, leaf); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string path = Damaged(c.damage);
    auto cdx = XbCdxFile::Open(path, dbf, TestKeySources(dbf));
    XbCdxTag& tag = *cdx->FindTag("NAC");
    std::string corrupted = "Index file " + path + " is corrupted";
    std::string walk = DbfErrorOf([&] {
      WalkForward(tag);
      WalkBackward(tag);
    });
    if (c.walkFails) EXPECT_EQ(walk, corrupted);
    else EXPECT_EQ(walk, "");
    for (const char* key : {"NAME 1", "NAME 5", "ZZZ"}) {
      std::string seek = DbfErrorOf([&] { tag.FindFirst(key, true); tag.FindLast(key, false); });
      EXPECT_TRUE(seek.empty() || seek == corrupted) << seek;
      std::string write = DbfErrorOf([&] { tag.Insert(key, 4000); });
      EXPECT_TRUE(write.empty() || write == corrupted) << write;
    }
    std::vector<XbTagReport> reports = CheckIndexFile(*cdx);
    EXPECT_FALSE(reports.back().Sound());
  }
}

}  // namespace
