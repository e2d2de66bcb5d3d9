// The ordered operations of the table object: finding records by field
// values, seeking keys, ranges, index files and tags.

#include <cctype>
#include <cstdio>

#include "xbase/ascii.h"
#include "xbase/cdx/collation.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/cdx/key_encoding.h"
#include "xbase/codepage.h"
#include "xbase/expr/expression.h"
#include "xbase/tag_order.h"
#include "xbase/cdx/cdx_messages.h"
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


// The encoded key an expression gives on a record image.
std::string KeyFromExpression(const XbExpression& expr, const char* record) {
  return EncodeKeyValue(expr.Evaluate(record, 0));
}

[[noreturn]] void NoIndex() { throw EDatabaseError("No index is assigned for Find operation"); }

}  // namespace

// --- index files and tags ---

void TDbfTable::UseTag(XbCdxTag* tag) {
  bool hadTag = tag_ != nullptr;
  tag_ = tag;
  handler_->SetOrder(tag ? std::make_unique<XbTagOrder>(*tag) : nullptr);
  // Natural order chosen after a tag reads through the read-ahead window.
  file_->SetReadAhead(!tag && hadTag);
}

std::string TDbfTable::CurrentTagName() const { return tag_ ? tag_->Name() : std::string(); }

int TDbfTable::OpenIndexFile(const std::string& path) {
  CheckActive();
  if (indexes_->Find(path)) return -1;
  indexes_->Open(path);
  file_->SetIndexOpen(true);
  return 0;
}

void TDbfTable::CloseIndexFile(const std::string& path) {
  CheckActive();
  XbCdxFile* file = indexes_->Find(path);
  if (!file) return;
  if (tag_ && &tag_->File() == file) {
    tag_->ClearRange();
    UseTag(nullptr);
    if (shown_ != 0) handler_->GoToRecord(shown_);
  }
  indexes_->Close(path);
  file_->SetIndexOpen(!indexes_->Files().empty());
}

void TDbfTable::CreateIndexTag(const std::string& file, const std::string& tag, const std::string& keyExpr,
                               const std::string& forExpr, int duplicates, int order) {
  CheckActive();
  CheckBrowseMode();
  busy_ = true;
  DisableControls();
  auto finish = [&] {
    busy_ = false;
    EnableControls();
    First();
  };
  try {
    if (tag_) tag_->ClearRange();
    UseTag(nullptr);
    indexes_->CloseAll();
    file_->SetIndexOpen(false);
    if (codec::Trim(tag).empty()) ThrowDbf(msg::kCannotFindTag, {tag});
    XbCdxFile& index = indexes_->OpenOrCreate(file);
    XbBuildProgress progress;
    if (OnStatus) progress = [this](int s1, long s2, long s3) { OnStatus(s1, static_cast<int>(s2), static_cast<int>(s3)); };
    index.CreateTag(tag, keyExpr, forExpr, duplicates == 0, order == 1 || order == 8, progress);
    indexes_->Close(file);
  } catch (...) {
    indexes_->CloseAll();
    finish();
    throw;
  }
  finish();
}

void TDbfTable::SelectTag(const std::string& tag) {
  CheckActive();
  indexName_ = tag;
  CheckBrowseMode();
  XbCdxTag* found = nullptr;
  std::string name = AsciiUpper(std::string(codec::Trim(tag)));
  if (!name.empty()) {
    found = indexes_->FindTag(name);
    if (!found) ThrowDbf(msg::kCannotFindTag, {tag});
  }
  if (tag_) tag_->ClearRange();
  UseTag(found);
  Fire(BeforeScroll);
  long shown = shown_;
  bool placed = handler_->First();
  if (placed && shown != 0) {
    placed = handler_->GoToRecord(shown) && !handler_->Hidden();
    if (!placed) placed = handler_->First();
  }
  if (placed) ShowEngineRecord();
  else ShowNothing();
  Fire(AfterScroll);
  Notify(&TDataSetObserver::DataSetChanged);
}

// --- seeks ---

std::optional<std::string> TDbfTable::SearchKey(const XbCdxTag& tag, const std::string& text) const {
  const Codepage& cp = Codepage::Instance();
  std::string ansi = cp.Utf8ToAnsi(text);
  std::string disk = translate_ ? cp.AnsiToOem(ansi) : ansi;
  if (tag.KeyType() == XbKeyType::Numeric && disk.find('.') == std::string::npos)
    for (char& c : disk)
      if (c == ',') c = '.';
  return cdx::SearchKeyFromText(disk, tag.KeyType(), '.');
}

