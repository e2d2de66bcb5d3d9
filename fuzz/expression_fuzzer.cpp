// Fuzz target of the expression language: any text is parsed against a
// small table, and what parses is evaluated on some of its records, as an
// expression and as the key source of a tag. Wrong text may only end in
// the engine's own errors (EDbfExpression and its kin): never a crash,
// undefined behaviour, a hang or an allocation out of bounds.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_table.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/dbf_file.h"
#include "xbase/errors.h"
#include "xbase/expr/expression.h"

namespace {

XbDbfFile* table = nullptr;
constexpr long kRecords = 12;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static XbDbfFile file;
  table = &file;
  OpenFuzzTable(file, kRecords);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<XbExpression> expression;
  try {
    expression = XbExpression::Parse(text, *table);
    expression->FieldList();
  } catch (const Exception&) {
    return 0;
  }
  for (long recno : {1L, 6L, 10L}) {
    table->GoTo(recno);
    try {
      expression->Evaluate(table->Buffer(), recno);
      expression->Evaluate();
    } catch (const Exception&) {
    }
  }
  // As a tag's key and as its filter.
  try {
    std::unique_ptr<XbKeySource> key = ExpressionKeySources(*table)(std::string(text), "");
    std::unique_ptr<XbKeySource> filter = ExpressionKeySources(*table)("KEY", std::string(text));
    for (long recno = 1; recno <= kRecords; ++recno) {
      table->GoTo(recno);
      key->Key(table->Buffer(), recno);
      filter->Includes(table->Buffer(), recno);
    }
  } catch (const Exception&) {
  }
  return 0;
}
