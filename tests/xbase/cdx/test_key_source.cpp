#include "test_key_source.h"

#include <cctype>
#include <optional>
#include <vector>

#include "xbase/codepage.h"
#include "xbase/date.h"
#include "xbase/dbf_file.h"
#include "xbase/field_codec.h"

namespace {

std::string Strip(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

struct Term {
  enum Kind { Plain, Upper, Dtos } kind = Plain;
  XbField field;
};

// "NAME", "UPPER(NAME)" or "DTOS(NAME)".
std::optional<Term> ParseTerm(const XbDbfFile& table, const std::string& text) {
  Term term;
  std::string t = Upper(Strip(text));
  for (auto [prefix, kind] : {std::pair{"UPPER(", Term::Upper}, std::pair{"DTOS(", Term::Dtos}}) {
    std::string p = prefix;
    if (t.rfind(p, 0) == 0 && t.back() == ')') {
      term.kind = kind;
      t = Strip(t.substr(p.size(), t.size() - p.size() - 1));
    }
  }
  const XbField* f = table.FindField(t);
  if (!f) return std::nullopt;
  term.field = *f;
  return term;
}

class TestKeySource : public XbKeySource {
 public:
  TestKeySource(std::vector<Term> terms, std::optional<XbField> filter, bool negate)
      : terms_(std::move(terms)), filter_(std::move(filter)), negate_(negate) {
    const Term& first = terms_.front();
    if (terms_.size() == 1 && first.kind == Term::Plain && (first.field.type == 'N' || first.field.type == 'F'))
      type_ = XbKeyType::Numeric;
    else if (terms_.size() == 1 && first.kind == Term::Plain && first.field.type == 'D')
      type_ = XbKeyType::Date;
    for (const Term& t : terms_) length_ += t.kind == Term::Dtos ? 8 : t.field.length;
  }

  XbKeyType Type() const override { return type_; }
  int Length() const override { return type_ == XbKeyType::Character ? length_ : 8; }
  bool HasFilter() const override { return filter_.has_value(); }

  std::string Key(const char* record, long) const override {
    auto raw = [&](const XbField& f) { return std::string_view(record + f.offset, static_cast<size_t>(f.length)); };
    const XbField& first = terms_.front().field;
    if (type_ == XbKeyType::Numeric) return cdx::EncodeNumberKey(codec::ParseNumber(raw(first)).value_or(0));
    if (type_ == XbKeyType::Date) {
      std::optional<XbDate> d = XbDate::FromDtos(raw(first));
      return cdx::EncodeDateKey(d ? d->ToJulian() : 0);
    }
    std::string text;
    for (const Term& t : terms_) {
      std::string_view v = raw(t.field);
      if (t.kind == Term::Upper) {
        text += Codepage::Instance().OemUpper(v);
      } else if (t.kind == Term::Dtos) {
        std::optional<XbDate> d = XbDate::FromDtos(v);
        text += d ? d->ToDtos() : std::string(8, ' ');
      } else {
        text += v;
      }
    }
    return cdx::EncodeTextKey(text);
  }

  bool Includes(const char* record, long) const override {
    if (!filter_) return true;
    return codec::IsTrueLetter(record[filter_->offset]) != negate_;
  }

 private:
  std::vector<Term> terms_;
  std::optional<XbField> filter_;
  bool negate_;
  XbKeyType type_ = XbKeyType::Character;
  int length_ = 0;
};

}  // namespace

std::unique_ptr<XbKeySource> MakeTestKeySource(const XbDbfFile& table, const std::string& keyExpr,
                                               const std::string& filterExpr) {
  std::vector<Term> terms;
  size_t from = 0;
  for (;;) {
    size_t plus = keyExpr.find('+', from);
    std::optional<Term> t = ParseTerm(table, keyExpr.substr(from, plus == std::string::npos ? plus : plus - from));
    if (!t) return nullptr;
    terms.push_back(*t);
    if (plus == std::string::npos) break;
    from = plus + 1;
  }
  std::optional<XbField> filter;
  bool negate = false;
  std::string f = Upper(Strip(filterExpr));
  if (!f.empty()) {
    for (std::string prefix : {".NOT.", "!"}) {
      if (f.rfind(prefix, 0) == 0) {
        negate = true;
        f = Strip(f.substr(prefix.size()));
      }
    }
    const XbField* field = table.FindField(f);
    if (!field || field->type != 'L') return nullptr;
    filter = *field;
  }
  return std::make_unique<TestKeySource>(std::move(terms), filter, negate);
}

XbKeySourceFactory TestKeySources(const XbDbfFile& table) {
  return [&table](const std::string& keyExpr, const std::string& filterExpr) {
    return MakeTestKeySource(table, keyExpr, filterExpr);
  };
}
