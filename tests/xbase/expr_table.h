#pragma once
// A small table for expression tests: made with CreateTable in a temp dir,
// opened, and holding one blank record in its working buffer that a test
// fills field by field.

#include <cstdio>
#include <string>
#include <vector>

#include "dbf_writer.h"
#include "support/temp_dir.h"
#include "xbase/dbf_file.h"
#include "xbase/expr/expression.h"

class ExprTable {
  TempDir dir_;  // first: outlives the open table

 public:
  XbDbfFile table;

  ExprTable(const std::string& file, const std::vector<FieldSpec>& fields, bool translate = true) {
    CreateTable(dir_.File(file), fields);
    XbDbfFile::Options options;
    options.translate = translate;
    table.Open(dir_.File(file), options);
    table.BlankRecord();
  }

  void Put(const char* field, const std::string& oemText) { table.PutText(table.FieldByName(field), oemText); }

  // The value of an expression on the working buffer, as Show() writes it.
  std::string Eval(const std::string& expression) const {
    return Show(XbExpression::Parse(expression, table)->Evaluate());
  }

  // "C:text", "N:12.5", "D:20040102" ("D:" for the empty date), "L:T".
  static std::string Show(const XbValue& v) {
    char buf[64];
    switch (v.kind) {
      case XbValueKind::Text: return "C:" + v.text;
      case XbValueKind::Number:
      case XbValueKind::Integer: std::snprintf(buf, sizeof buf, "N:%.10g", v.number); return buf;
      case XbValueKind::Date: return "D:" + (v.date ? XbDate::FromJulian(v.date).ToDtos() : std::string());
      case XbValueKind::Boolean: return v.boolean ? "L:T" : "L:F";
      default: return std::string("?:") + KindName(v.kind);
    }
  }
};
