#include "xbase/expr/field_value.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "xbase/ascii.h"
#include "xbase/expr/expr_errors.h"
#include "xbase/expr/lexer.h"
#include "xbase/expr/short_date.h"
#include "xbase/field_codec.h"

namespace {

uint64_t LittleEndian(const char* p, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(p[i]);
  return v;
}

// "SOR0000->SOR_DAT (text)", as the messages about a field's content say it.
std::string Label(const XbDbfFile& table, const XbField& field, std::string_view raw) {
  return table.TableName() + "->" + field.name + " (" + std::string(codec::TrimRight(raw)) + ")";
}

XbValue DateField(const XbField& field, std::string_view raw, const XbDbfFile& table) {
  if (raw.size() == 8 && raw.find_first_not_of("0123456789") == std::string_view::npos) {
    // Eight digits that form no date (month 13, 30 February) read as the
    // empty date, as the table object reads them: the record's key then
    // sorts with the undated records instead of failing every write.
    std::optional<XbDate> d = XbDate::FromDtos(raw);
    return XbValue::OfDate(d ? DayNumber(*d) : 0);
  }
  std::optional<long> day = ParseDateText(raw);
  if (!day) ThrowExpr(msg::kInvalidDate, {Label(table, field, raw)});
  return XbValue::OfDate(*day);
}

XbValue MemoValue() {
  XbValue v;
  v.kind = XbValueKind::Memo;
  return v;
}

}  // namespace

XbValue ReadFieldValue(const XbField& field, const char* record, const XbDbfFile& table) {
  const char* p = record + field.offset;
  std::string_view raw(p, static_cast<size_t>(field.length));
  // The binary types need their full width; a narrower field is read as text.
  int binaryWidth = field.type == 'I' ? 4 : field.type == 'Y' || field.type == 'T' ? 8 : 0;
  if (field.length < binaryWidth) return XbValue::OfText(std::string(raw));
  switch (field.type) {
    case 'N':
    case 'F': {
      std::optional<double> v = codec::ParseNumber(raw);
      if (!v) ThrowExpr(msg::kInvalidNumeric, {Label(table, field, raw)});
      return XbValue::OfNumber(*v);
    }
    case 'D':
      return DateField(field, raw, table);
    case 'L':
      return XbValue::OfBoolean(codec::IsTrueLetter(raw[0]));
    case 'I': {
      XbValue v = XbValue::OfNumber(static_cast<int32_t>(LittleEndian(p, 4)));
      v.kind = XbValueKind::Integer;
      return v;
    }
    case 'Y':  // currency: a 64-bit integer of ten-thousandths
      return XbValue::OfNumber(static_cast<double>(static_cast<int64_t>(LittleEndian(p, 8))) / 10000.0);
    case 'T': {  // day number and milliseconds of the day
      XbValue v = XbValue::OfDate(static_cast<int32_t>(LittleEndian(p, 4)));
      v.kind = XbValueKind::DateTime;
      v.number = static_cast<int32_t>(LittleEndian(p + 4, 4));
      return v;
    }
    case 'B':
      if (table.Version() == 0x30 && field.length >= 8) {  // a binary double in this format, a memo block elsewhere
        uint64_t bits = LittleEndian(p, 8);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return XbValue::OfNumber(d);
      }
      return MemoValue();
    case 'M':
    case 'G':
    case 'P':
      return MemoValue();
    default:
      return XbValue::OfText(std::string(raw));
  }
}

const XbField* FindExpressionField(const XbDbfFile& table, std::string_view name) {
  size_t dot = name.find('.'), arrow = name.find("->");
  if (dot == std::string_view::npos && arrow == std::string_view::npos) return table.FindField(name);
  size_t split = std::min(dot, arrow);
  if (AsciiUpper(name.substr(0, split)) != table.TableName()) return nullptr;
  return table.FindField(name.substr(split + (split == arrow ? 2 : 1)));
}
