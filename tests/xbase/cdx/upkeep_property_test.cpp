// Random appends, updates and deletions on a table with several tags, against
// a simple model of what each tag must hold; the checker must find every
// index sound along the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "cdx_test_util.h"
#include "support/temp_dir.h"
#include "test_key_source.h"
#include "xbase/cdx/cdx_checker.h"
#include "xbase/cdx/collation.h"
#include "xbase/cdx/index_set.h"
#include "xbase/codepage.h"

namespace {

struct TagDef {
  const char* name;
  const char* key;
  const char* filter;
  bool unique, descending;
};

const TagDef kTags[] = {
    {"KAV", "KAV", "", true, false},          {"NAC", "UPPER(NAC)", "", false, false},
    {"NOTE", "NOTE", "", false, false},       {"PC1", "PC1", "", false, false},
    {"DAT", "DAT", "", false, false},         {"OLD", "KAV", "OLD", false, false},
    {"DES", "NAC+KAV", "", false, true},
};

// What each tag must hold, given the record images as written. Unique tags
// follow the upkeep rule: an entry leaves with its record's key, and a key
// already present is not taken again.
class Model {
 public:
  explicit Model(const XbDbfFile& table) {
    for (const TagDef& t : kTags) sources_.push_back(MakeTestKeySource(table, t.key, t.filter));
    unique_.resize(std::size(kTags));
  }

  void Appended(long recno, const std::string& record) {
    records_.push_back(record);
    for (size_t t = 0; t < std::size(kTags); ++t) {
      if (!kTags[t].unique) continue;
      std::string key = sources_[t]->Key(record.data(), recno);
      unique_[t].emplace(key, recno);  // no-op when the key is present
    }
  }

  void Updated(long recno, const std::string& record) {
    std::string before = records_[recno - 1];
    records_[recno - 1] = record;
    for (size_t t = 0; t < std::size(kTags); ++t) {
      if (!kTags[t].unique) continue;
      std::string oldKey = sources_[t]->Key(before.data(), recno);
      std::string newKey = sources_[t]->Key(record.data(), recno);
      auto& held = unique_[t];
      auto it = held.find(oldKey);
      bool found = it != held.end() && it->second == recno;
      if (newKey != oldKey && found) held.erase(it);
      if (newKey != oldKey || !found) held.emplace(newKey, recno);
    }
  }

  // The record numbers of a tag in walk order.
  std::vector<long> Order(size_t t) const {
    std::vector<std::pair<std::string, long>> entries;
    if (kTags[t].unique) {
      entries.assign(unique_[t].begin(), unique_[t].end());
    } else {
      for (size_t i = 0; i < records_.size(); ++i) {
        long recno = static_cast<long>(i + 1);
        if (sources_[t]->Includes(records_[i].data(), recno))
          entries.emplace_back(sources_[t]->Key(records_[i].data(), recno), recno);
      }
    }
    bool character = sources_[t]->Type() == XbKeyType::Character;
    std::sort(entries.begin(), entries.end(), [character](const auto& a, const auto& b) {
      int c = cdx::CompareKeys(a.first, b.first, character);
      return c != 0 ? c < 0 : a.second < b.second;
    });
    std::vector<long> order;
    for (const auto& e : entries) order.push_back(e.second);
    if (kTags[t].descending) std::reverse(order.begin(), order.end());
    return order;
  }

  size_t Size() const { return records_.size(); }

