// The ordered operations of the table object: finding records by field
// values, seeking keys, ranges, index files and tags.

#include <cstdio>

#include "xbase/codepage.h"
#include "xbase/errors.h"
#include "xbase/field_codec.h"
#include "xbase/table/dbf_table.h"

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

}  // namespace

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
  bool readAhead = file.ReadAhead();
  file.SetReadAhead(true);
  long found = 0;
  try {
    long count = file.RecordCount();
    for (long n = 1; n <= count && found == 0; ++n) {
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
      if (all) found = n;
    }
  } catch (...) {
    file.SetReadAhead(readAhead);
    throw;
  }
  file.SetReadAhead(readAhead);
  return found;
}

bool TDbfTable::Locate(const std::string& fieldNames, const std::vector<TValue>& values, int options) {
  CheckActive();
  CheckBrowseMode();
  long remembered = shown_;
  long found = 0;
  try {
    std::vector<const XbField*> named;
    std::string wanted = RecordWithValues(fieldNames, values, named);
    found = ScanFor(named, wanted, options);
  } catch (...) {
    if (remembered != 0) handler_->GoToRecord(remembered);
    throw;
  }
  if (found == 0) {
    if (remembered != 0) handler_->GoToRecord(remembered);
    return false;
  }
  Fire(BeforeScroll);
  handler_->GoToRecord(found);
  ShowEngineRecord();
  Fire(AfterScroll);
  Notify(&TDataSetObserver::DataSetScrolled);
  return true;
}
