// Field access of XbDbfFile: lookup by name, and reading and writing values
// in the working buffer by the encodings of the table files.

#include <algorithm>
#include <cctype>
#include <cmath>

#include "xbase/ascii.h"
#include "xbase/dbf_file.h"
#include "xbase/errors.h"
#include "xbase/field_codec.h"

namespace {
bool IsNumericType(char t) { return t == 'N' || t == 'F'; }
}  // namespace

const XbField* XbDbfFile::FindField(std::string_view name) const {
  name = codec::TrimRight(name);
  for (const XbField& f : fields_)
    if (EqualNoCase(f.name, name)) return &f;
  return nullptr;
}

const XbField& XbDbfFile::FieldByName(std::string_view name) const {
  if (const XbField* f = FindField(name)) return *f;
  ThrowDbf(msg::kNoFieldName, {file_.Name() + "->" + std::string(name)});
}

std::string XbDbfFile::FieldLabel(const XbField& f) const { return tableName_ + "->" + f.name; }

std::string_view XbDbfFile::RawField(const XbField& f) const {
  return std::string_view(buffer_.data() + f.offset, static_cast<size_t>(f.length));
}

double XbDbfFile::GetNumber(const XbField& f) const {
  std::string_view raw = RawField(f);
  std::optional<double> v = codec::ParseNumber(raw);
  if (!v) ThrowDbf(msg::kInvalidNumeric, {FieldLabel(f) + " (" + std::string(codec::TrimRight(raw)) + ")"});
  return *v;
}

bool XbDbfFile::GetLogical(const XbField& f) const { return codec::IsTrueLetter(buffer_[f.offset]); }

std::optional<XbDate> XbDbfFile::GetDate(const XbField& f) const { return XbDate::FromDtos(RawField(f)); }

void XbDbfFile::MarkChanged(const XbField& f) {
  changed_[f.number - 1] = true;
  recordChanged_ = true;
}

void XbDbfFile::FillField(const XbField& f, std::string_view text, bool alignRight) {
  char* dst = buffer_.data() + f.offset;
  size_t width = static_cast<size_t>(f.length);
  std::fill(dst, dst + width, ' ');
  size_t n = std::min(text.size(), width);
  std::copy(text.begin(), text.begin() + n, alignRight ? dst + width - n : dst);
  MarkChanged(f);
}

void XbDbfFile::PutText(const XbField& f, std::string_view oemText) {
  bool left = f.type == 'C' || f.type == 'D' || f.type == 'L';
  FillField(f, oemText, !left);
}

void XbDbfFile::PutNumber(const XbField& f, double value) {
  if (!IsNumericType(f.type)) ThrowDbf(msg::kIncorrectType, {f.name});
  std::string text = std::isfinite(value) ? codec::FormatNumber(value, f.decimals) : std::string(f.length + 1, '*');
  if (static_cast<int>(text.size()) > f.length) ThrowDbf(msg::kNumericTooBig, {f.name + " - " + text});
  FillField(f, text, true);
}

void XbDbfFile::PutNumberText(const XbField& f, std::string_view text) {
  std::optional<double> v = codec::ParseNumber(codec::TrimRight(text));
  if (!v) ThrowDbf(msg::kInvalidValue, {"Number", f.name});
  PutNumber(f, *v);
}

void XbDbfFile::PutLogical(const XbField& f, bool value) {
  if (f.type != 'L') ThrowDbf(msg::kInvalidValue, {"Logical", f.name});
  FillField(f, value ? "T" : "F", false);
}

void XbDbfFile::PutLogicalText(const XbField& f, std::string_view text) {
  char c = text.empty() ? 'F' : text[0];
  if (codec::IsTrueLetter(c)) return PutLogical(f, true);
  if (codec::IsFalseLetter(c)) return PutLogical(f, false);
  std::optional<double> v = codec::ParseNumber(text);
  if (!v) ThrowDbf(msg::kInvalidValue, {"Logical", f.name});
  PutLogical(f, *v != 0);
}

void XbDbfFile::PutDate(const XbField& f, const std::optional<XbDate>& date) {
  FillField(f, date ? date->ToDtos() : std::string(8, ' '), false);
}

void XbDbfFile::BlankRecord() {
  std::fill(buffer_.begin(), buffer_.end(), ' ');
  for (const XbField& f : fields_)
    if (IsNumericType(f.type)) FillField(f, codec::FormatNumber(0, f.decimals), true);
  std::fill(changed_.begin(), changed_.end(), true);
  recordChanged_ = true;
}
