// Index files written by another xBase engine: we read and walk them as that
// engine does, check them clean, and build the same orders ourselves.
#include <gtest/gtest.h>

#include <algorithm>

#include "cdx_test_util.h"
#include "support/temp_dir.h"
#include "test_key_source.h"
#include "xbase/cdx/cdx_checker.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/dbf_file.h"

namespace {

XbDbfFile::Options ReadOnly() {
  XbDbfFile::Options o;
  o.writable = false;
  return o;
}

class PeerIndex : public ::testing::TestWithParam<const char*> {};

TEST_P(PeerIndex, TagsAndTheirOrdersAreThoseOfTheOtherEngine) {
  std::string table = GetParam();
  XbDbfFile dbf;
  dbf.Open(PeerFile(table + ".DBF"), ReadOnly());
  auto cdx = XbCdxFile::Open(PeerFile(table + ".CDX"), dbf, TestKeySources(dbf));

  std::vector<PeerTag> wanted = ReadPeerTags(table);
  std::vector<std::string> expectedNames, names;
  for (const PeerTag& s : wanted) expectedNames.push_back(s.name);
  std::sort(expectedNames.begin(), expectedNames.end());
  for (const auto& t : cdx->Tags()) names.push_back(t->Name());
  EXPECT_EQ(names, expectedNames) << "tags in directory order";

  for (const PeerTag& want : wanted) {
    SCOPED_TRACE(table + "." + want.name);
    XbCdxTag* tag = cdx->FindTag(want.name);
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->KeyExpression(), want.key);
    EXPECT_EQ(tag->FilterExpression(), want.filter);
    EXPECT_EQ(tag->Unique(), want.unique);
    EXPECT_EQ(tag->Descending(), want.descending);
    EXPECT_TRUE(tag->Maintainable()) << tag->Why();
    std::vector<long> manifest = ReadManifest(PeerFile(table + "." + want.name + ".txt"));
    std::vector<long> forward = WalkForward(*tag);
    EXPECT_EQ(static_cast<long>(forward.size()), want.count);
    EXPECT_EQ(forward, manifest);
    EXPECT_TRUE(tag->Eof());
    std::vector<long> backward = WalkBackward(*tag);
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, manifest);
    EXPECT_TRUE(tag->Bof());
  }
}

TEST_P(PeerIndex, CheckerFindsTheFilesSound) {
  std::string table = GetParam();
  XbDbfFile dbf;
  dbf.Open(PeerFile(table + ".DBF"), ReadOnly());
  auto cdx = XbCdxFile::Open(PeerFile(table + ".CDX"), dbf, TestKeySources(dbf));
  for (const XbTagReport& r : CheckIndexFile(*cdx)) {
    SCOPED_TRACE(table + "." + r.tag);
    EXPECT_TRUE(r.Sound()) << (r.problems.empty() ? "" : r.problems.front());
    EXPECT_TRUE(r.differences.empty()) << r.differences.front();
    if (!r.tag.empty()) {
      EXPECT_TRUE(r.contentChecked) << r.note;
    }
  }
}

TEST_P(PeerIndex, TagsBuiltHereGiveTheSameOrders) {
  std::string table = GetParam();
  TempDir dir;
  std::string path = CopyInto(dir.Path(), PeerFile(table + ".DBF"), table + ".DBF");
  XbDbfFile dbf;
  dbf.Open(path, XbDbfFile::Options{});
  auto cdx = XbCdxFile::OpenOrCreate(dir.File("OWN.CDX"), dbf, TestKeySources(dbf));
  for (const PeerTag& want : ReadPeerTags(table))
    cdx->CreateTag(want.name, want.key, want.filter, want.unique, want.descending);
  for (const PeerTag& want : ReadPeerTags(table)) {
    SCOPED_TRACE(table + "." + want.name);
    XbCdxTag* tag = cdx->FindTag(want.name);
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(WalkForward(*tag), ReadManifest(PeerFile(table + "." + want.name + ".txt")));
  }
  for (const XbTagReport& r : CheckIndexFile(*cdx)) {
    EXPECT_TRUE(r.Sound()) << r.tag << ": " << r.problems.front();
    EXPECT_TRUE(r.differences.empty()) << r.tag << ": " << r.differences.front();
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PeerIndex, ::testing::Values("SOR0000", "BIG", "EMPTY"));

// Seeking every key of a peer tag finds the first record with that key, as
// the order manifest has it.
TEST(PeerIndexSeek, ExactSeekOfEachKeyFindsItsFirstRecord) {
  XbDbfFile dbf;
  dbf.Open(PeerFile("SOR0000.DBF"), ReadOnly());
  auto cdx = XbCdxFile::Open(PeerFile("SOR0000.CDX"), dbf, TestKeySources(dbf));
  for (const char* name : {"KAV", "NAC", "PC1", "DAT", "KVD"}) {
    SCOPED_TRACE(name);
    XbCdxTag& tag = *cdx->FindTag(name);
    std::vector<long> manifest = ReadManifest(PeerFile(std::string("SOR0000.") + name + ".txt"));
    std::vector<std::string> keys;
    for (long recno : manifest) {
      dbf.GoTo(recno);
      keys.push_back(*tag.KeyOf(dbf.Buffer(), recno));
    }
    for (size_t i = 0; i < manifest.size(); i += 37) {
      size_t first = static_cast<size_t>(std::find(keys.begin(), keys.end(), keys[i]) - keys.begin());
      EXPECT_EQ(tag.FindFirst(keys[i], false), manifest[first]);
      auto last = std::find(keys.rbegin(), keys.rend(), keys[i]);
      EXPECT_EQ(tag.FindLast(keys[i], false), manifest[keys.rend() - last - 1]);
    }
  }
}

}  // namespace
