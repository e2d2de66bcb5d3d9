// The demo data set: every table of the program exists with its declared
// fields, and the store list points at the stores' directories.

#include "demo_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "data/table_layouts.h"
#include "support/temp_dir.h"
#include "xbase/cdx/cdx_checker.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/codepage.h"
#include "xbase/dbf_file.h"
#include "xbase/file_names.h"
#include "xbase/field_codec.h"

namespace {

// The value kind the table object gives a field of this type and size.
FieldKind KindOf(const XbField& f) {
  switch (f.type) {
    case 'L': return FieldKind::Boolean;
    case 'D': return FieldKind::Date;
    case 'N':
    case 'F':
      if (f.decimals > 0) return FieldKind::Float;
      return f.length < 5 ? FieldKind::Smallint : FieldKind::Integer;
    default: return FieldKind::String;
  }
}

void ExpectLayout(const std::string& file, const TableLayout& layout) {
  SCOPED_TRACE(file);
  XbDbfFile t;
  XbDbfFile::Options o;
  o.writable = false;
  ASSERT_NO_THROW(t.Open(file, o));
  for (const FieldDecl& decl : layout.fields) {
    if (!decl.Stored()) continue;
    const XbField* f = t.FindField(decl.name);
    ASSERT_NE(f, nullptr) << decl.name;
    EXPECT_EQ(KindOf(*f), decl.kind) << decl.name;
    if (decl.kind == FieldKind::String) {
      EXPECT_EQ(f->length, decl.width) << decl.name;
    }
  }
}

std::string Text(const XbDbfFile& t, const char* field) {
  return Codepage::Instance().OemToUtf8(codec::TrimRight(t.RawField(t.FieldByName(field))));
}

struct Store {
  std::string dir, code;
};

// The stores of the store list: directory and store code.
std::vector<Store> StoresOf(const std::string& dataDir) {
  XbDbfFile stores;
  stores.Open(dataDir + "/CES0000.DBF", {});
  std::vector<Store> out;
  for (long n = 1; n <= stores.RecordCount(); ++n) {
    stores.GoTo(n);
    out.push_back(Store{Text(stores, "SOR_CES"), Text(stores, "SOR_JED")});
  }
  return out;
}

// The index file has exactly the layout's tags, each sound against the
// table and compared with its records, and the table knows of the file.
void ExpectIndex(const std::string& table, const std::string& index, const TableLayout& layout) {
  SCOPED_TRACE(index);
  XbDbfFile t;
  XbDbfFile::Options o;
  o.writable = false;
  t.Open(table, o);
  std::unique_ptr<XbCdxFile> cdx;
  ASSERT_NO_THROW(cdx = XbCdxFile::Open(ResolveFileName(index), t, ExpressionKeySources(t)));
  EXPECT_EQ(t.TableFlags() & 0x01, 0x01) << "structural index flag";
  ASSERT_EQ(cdx->Tags().size(), layout.tags.size());
  for (const TagDecl& decl : layout.tags) {
    XbCdxTag* tag = cdx->FindTag(decl.name);
    ASSERT_NE(tag, nullptr) << decl.name;
    EXPECT_EQ(tag->KeyExpression(), decl.expression);
    EXPECT_EQ(tag->Unique(), decl.unique) << decl.name;
    EXPECT_FALSE(tag->HasFilter() || tag->Descending()) << decl.name;
  }
  for (const XbTagReport& r : CheckIndexFile(*cdx)) {
    EXPECT_TRUE(r.Sound()) << r.tag << ": " << r.problems.front();
    EXPECT_TRUE(r.differences.empty()) << r.tag << ": " << r.differences.front();
    if (!r.tag.empty()) {
      EXPECT_TRUE(r.contentChecked) << r.tag << ": " << r.note;
    }
  }
}

TEST(DemoData, EveryTableHasItsDeclaredFields) {
  TempDir dir;
  WriteDemoData(dir.Path(), DemoSize{200, 3});
  namespace fs = std::filesystem;
  fs::path data = fs::path(dir.Path()) / "data";
  for (const TableLayout& layout : AllTableLayouts())
    if (layout.dir == TableDir::Data) ExpectLayout((data / layout.file).string(), layout);

  XbDbfFile stores;
  stores.Open((data / "CES0000.DBF").string(), {});
  // Three stores and one whose card table is missing.
  ASSERT_EQ(stores.RecordCount(), 4);
  for (long n = 1; n <= 4; ++n) {
    stores.GoTo(n);
    std::string storeDir = Text(stores, "SOR_CES");
    std::string code = Text(stores, "SOR_JED");
    EXPECT_EQ(storeDir.back(), '/');
    EXPECT_EQ(Text(stores, "SOR_SOR"), "SOR_S0" + std::to_string(n));
  }
  for (const Store& store : StoresOf(data.string())) {
    bool withCards = store.code != "0004";
    EXPECT_EQ(fs::exists(store.dir + TableLayoutOf("Sortiment").FileFor(store.code)), withCards) << store.code;
    for (const char* object : {"Sortiment", "Sklad", "PrecHlav", "PrecPol", "Denik", "Ciselnik"})
      if (withCards || std::string(object) == "Sklad")
        ExpectLayout(store.dir + TableLayoutOf(object).FileFor(store.code), TableLayoutOf(object));
  }
  for (const char* object : {"Sortiment", "Sklad"})
    ExpectLayout(dir.Path() + "/import/" + TableLayoutOf(object).FileFor("0001"), TableLayoutOf(object));

  XbDbfFile users;
  users.Open((data / "USR0000.DBF").string(), {});
  std::vector<std::string> logins;
  for (long n = 1; n <= users.RecordCount(); ++n) {
    users.GoTo(n);
    logins.push_back(Text(users, "USR_LNA"));
  }
  EXPECT_NE(std::find(logins.begin(), logins.end(), "ADMIN"), logins.end());
  EXPECT_NE(std::find(logins.begin(), logins.end(), DemoLoginName()), logins.end());

  std::ifstream ini(dir.Path() + "/DataSor.ini");
  std::stringstream text;
  text << ini.rdbuf();
  EXPECT_NE(text.str().find("CestaData=" + data.string() + "\r\n"), std::string::npos);
}

// Every index file of the layouts, built by the engine over the demo
// records: master tables, each store's tables and the import set's cards.
TEST(DemoData, EveryIndexFileHoldsItsTagsSound) {
  TempDir dir;
  WriteDemoData(dir.Path(), DemoSize{300, 2});
  std::string data = dir.Path() + "/data/";
  int files = 0;
  for (const TableLayout& layout : AllTableLayouts()) {
    if (layout.indexFile.empty()) continue;
    if (layout.dir == TableDir::Data) {
      ExpectIndex(data + layout.file, data + layout.indexFile, layout);
      ++files;
      continue;
    }
    for (const Store& store : StoresOf(data)) {
      // The store without its card table has only its (empty) variant table.
      if (store.code == "0003" && layout.object != "Sklad") continue;
      ExpectIndex(store.dir + layout.FileFor(store.code), store.dir + layout.IndexFileFor(store.code), layout);
      ++files;
    }
  }
  const TableLayout& cards = TableLayoutOf("Sortiment");
  std::string import = dir.Path() + "/import/";
  ExpectIndex(import + cards.FileFor("0001"), import + cards.IndexFileFor("0001"), cards);
  EXPECT_EQ(files, 4 + 5 * 2 + 1);
  EXPECT_FALSE(std::filesystem::exists(import + TableLayoutOf("Sklad").IndexFileFor("0001")))
      << "the import reads its variants in file order";
}

}  // namespace
