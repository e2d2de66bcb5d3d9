#pragma once
// Message texts of the table object (EDatabaseError), in one place as the
// other engine layers keep theirs.

#include <string>

#include "xbase/errors.h"

namespace msg {
inline constexpr const char* kDatasetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* kDatasetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* kDatasetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* kTableBusy = "Table is busy building an index";
inline constexpr const char* kTableNameMissing = "Table name missing";
inline constexpr const char* kCannotFindFile = "Cannot find file %s";
inline constexpr const char* kFieldNotFound = "Field '%s' not found";
inline constexpr const char* kTypeMismatch = "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr const char* kFieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* kNotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* kNotBrowsing = "Dataset not in browse mode";
inline constexpr const char* kRecordLocked = "Record is locked by another user";
inline constexpr const char* kCannotDelete = "Cannot delete the record";
inline constexpr const char* kBookmarkInvalid = "Bookmark is invalid for table %s";
inline constexpr const char* kNoIndexForFind = "No index is assigned for Find operation";
}  // namespace msg

// Raises EDatabaseError with a message of the table object.
[[noreturn]] inline void ThrowDb(const char* message, std::initializer_list<std::string> args = {}) {
  throw EDatabaseError(args.size() == 0 ? std::string(message) : FormatMessage(message, args));
}