 private:
  std::vector<std::unique_ptr<XbKeySource>> sources_;
  std::vector<std::string> records_;
  std::vector<std::map<std::string, long>> unique_;
};

class UpkeepProperty : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    CreateTable(dir.File("P.DBF"), {{"KAV", 'C', 6},
                                    {"NAC", 'C', 20},
                                    {"NOTE", 'C', 60},
                                    {"PC1", 'N', 10, 2},
                                    {"DAT", 'D', 8},
                                    {"OLD", 'L', 1}});
    dbf.Open(dir.File("P.DBF"), XbDbfFile::Options{});
    random.seed(GetParam());
  }

  std::string Pick(const std::vector<std::string>& pool) { return pool[random() % pool.size()]; }
  std::string Value(const std::string& field) {
    static const std::vector<std::string> names = [] {
      std::vector<std::string> v;
      for (const char* n : {"čaj", "Čaj", "cukr", "CUKR", "dort", "Ďábel", "zelí", "žito", "Adam", "ádám",
                            "řepa", "Řím", "sůl", "šunka", "", " mezera", "ovoce", "Ovoce ", "tuňák", "ŽITO"})
        v.push_back(Codepage::Instance().Utf8ToOem(n));
      return v;
    }();
    if (field == "KAV") return std::to_string(100000 + random() % (model->Size() / 2 + 5));
    if (field == "NAC") return Pick(names);
    if (field == "NOTE") {
      std::string s(30 + random() % 31, ' ');
      for (char& c : s) c = static_cast<char>('A' + random() % 26);
      return s;
    }
    if (field == "PC1") return std::to_string(static_cast<int>(random() % 2001) - 1000) + ".5";
    if (field == "DAT") {
      if (random() % 5 == 0) return "        ";
      char d[16];
      std::snprintf(d, sizeof d, "%04d%02d%02d", 1990 + static_cast<int>(random() % 30),
                    1 + static_cast<int>(random() % 12), 1 + static_cast<int>(random() % 28));
      return d;
    }
    return random() % 3 == 0 ? "T" : "F";
  }

  std::string Record() const { return std::string(dbf.Buffer(), static_cast<size_t>(dbf.RecordLength())); }

  void Append() {
    std::vector<std::pair<std::string, std::string>> values;
    for (const char* f : {"KAV", "NAC", "NOTE", "PC1", "DAT", "OLD"}) values.emplace_back(f, Value(f));
    AppendRow(dbf, values);
    model->Appended(dbf.RecNo(), Record());
  }

  void Update(long recno, const std::vector<std::pair<std::string, std::string>>& values) {
    UpdateRow(dbf, recno, values);
    model->Updated(recno, Record());
  }

  void RandomOps(int count) {
    const char* fields[] = {"KAV", "NAC", "NOTE", "PC1", "DAT", "OLD"};
    for (int i = 0; i < count; ++i) {
      unsigned op = random() % 20;
      if (op < 8 || model->Size() < 10) {
        Append();
      } else if (op < 17) {
        std::vector<std::pair<std::string, std::string>> values;
        for (unsigned n = 1 + random() % 3; n > 0; --n) {
          std::string f = fields[random() % 6];
          values.emplace_back(f, Value(f));
        }
        Update(1 + static_cast<long>(random() % model->Size()), values);
      } else {
        dbf.GoTo(1 + static_cast<long>(random() % model->Size()));
        if (op == 17) dbf.Recall();
        else dbf.Delete();
        model->Updated(dbf.RecNo(), Record());
      }
    }
  }

  void ExpectAsModel(const char* when) {
    SCOPED_TRACE(when);
    for (size_t t = 0; t < std::size(kTags); ++t) {
      XbCdxTag& tag = *cdx->FindTag(kTags[t].name);
      std::vector<long> expected = model->Order(t);
      EXPECT_EQ(WalkForward(tag), expected) << kTags[t].name;
      std::reverse(expected.begin(), expected.end());
      EXPECT_EQ(WalkBackward(tag), expected) << kTags[t].name;
    }
    for (const XbTagReport& r : CheckIndexFile(*cdx)) {
      EXPECT_TRUE(r.Sound()) << r.tag << ": " << r.problems.front();
      if (!r.tag.empty()) {
        EXPECT_TRUE(r.contentChecked) << r.tag;
      }
    }
  }

  TempDir dir;
  XbDbfFile dbf;
  std::mt19937 random;
  std::unique_ptr<Model> model;
  std::unique_ptr<XbIndexSet> set;
  XbCdxFile* cdx = nullptr;
};

TEST_P(UpkeepProperty, TagsFollowEveryWrite) {
  model = std::make_unique<Model>(dbf);
  for (int i = 0; i < 40; ++i) Append();
  set = std::make_unique<XbIndexSet>(dbf, TestKeySources(dbf));
  cdx = &set->OpenOrCreate("P");
  for (const TagDef& t : kTags) cdx->CreateTag(t.name, t.key, t.filter, t.unique, t.descending);

  RandomOps(1500);
  ExpectAsModel("after random writes");

  // Move most long keys to the far end, so that whole leaves and interior
  // nodes run empty, and take every record out of the filtered tag.
  for (long r = 1; r <= static_cast<long>(model->Size()); ++r) {
    dbf.GoTo(r);
    std::string note(dbf.RawField(dbf.FieldByName("NOTE")));
    if (note[0] < 'T') Update(r, {{"NOTE", "z" + note}, {"OLD", "F"}});
    else Update(r, {{"OLD", "F"}});
  }
  ExpectAsModel("after emptying nodes");

  RandomOps(700);
  ExpectAsModel("after writing into emptied nodes");
}

INSTANTIATE_TEST_SUITE_P(Seeds, UpkeepProperty, ::testing::Values(1u, 2u, 3u));

}  // namespace
