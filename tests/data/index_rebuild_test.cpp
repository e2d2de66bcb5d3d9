// The index rebuild of the master tables against real files: the tags it
// builds, its progress windows and messages, what a shop program holding a
// table open leaves untouched, and the open state and order it gives back.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "data/data_module.h"
#include "support/lock_holder.h"
#include "support/master_cards.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "xbase/cdx/cdx_checker.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/errors.h"
#include "xbase/file_names.h"

namespace {

namespace fs = std::filesystem;

struct TagFacts {
  std::string name;
  bool unique;
  long keys;
  friend bool operator==(const TagFacts&, const TagFacts&) = default;
};

std::ostream& operator<<(std::ostream& os, const TagFacts& t) {
  return os << t.name << (t.unique ? " unique " : " ") << t.keys;
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::vector<std::string> kCardLabels = {
    "Tabulka položek sortimentu - dle karty", "Tabulka položek sortimentu - dle názvu",
    "Tabulka položek sortimentu - dle kódu dodavatele", "Tabulka položek sortimentu - dle kódu vyrobce",
    "Tabulka položek sortimentu - dle ceny"};

class IndexRebuildTest : public ::testing::Test {
 protected:
  // Five cards, the fifth repeating the first one's number and name; three
  // variants, two access rules, two group prices.
  void SetUp() override {
    WriteMasterCards(dir_.Path(), 5, [](XbDbfFile& f, long n) {
      if (n == 5) {
        f.PutText(f.FieldByName("SOR_KAV"), "000001");
        f.PutText(f.FieldByName("SOR_NAC"), "Karta 1");
      }
      f.PutNumber(f.FieldByName("SOR_PC1"), 10.0 * static_cast<double>(6 - n));
    });
    WriteLayoutTable("Skl0000", dir_.Path(), 3, [](XbDbfFile& f, long n) {
      f.PutText(f.FieldByName("SKL_KAV"), "00000" + std::to_string(n));
      f.PutText(f.FieldByName("SKL_IND"), "000");
    });
    WriteLayoutTable("UziPrava", dir_.Path(), 2);
    WriteLayoutTable("Cep0000", dir_.Path(), 2);
    data_.DataPath = dir_.Path();
    data_.StoreCode = "0000";
  }

  std::string File(const std::string& name) const { return dir_.File(name); }

  // The tags of an index file, each checked sound against its table.
  std::vector<TagFacts> TagsOf(const std::string& table, const std::string& index) {
    XbDbfFile dbf;
    dbf.Open(File(table), XbDbfFile::Options{});
    std::unique_ptr<XbCdxFile> cdx = XbCdxFile::Open(ResolveFileName(File(index)), dbf, ExpressionKeySources(dbf));
    std::vector<TagFacts> tags;
    for (const XbTagReport& r : CheckIndexFile(*cdx)) {
      EXPECT_TRUE(r.Sound()) << index << " " << r.tag << ": " << r.problems.front();
      if (!r.tag.empty()) tags.push_back({r.tag, cdx->FindTag(r.tag)->Unique(), r.keys});
    }
    return tags;
  }

  // Sor0000 open on the rebuilt index file in the order of `tag`.
  void OpenCards(const std::string& tag) {
    data_.Sor0000.SetDatabaseName(dir_.Path());
    data_.Sor0000.Open();
    data_.Sor0000.OpenIndexFile(File("Sor0000.cdx"));
    data_.Sor0000.SelectTag(tag);
  }

  TempDir dir_;
  RecordingUi ui_;
  TData data_{ui_};
};

// The shops' programs open a table's own index file by the table's name: a
// new index file takes the table file's spelling, one that is replaced keeps
// its own, and no second spelling is left beside it.
TEST_F(IndexRebuildTest, IndexFilesKeepTheNamesTheShopsLookFor) {
  auto names = [&] {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(dir_.Path()))
      if (e.path().extension() == ".CDX" || e.path().extension() == ".cdx" || e.path().extension() == ".Cdx")
        found.push_back(e.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
  };
  data_.index();  // no index file yet: the tables' spelling
  EXPECT_EQ(names(), (std::vector<std::string>{"CEP0000.CDX", "SKL0000.CDX", "SOR0000.CDX", "URS0000.CDX"}));
  fs::rename(File("SOR0000.CDX"), File("Sor0000.Cdx"));  // as another program may have named it
  data_.index();
  EXPECT_EQ(names(), (std::vector<std::string>{"CEP0000.CDX", "SKL0000.CDX", "Sor0000.Cdx", "URS0000.CDX"}));
  fs::rename(File("SOR0000.DBF"), File("Sor0000.dbf"));
  fs::remove(File("Sor0000.Cdx"));
  data_.index();
  EXPECT_EQ(names(), (std::vector<std::string>{"CEP0000.CDX", "SKL0000.CDX", "Sor0000.cdx", "URS0000.CDX"}));
}

TEST_F(IndexRebuildTest, BuildsTheTagsOfEveryTable) {
  data_.index();
  OpenCards("NAC");
  ui_.Clear();
  data_.index();  // again, with the card table open in name order

  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(TagsOf("SKL0000.DBF", "Skl0000.cdx"), (std::vector<TagFacts>{{"KAV", true, 3}}));
  // The repeated card number is in KAV once, the repeated name twice in NAC.
  EXPECT_EQ(TagsOf("SOR0000.DBF", "Sor0000.cdx"),
            (std::vector<TagFacts>{
                {"KAV", true, 4}, {"KDO", false, 5}, {"KVY", false, 5}, {"NAC", false, 5}, {"PC1", false, 5}}));
  EXPECT_EQ(TagsOf("URS0000.DBF", "Urs0000.cdx"), (std::vector<TagFacts>{{"URT", false, 2}}));
  EXPECT_EQ(TagsOf("CEP0000.DBF", "Cep0000.cdx"), (std::vector<TagFacts>{{"KAV", false, 2}, {"SKU", false, 2}}));

  // One window per table, a label per tag; the access rules have no
  // progress handler, so theirs is never shown.
  struct Window {
    std::vector<std::string> labels;
    int shows;
  };
  const Window expected[] = {{{"Tabulka stavů skladu"}, 1},
                             {kCardLabels, 5},
                             {{"Pravidla přístupu - dle úlohy "}, 0},
                             {{"Tabulka cen skupiny - dle skupiny", "Tabulka cen skupiny - dle karty"}, 2}};
  ASSERT_EQ(ui_.progressWindows.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const RecordedProgress& w = *ui_.progressWindows[i];
    SCOPED_TRACE(w.labels.front());
    EXPECT_EQ(w.labels, expected[i].labels);
    EXPECT_EQ(w.shows, expected[i].shows);
    EXPECT_TRUE(w.closed && w.destroyed);
  }
  // The card table's gauge: records done of 5, per tag.
  const std::vector<int> perTag = {20, 40, 60, 80, 100};
  std::vector<int> gauge;
  for (int tag = 0; tag < 5; ++tag) gauge.insert(gauge.end(), perTag.begin(), perTag.end());
  EXPECT_EQ(ui_.progressWindows[1]->positions, gauge);
  EXPECT_TRUE(ui_.progressWindows[2]->positions.empty());
  EXPECT_EQ(data_.ProgressWindow, nullptr);

  // Open state and order come back: the cards in name order, the variants
  // closed and without an index file.
  EXPECT_TRUE(data_.Sor0000.Active());
  EXPECT_EQ(data_.Sor0000.CurrentTagName(), "NAC");
  EXPECT_FALSE(data_.Skl0000.Active());
  data_.Skl0000.Open();
  EXPECT_EQ(data_.Skl0000.CurrentTagName(), "");
  EXPECT_TRUE(data_.Skl0000.IndexFiles.empty());
}

TEST_F(IndexRebuildTest, ATableAShopHasOpenKeepsItsIndexFile) {
  data_.index();
  SharedOpenHolder shop(File("SOR0000.DBF"));
  ASSERT_TRUE(shop.Open());
  OpenCards("KAV");
  fs::remove(File("Urs0000.cdx"));
  fs::remove(File("Cep0000.cdx"));
  const std::string before = Bytes(File("Sor0000.cdx"));
  ui_.Clear();

  data_.index();

  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Tabulka sortimentu nelze otevřít ve výhradním režimu !"});
  EXPECT_EQ(Bytes(File("Sor0000.cdx")), before);
  EXPECT_TRUE(data_.Sor0000.Active());
  EXPECT_EQ(data_.Sor0000.CurrentTagName(), "KAV");
  // The steps after it still ran.
  EXPECT_EQ(TagsOf("URS0000.DBF", "Urs0000.cdx").size(), 1u);
  EXPECT_EQ(TagsOf("CEP0000.DBF", "Cep0000.cdx").size(), 2u);
  EXPECT_EQ(ui_.progressWindows.size(), 3u);  // none for the cards: the open failed first
}

TEST_F(IndexRebuildTest, MissingTables) {
  struct Case {
    const char* what;
    std::string remove;
    std::string storeCode;
    std::string message;
  };
  const Case cases[] = {
      {"the variant table is tested with the store code, named as Skl0000", "", "0001",
       "Nenalezen soubor " + File("Skl0000.dbf")},
      {"group prices missing: named last", "CEP0000.DBF", "0000", "Nenalezen soubor " + File("Cep0000.dbf")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.remove.empty()) fs::remove(File(c.remove));
    data_.StoreCode = c.storeCode;
    ui_.Clear();
    data_.index();
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{c.message});
    EXPECT_EQ(ui_.progressWindows.size(), 3u);
  }
}

// When the index file cannot be attached again after a failed rebuild (the
// cards had none, a shop holds them open), the error is raised with the
// engine's own text and the remaining tables are not rebuilt.
TEST_F(IndexRebuildTest, AnIndexFileThatCannotBeAttachedAgainStopsTheRebuild) {
  SharedOpenHolder shop(File("SOR0000.DBF"));
  ASSERT_TRUE(shop.Open());
  data_.Sor0000.SetDatabaseName(dir_.Path());
  data_.Sor0000.Open();

  EXPECT_THROW(data_.index(), Exception);

  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Tabulka sortimentu nelze otevřít ve výhradním režimu !"});
  EXPECT_TRUE(fs::exists(File("SKL0000.CDX")));
  EXPECT_FALSE(fs::exists(File("URS0000.CDX")));
  EXPECT_TRUE(data_.Sor0000.Active());
  EXPECT_EQ(data_.Sor0000.CurrentTagName(), "");
}

}  // namespace
