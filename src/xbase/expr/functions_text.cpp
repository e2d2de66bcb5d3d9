// Text functions of the library: case, cutting, trimming, padding, searching
// and replacing. Texts are OEM bytes as stored in the table files.

#include <cmath>
#include <cstdint>

#include "xbase/codepage.h"
#include "xbase/dbf_file.h"
#include "xbase/expr/expr_errors.h"
#include "xbase/expr/functions.h"
#include "xbase/expr/short_date.h"
#include "xbase/field_codec.h"

namespace {

uint8_t Byte(char c) { return static_cast<uint8_t>(c); }
bool IsTrimmed(char c) { return Byte(c) <= 32; }

// Lower case of one OEM byte: through the ANSI code page when the table
// translates, else plain ASCII.
char LowerByte(char c, bool translate) {
  if (translate) {
    const Codepage& cp = Codepage::Instance();
    return static_cast<char>(cp.AnsiToOem(Codepage::AnsiLower(cp.OemToAnsi(Byte(c)))));
  }
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

std::string_view RightTrimmed(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsTrimmed(s[n - 1])) --n;
  return s.substr(0, n);
}

std::string_view LeftTrimmed(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsTrimmed(s[i])) ++i;
  return s.substr(i);
}

XbValue Upper(const XbExpCall& c) { return XbValue::OfText(UpperText(c.Text(0), c.Context().table)); }
XbValue Lower(const XbExpCall& c) { return XbValue::OfText(LowerText(c.Text(0), c.Context().table)); }

XbValue Proper(const XbExpCall& c) {
  std::string s = LowerText(c.Text(0), c.Context().table);
  for (size_t i = 0; i < s.size(); ++i)
    if (i == 0 || IsTrimmed(s[i - 1])) s[i] = UpperText(s.substr(i, 1), c.Context().table)[0];
  return XbValue::OfText(std::move(s));
}

XbValue Substr(const XbExpCall& c) {
  std::string s = c.Text(0);
  size_t start = c.Length(1);
  if (start == 0 || start > s.size()) return XbValue::OfText("");
  return XbValue::OfText(s.substr(start - 1, c.LengthOr(2, s.size())));
}

XbValue Left(const XbExpCall& c) {
  std::string s = c.Text(0);
  s.resize(c.Length(1), ' ');
  return XbValue::OfText(std::move(s));
}

XbValue Right(const XbExpCall& c) {
  std::string s = c.Text(0);
  size_t n = c.Length(1);
  return XbValue::OfText(n < s.size() ? s.substr(s.size() - n) : s);
}

XbValue Rtrim(const XbExpCall& c) { return XbValue::OfText(std::string(RightTrimmed(c.Text(0)))); }
XbValue Ltrim(const XbExpCall& c) { return XbValue::OfText(std::string(LeftTrimmed(c.Text(0)))); }
XbValue Alltrim(const XbExpCall& c) { return XbValue::OfText(std::string(LeftTrimmed(RightTrimmed(c.Text(0))))); }

// PADL, PADR, PADC: the value as text filled to n characters; `leftShare`
// is the part of the fill that goes to the left (1, 0 or one half).
XbValue Pad(const XbExpCall& c, double leftShare) {
  std::string s = ValueAsText(c.Value(0));
  size_t n = c.Length(1);
  char fill = ' ';
  if (c.Has(2)) {
    std::string f = c.Text(2);
    if (f.size() != 1) ThrowExpr(expr_msg::kValueInvalid, {"Char"});
    fill = f[0];
  }
  if (s.size() >= n) return XbValue::OfText(std::move(s));
  size_t missing = n - s.size();
  size_t left = static_cast<size_t>(std::floor(static_cast<double>(missing) * leftShare));
  return XbValue::OfText(std::string(left, fill) + s + std::string(missing - left, fill));
}
XbValue Padl(const XbExpCall& c) { return Pad(c, 1.0); }
XbValue Padr(const XbExpCall& c) { return Pad(c, 0.0); }
XbValue Padc(const XbExpCall& c) { return Pad(c, 0.5); }

XbValue Space(const XbExpCall& c) { return XbValue::OfText(std::string(c.Length(0), ' ')); }

XbValue Replicate(const XbExpCall& c) {
  std::string s = c.Text(0), out;
  size_t times = c.Length(1);
  if (!s.empty()) times = std::min(times, XbExpCall::kMaxLength / s.size());
  for (size_t i = 0; i < times; ++i) out += s;
  return XbValue::OfText(std::move(out));
}

// STRTRAN(text, search [, replacement [, first occurrence [, count]]]).
XbValue Strtran(const XbExpCall& c) {
  std::string s = c.Text(0), search = c.Text(1);
  std::string replacement = c.Has(2) ? c.Text(2) : std::string();
  size_t first = c.LengthOr(3, 1), count = c.LengthOr(4, std::string::npos);
  if (search.empty()) return XbValue::OfText(std::move(s));
  std::string out;
  size_t pos = 0, occurrence = 0, replaced = 0;
  for (size_t at; (at = s.find(search, pos)) != std::string::npos && out.size() <= XbExpCall::kMaxLength;
       pos = at + search.size()) {
    out.append(s, pos, at - pos);
    ++occurrence;
    bool replace = occurrence >= first && replaced < count;
    out += replace ? replacement : search;
    replaced += replace;
  }
  out.append(s, pos);
  return XbValue::OfText(std::move(out));
}

