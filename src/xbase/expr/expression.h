#pragma once
// Key and filter expressions of index tags, in the xBase expression language.
//
// An expression is parsed once for one table (its field names, plain and
// qualified as "SOR0000.SOR_KAV" or "SOR0000->SOR_KAV", become references
// to the field's bytes in a record) and then evaluated on record images:
// every time a key is built, a record is appended or changed. Every failure
// raises EDbfExpression with the message text a user sees.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class XbDbfFile;
class XbExpNode;
struct XbField;

enum class XbValueKind { Text, Number, Integer, Date, DateTime, Boolean, Memo, Empty };

// "Text", "Number", ... as the evaluator's messages spell them.
const char* KindName(XbValueKind);

// The value of an expression or of one of its parts.
struct XbValue {
  XbValueKind kind = XbValueKind::Empty;
  std::string text;    // Text: OEM bytes, full width (trailing blanks kept)
  double number = 0;   // Number / Integer; DateTime: milliseconds of the day
  long date = 0;       // Date, DateTime: day number (1 Jan 1980 = 2444240; empty date = 0)
  bool boolean = false;

  static XbValue OfText(std::string text);
  static XbValue OfNumber(double number);
  static XbValue OfDate(long day);
  static XbValue OfBoolean(bool value);
};

class XbExpression {
 public:
  ~XbExpression();
  XbExpression(const XbExpression&) = delete;
  XbExpression& operator=(const XbExpression&) = delete;

  // Parses `text` for the fields of `table` (plain names, "TABLE.FIELD" and
  // "TABLE->FIELD" with the table's file name without directory and
  // extension). Raises EDbfExpression. An empty text gives an expression
  // whose IsEmpty() is true. The expression is tried once on a blank record
  // to learn its result kind and length, so a type error shows here already.
  // `table` must outlive the expression.
  static std::unique_ptr<XbExpression> Parse(std::string_view text, const XbDbfFile& table);
  bool IsEmpty() const;

  // Evaluates on a record image (record-length bytes, byte 0 the deletion
  // flag) for record `recno` (RECNO(), DELETED() use them). Raises
  // EDbfExpression. An empty expression gives an Empty value.
  XbValue Evaluate(const char* record, long recno) const;
  // Evaluates on the table's current working buffer and record number.
  XbValue Evaluate() const;

  // Kind of the result, known after parsing (from the trial evaluation on
  // a blank record); Empty for an empty expression.
  XbValueKind ResultKind() const;
  // The key length the result gives: for Text results the length of the
  // result on a blank record; 8 for numbers and dates (an 8-byte numeric
  // key); 1 for a logical; 10 for an empty expression.
  int ResultLength() const;

  // The character field whose bytes the value is, as they stand or through
  // UPPER(), for the commonest key expressions ("SOR_KAV", "UPPER(SOR_NAZ)"):
  // their keys can be taken from the record without evaluating. nullopt for
  // every other expression.
  struct FieldText {
    const XbField* field;
    bool upper;
  };
  std::optional<FieldText> DirectFieldText() const;

  // Names of the fields referred to, left to right, each once and followed
  // by ";" ("SKL_KAV;SKL_IND;").
  std::string FieldList() const;
  // The fields referred to, in the same order.
  const std::vector<std::string>& Fields() const { return fields_; }

  const std::string& Text() const;  // the text as given

 private:
  XbExpression(std::string text, const XbDbfFile& table);

  std::string text_;
  const XbDbfFile* table_;
  std::unique_ptr<XbExpNode> root_;
  std::vector<std::string> fields_;
  XbValueKind resultKind_ = XbValueKind::Empty;
  int resultLength_ = 10;
};
