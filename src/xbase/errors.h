#pragma once
// The program's exceptions. Every failure of the storage engine and of the
// table object is one of these; the message is the exact text a user sees.

#include <stdexcept>
#include <string>
#include <string_view>

// Base of every exception the program raises on purpose.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// Failures of the table-file and index-file layers.
class EDbfError : public Exception {
 public:
  using Exception::Exception;
};

// Password failures of encrypted tables.
class EDbfEncryption : public EDbfError {
 public:
  using EDbfError::EDbfError;
};

// Failures of key expressions: syntax, unknown names, argument types.
class EDbfExpression : public Exception {
 public:
  using Exception::Exception;
};

// Failures of the table object (states, field objects, properties).
class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
};

// Fills a message text: each "%s" or "%d" takes the next argument in turn.
std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string> args);

// Message texts of the table-file layer.
namespace msg {
inline constexpr const char* kFileNotFound = "File %s could not be found";
inline constexpr const char* kAccessDenied = "Access denied to file %s";
inline constexpr const char* kCouldNotCreate = "Could not create file %s";
inline constexpr const char* kHeaderInvalid = "Table Header for %s is invalid";
inline constexpr const char* kReadError = "Error on Read of file %s";
inline constexpr const char* kWriteError = "Error writing to %s";
inline constexpr const char* kFileSizeError = "Error getting FileSize for file %s";
inline constexpr const char* kFlushError = "Error on Flush for file %s";
inline constexpr const char* kUnlockError = "Error in Unlock of file %s";
inline constexpr const char* kCloseError = "Error in Close of file %s";
inline constexpr const char* kRecordNotInTable = "Record number %d is not in table %s";
inline constexpr const char* kNoFieldName = "There is no field name %s";
inline constexpr const char* kIncorrectType = "Field %s is the incorrect type";
inline constexpr const char* kInvalidValue = "Invalid %s value for field %s";
inline constexpr const char* kInvalidNumeric = "Invalid numeric value in field %s";
inline constexpr const char* kNumericTooBig = "numeric value too big in field %s";
inline constexpr const char* kInvalidDate = "Invalid date in field %s";
inline constexpr const char* kCanNotLock = "Can not Lock file %s";
}  // namespace msg

// Raises EDbfError with a filled message text.
[[noreturn]] void ThrowDbf(std::string_view pattern, std::initializer_list<std::string> args);
