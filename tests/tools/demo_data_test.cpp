// The demo data set: every table of the program exists with its declared
// fields, and the store list points at the stores' directories.

#include "demo_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "data/table_layouts.h"
#include "support/temp_dir.h"
#include "xbase/codepage.h"
#include "xbase/dbf_file.h"
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

TEST(DemoData, EveryTableHasItsDeclaredFields) {
  TempDir dir;
  WriteDemoData(dir.Path(), DemoSize{200, 3});
  namespace fs = std::filesystem;
  fs::path data = fs::path(dir.Path()) / "data";
  for (const TableLayout& layout : AllTableLayouts())
    if (layout.dir == TableDir::Data) ExpectLayout((data / layout.file).string(), layout);

  XbDbfFile stores;
  stores.Open((data / "CES0000.DBF").string(), {});
  ASSERT_EQ(stores.RecordCount(), 3);
  for (long n = 1; n <= 3; ++n) {
    stores.GoTo(n);
    std::string storeDir = Text(stores, "SOR_CES");
    std::string code = Text(stores, "SOR_JED");
    EXPECT_EQ(storeDir.back(), '/');
    EXPECT_EQ(Text(stores, "SOR_SOR"), "SOR_S0" + std::to_string(n));
    for (const char* object : {"Sortiment", "Sklad", "PrecHlav", "PrecPol", "Denik", "Ciselnik"})
      ExpectLayout(storeDir + TableLayoutOf(object).FileFor(code), TableLayoutOf(object));
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

}  // namespace
