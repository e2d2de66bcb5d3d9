// The table object's finding of records by field values: Locate (through a
// tag whose key begins with the fields, else by reading the records) and
// SeekKeyValues (a key built from values in the current tag).

#include <cstdio>

#include "xbase/ascii.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/codepage.h"
#include "xbase/expr/expression.h"
#include "xbase/field_codec.h"
#include "xbase/scope_guard.h"
#include "xbase/table/dbf_table.h"
#include "xbase/table/table_messages.h"

namespace {

// A value as the text a field write from text takes.
std::string ValueText(const TValue& v) {
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  if (auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v)) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", *d);
    return buf;
  }
  if (auto* b = std::get_if<bool>(&v)) return *b ? "T" : "F";
  if (auto* dt = std::get_if<XbDate>(&v)) return dt->ToDtos();
  return {};
}

std::vector<std::string> SplitNames(const std::string& names) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= names.size()) {
    size_t semi = names.find(';', start);
    if (semi == std::string::npos) semi = names.size();
    std::string name(codec::Trim(std::string_view(names).substr(start, semi - start)));
    if (!name.empty()) out.push_back(name);
    start = semi + 1;
  }
  return out;
}

// The encoded key an expression gives on a record image.
std::string KeyFromExpression(const XbExpression& expr, const char* record) {
  return EncodeKeyValue(expr.Evaluate(record, 0));
}

}  // namespace

bool TDbfTable::SeekKeyValues(const std::vector<TValue>& values) {
  if (!ReadyToSeek()) return false;
  bool found = false;
  Scroll([&] {
    long remembered = shown_;
    {
      XbOnFailure back([&] { handler_->GoToRecord(remembered); });
      std::unique_ptr<XbExpression> expr = XbExpression::Parse(tag_->KeyExpression(), *file_);
      std::string names;
      for (size_t i = 0; i < values.size() && i < expr->Fields().size(); ++i) names += expr->Fields()[i] + ";";
      std::vector<const XbField*> named;
      std::string record = RecordWithValues(names, values, named);
      bool atEnd;
      found = FindInTag(*tag_, KeyFromExpression(*expr, record.data()), false, false, &atEnd);
    }
    if (found) ShowEngineRecord();
    else handler_->GoToRecord(remembered);
  });
  return found;
}

XbCdxTag* TDbfTable::TagForFields(const std::string& fieldNames) {
  std::string wanted;
  for (const std::string& name : SplitNames(fieldNames)) wanted += AsciiUpper(name) + ";";
  auto matches = [&](XbCdxTag* tag) {
    if (!tag || tag->HasFilter()) return false;
    std::string list = XbExpression::Parse(tag->KeyExpression(), *file_)->FieldList();
    if (list.size() > wanted.size()) list.resize(wanted.size());
    return list == wanted;
  };
  if (matches(tag_)) return tag_;
  for (const auto& f : indexes_->Files())
    for (const auto& t : f->Tags())
      if (matches(t.get())) return t.get();
  return nullptr;
}

std::string TDbfTable::RecordWithValues(const std::string& fieldNames, const std::vector<TValue>& values,
                                        std::vector<const XbField*>& named) {
  XbDbfFile& file = *file_;
  const Codepage& cp = Codepage::Instance();
  file.BlankRecord();
  named.clear();
  std::vector<std::string> names = SplitNames(fieldNames);
  for (size_t i = 0; i < names.size(); ++i) {
    const XbField& f = file.FieldByName(names[i]);
    named.push_back(&f);
    std::string text = i < values.size() ? ValueText(values[i]) : std::string();
    std::string ansi = cp.Utf8ToAnsi(text);
    std::string disk = translate_ ? cp.AnsiToOem(ansi) : ansi;
    if (f.type == 'N' || f.type == 'F') file.PutNumberText(f, disk);
    else if (f.type == 'L') file.PutLogicalText(f, disk);
    else file.PutText(f, disk);
  }
  return std::string(file.Buffer(), static_cast<size_t>(file.RecordLength()));
}

long TDbfTable::ScanFor(const std::vector<const XbField*>& named, const std::string& wanted, int options) {
  XbDbfFile& file = *file_;
  const Codepage& cp = Codepage::Instance();
  auto upper = [&](std::string_view text) {
    return translate_ ? cp.OemUpper(text) : Codepage::AnsiUpper(text);
  };
  std::vector<std::string> want;
  for (const XbField* f : named) {
    std::string text(codec::TrimRight(std::string_view(wanted).substr(f->offset, f->length)));
    want.push_back(options & loCaseInsensitive ? upper(text) : text);
  }
  // The scan reads through the read-ahead window; the setting comes back.
  XbOnExit readAheadBack([&file, readAhead = file.ReadAhead()] { file.SetReadAhead(readAhead); });
  file.SetReadAhead(true);
  long count = file.RecordCount();
  for (long n = 1; n <= count; ++n) {
    file.GoTo(n);
    if (!useDeleted_ && file.IsDeleted()) continue;
    bool all = true;
    for (size_t i = 0; i < named.size() && all; ++i) {
      std::string text(codec::TrimRight(file.RawField(*named[i])));
      if (options & loCaseInsensitive) text = upper(text);
      if ((options & loPartialKey) && i + 1 == named.size() && text.size() > want[i].size())
        text.resize(want[i].size());
      all = text == want[i];
    }
    if (all) return n;
  }
  return 0;
}

bool TDbfTable::Locate(const std::string& fieldNames, const std::vector<TValue>& values, int options) {
  CheckActive();
  CheckBrowseMode();
  long remembered = shown_;
  long found = 0;
  {
    XbOnFailure back([&] {
      if (remembered != 0) handler_->GoToRecord(remembered);
    });
    std::vector<const XbField*> named;
    std::string wanted = RecordWithValues(fieldNames, values, named);
    XbCdxTag* tag = !tag_ || !tag_->HasRange() ? TagForFields(fieldNames) : nullptr;
    if (tag) {
      bool atEnd;
      auto expr = XbExpression::Parse(tag->KeyExpression(), *file_);
      if (FindInTag(*tag, KeyFromExpression(*expr, wanted.data()), !(options & loPartialKey), false, &atEnd))
        found = file_->RecNo();
    } else {
      found = ScanFor(named, wanted, options);
    }
  }
  if (found == 0) {
    if (remembered != 0) handler_->GoToRecord(remembered);
    return false;
  }
  Scroll([&] {
    handler_->GoToRecord(found);
    ShowEngineRecord();
  });
  return true;
}