bool TDbfTable::FindInTag(XbCdxTag& tag, const std::string& key, bool exact, bool last, bool* atEnd) {
  *atEnd = false;
  long recno = last ? tag.FindLast(key, !exact) : tag.FindFirst(key, !exact);
  // A hidden record is stepped over: forward for the first key, backward
  // for the last, so an earlier visible record with the key is found.
  while (recno != 0) {
    file_->GoTo(recno);
    if (!handler_->Hidden()) break;
    recno = last ? tag.Previous() : tag.Next();
  }
  if (recno == 0) {
    *atEnd = true;
    return false;
  }
  return cdx::CompareSearch(key, tag.CurrentKey(), tag.Format().Character(),
                            exact ? cdx::PrefixRule::Exact : cdx::PrefixRule::Partial) == 0;
}

bool TDbfTable::Seek(const std::string& key, bool exact, bool near, bool last) {
  CheckActive();
  CheckBrowseMode();
  if (!tag_) NoIndex();
  if (file_->RecordCount() == 0 || shown_ == 0) return false;
  Fire(BeforeScroll);
  std::optional<std::string> search = SearchKey(*tag_, key);
  bool atEnd = true;
  bool found = search && FindInTag(*tag_, *search, exact, last, &atEnd);
  if (found || (near && !atEnd)) {
    ShowEngineRecord();
  } else {
    if (handler_->Last()) ShowEngineRecord();
    else ShowNothing();
    eof_ = true;
  }
  Fire(AfterScroll);
  Notify(&TDataSetObserver::DataSetScrolled);
  return found;
}

bool TDbfTable::SeekKey(const std::string& key, bool exact, bool near) { return Seek(key, exact, near, false); }

bool TDbfTable::SeekLastKey(const std::string& key, bool exact, bool near) { return Seek(key, exact, near, true); }

bool TDbfTable::SeekKeyValues(const std::vector<TValue>& values) {
  CheckActive();
  CheckBrowseMode();
  if (!tag_) NoIndex();
  if (file_->RecordCount() == 0 || shown_ == 0) return false;
  Fire(BeforeScroll);
  long remembered = shown_;
  bool found = false;
  try {
    std::unique_ptr<XbExpression> expr = XbExpression::Parse(tag_->KeyExpression(), *file_);
    std::string names;
    for (size_t i = 0; i < values.size() && i < expr->Fields().size(); ++i) names += expr->Fields()[i] + ";";
    std::vector<const XbField*> named;
    std::string record = RecordWithValues(names, values, named);
    bool atEnd;
    found = FindInTag(*tag_, KeyFromExpression(*expr, record.data()), false, false, &atEnd);
  } catch (...) {
    handler_->GoToRecord(remembered);
    throw;
  }
  if (found) ShowEngineRecord();
  else handler_->GoToRecord(remembered);
  Fire(AfterScroll);
  Notify(&TDataSetObserver::DataSetScrolled);
  return found;
}

void TDbfTable::SetKeyRange(const std::string& low, const std::string& high) {
  CheckActive();
  CheckBrowseMode();
  if (!tag_) return;
  std::optional<std::string> lowKey, highKey;
  if (!low.empty()) lowKey = SearchKey(*tag_, low);
  if (!high.empty()) highKey = SearchKey(*tag_, high);
  if (!tag_->SetRange(lowKey, highKey, true, true, cdx::PrefixRule::Exact)) return;
  ShowFirstOfOrder();
}

void TDbfTable::ShowFirstOfOrder() {
  Fire(BeforeScroll);
  if (handler_->First()) ShowEngineRecord();
  else ShowNothing();
  bof_ = true;
  Fire(AfterScroll);
  Notify(&TDataSetObserver::DataSetChanged);
}

void TDbfTable::RefreshTable() {
  CheckActive();
  CheckBrowseMode();
  if (shown_ != 0) handler_->GoToRecord(shown_);
  file_->MarkHeaderDirty();
  file_->Flush();
  indexes_->Flush();
  if (tag_ && shown_ != 0) tag_->GoToRecord(file_->Buffer(), shown_);
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
    XbCdxTag* tag = !tag_ || !tag_->HasRange() ? TagForFields(fieldNames) : nullptr;
    if (tag) {
      bool atEnd;
      auto expr = XbExpression::Parse(tag->KeyExpression(), *file_);
      if (FindInTag(*tag, KeyFromExpression(*expr, wanted.data()), !(options & loPartialKey), false, &atEnd))
        found = file_->RecNo();
    } else {
      found = ScanFor(named, wanted, options);
    }
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