// Position (from 1) of the n-th occurrence of the needle, 0 when none.
double Position(const std::string& needle, const std::string& haystack, size_t occurrence) {
  if (needle.empty() || occurrence == 0) return 0;
  size_t at = std::string::npos, from = 0;
  for (size_t k = 0; k < occurrence; ++k, from = at + 1)
    if ((at = haystack.find(needle, from)) == std::string::npos) return 0;
  return static_cast<double>(at + 1);
}
XbValue At(const XbExpCall& c) { return XbValue::OfNumber(Position(c.Text(0), c.Text(1), c.LengthOr(2, 1))); }
XbValue Atc(const XbExpCall& c) {
  const XbDbfFile& t = c.Context().table;
  return XbValue::OfNumber(Position(UpperText(c.Text(0), t), UpperText(c.Text(1), t), c.LengthOr(2, 1)));
}

XbValue Asc(const XbExpCall& c) {
  std::string s = c.Text(0);
  return XbValue::OfNumber(s.empty() ? 0 : Byte(s[0]));
}

XbValue Chr(const XbExpCall& c) {
  return XbValue::OfText(std::string(1, static_cast<char>(WholeNumber(c.Number(0)) & 0xFF)));
}

XbValue Len(const XbExpCall& c) { return XbValue::OfNumber(static_cast<double>(c.Text(0).size())); }

// The four-character sound code: the first letter, then the digits of the
// following consonants, a run of one digit counted once, padded with "0".
XbValue Soundex(const XbExpCall& c) {
  static const char kCodes[] = "01230120022455012623010202";  // A..Z
  std::string out;
  char last = 0;
  for (char ch : c.Text(0)) {
    if (!(ch >= 'a' && ch <= 'z') && !(ch >= 'A' && ch <= 'Z')) continue;
    char upper = static_cast<char>(ch & ~0x20);
    char code = kCodes[upper - 'A'];
    if (out.empty()) {
      out += upper;
    } else if (code != '0' && code != last) {
      out += code;
    }
    if (upper != 'H' && upper != 'W') last = code;
    if (out.size() == 4) break;
  }
  if (out.empty()) return XbValue::OfText("0000");
  out.resize(4, '0');
  return XbValue::OfText(std::move(out));
}

const XbExpFunctionDef kFunctions[] = {
    {"UPPER", 1, Upper},     {"LOWER", 1, Lower},     {"PROPER", 1, Proper},   {"SUBSTR", 3, Substr},
    {"LEFT", 2, Left},       {"RIGHT", 2, Right},     {"TRIM", 1, Rtrim},      {"RTRIM", 1, Rtrim},
    {"LTRIM", 1, Ltrim},     {"ALLTRIM", 1, Alltrim}, {"PADL", 3, Padl},       {"PADR", 3, Padr},
    {"PADC", 3, Padc},       {"SPACE", 1, Space},     {"REPLICATE", 2, Replicate}, {"STRTRAN", 5, Strtran},
    {"AT", 3, At},           {"ATC", 3, Atc},         {"ASC", 1, Asc},         {"CHR", 1, Chr},
    {"LEN", 1, Len},         {"SOUNDEX", 1, Soundex},
};

}  // namespace

std::span<const XbExpFunctionDef> TextFunctions() { return kFunctions; }

std::string UpperText(std::string_view oem, const XbDbfFile& table) {
  if (table.GetOptions().translate) return Codepage::Instance().OemUpper(oem);
  std::string out(oem);
  for (char& ch : out)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
  return out;
}

std::string LowerText(std::string_view oem, const XbDbfFile& table) {
  std::string out(oem);
  for (char& ch : out) ch = LowerByte(ch, table.GetOptions().translate);
  return out;
}

std::string ValueAsText(const XbValue& value) {
  switch (value.kind) {
    case XbValueKind::Text:
    case XbValueKind::Memo:
      return value.text;
    case XbValueKind::Date:
    case XbValueKind::DateTime:
      return FormatShortDate(value.date);
    case XbValueKind::Boolean:
      return value.boolean ? ".T." : ".F.";
    case XbValueKind::Empty:
      return "";
    default:
      break;
  }
  double v = value.number;
  if (!std::isfinite(v)) return "*";
  // The fewest decimals that give the number back.
  for (int decimals = 0;; ++decimals) {
    std::string text = codec::FormatNumber(v, decimals);
    if (decimals == 10 || std::fabs(*codec::ParseNumber(text) - v) <= 1e-9 * std::max(1.0, std::fabs(v)))
      return text;
  }
}
