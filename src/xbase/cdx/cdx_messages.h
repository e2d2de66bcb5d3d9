#pragma once
// Message texts of the index layer.

namespace msg {
inline constexpr const char* kIndexCorrupted = "Index file %s is corrupted";
inline constexpr const char* kCannotFindTag = "Cannot find index tag %s";
inline constexpr const char* kSortKeyLength = "Sort key length must be 1-%d bytes, is %d";
// A record write that would have to change a tag this engine cannot keep
// current: tag, index file, reason.
inline constexpr const char* kTagNotMaintainable = "Index tag %s of file %s cannot be updated: %s";
inline constexpr const char* kTagNotBuildable = "Index tag %s cannot be built: its key expression cannot be evaluated";
inline constexpr const char* kExpressionsTooLong = "The expressions of index tag %s are too long";
inline constexpr const char* kTooManyIndexFiles = "Too many index files are open on table %s";
}  // namespace msg
