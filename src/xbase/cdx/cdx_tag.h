#pragma once
// One tag (order) of a compound index file: its key and filter expressions,
// key type and length, unique and descending flags, and the tag-level
// positioning that ordered access rests on (find a key, walk the order,
// keep to a range), plus the key upkeep of one record.
//
// Walk results are record numbers; 0 means the walk left the tag or its
// range, and then Bof() or Eof() says on which side. Keys given to the tag
// are encoded keys (cdx::SearchKeyFromText turns a search text into one).
// A descending tag keeps its keys in ascending order in the file and is
// walked in reverse: first and last, next and previous are exchanged.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "xbase/cdx/collation.h"
#include "xbase/cdx/key_source.h"
#include "xbase/cdx/tag_cursor.h"
#include "xbase/cdx/tag_header.h"

class XbCdxFile;

class XbCdxTag {
 public:
  XbCdxTag(XbCdxFile& file, std::string name, uint32_t headerOffset, const cdx::XbCdxTagHeader& header,
           std::unique_ptr<XbKeySource> source, bool directory);

  // --- What the tag is.
  const std::string& Name() const { return name_; }
  XbCdxFile& File() const { return file_; }
  uint32_t HeaderOffset() const { return headerOffset_; }
  uint32_t RootOffset() const { return root_; }
  const std::string& KeyExpression() const { return keyExpr_; }
  const std::string& FilterExpression() const { return filterExpr_; }
  bool Unique() const { return unique_; }
  bool Descending() const { return descending_; }
  bool HasFilter() const { return !filterExpr_.empty(); }
  const std::string& Collation() const { return collation_; }
  XbKeyType KeyType() const { return format_.type; }
  int KeyLength() const { return format_.length; }
  const cdx::KeyFormat& Format() const { return format_; }
  // The key source, nullptr when the key expression cannot be evaluated.
  const XbKeySource* Source() const { return source_.get(); }
  // Whether record writes can keep this tag current; when not, Why() says
  // why and a write that would change the tag is refused.
  bool Maintainable() const { return why_.empty(); }
  const std::string& Why() const { return why_; }

  // --- Walking and seeking. Each reads from the root of the tree in the
  // file (a step reuses the nodes read since the last positioning).
  long First();
  long Last();
  long Next();
  long Previous();
  long Current();
  // The first key in order not below `key` (0 with Eof() when none, or when
  // it lies outside the range). `partial`: an index key that begins with
  // the search key counts as equal to it; otherwise as greater.
  long FindFirst(std::string_view key, bool partial);
  // The last key equal to `key` under the same rule (0 with Eof() when none).
  long FindLast(std::string_view key, bool partial);
  // Makes the entry (key, recno) current; false when the tag has none.
  bool GoToKey(std::string_view key, long recno);
  // Makes a record's entry current (the record as record-length bytes);
  // false when the tag has no entry for it.
  bool GoToRecord(const char* record, long recno);
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  // Key and record number of the current entry (empty / 0 when none).
  std::string CurrentKey() const;
  long CurrentRecNo() const;

  // Limits the walk to the keys from `low` to `high` (nullopt: no limit on
  // that side). A key beginning with the low bound counts as equal to it;
  // for the high bound `highRule` decides. Returns false, doing nothing,
  // when the bounds equal the present ones; otherwise goes to the first key.
  bool SetRange(std::optional<std::string> low, std::optional<std::string> high, bool lowInclusive = true,
                bool highInclusive = true, cdx::PrefixRule highRule = cdx::PrefixRule::Exact);
  void ClearRange() { SetRange(std::nullopt, std::nullopt); }
  bool HasRange() const { return low_.has_value() || high_.has_value(); }

  // Forgets the nodes held (after Flush and when the tree changed).
  void DropNodes() { cursor_.Drop(); }

  // --- Keys and upkeep.
  // The key of a record, normalised to the tag (cut to the key length,
  // trailing pad removed); nullopt without key source or when the filter
  // excludes the record.
  std::optional<std::string> KeyOf(const char* record, long recno) const;

  // The keys of one record write; before == nullptr for an append.
  struct RecordKeys {
    bool append = false;
    std::string oldKey, newKey;
    bool oldBelongs = false, newBelongs = false;
    // What Apply did: the old entry removed, the new one inserted.
    bool removed = false, inserted = false;
    bool Changed() const { return removed || inserted; }
  };
  RecordKeys KeysFor(long recno, const char* before, const char* after) const;
  // Whether applying the keys could change the tag.
  bool Affected(const RecordKeys& keys) const;
  // Applies them: removes the old entry where the key changed or the record
  // left the tag, inserts the new one where it belongs and differs or was
  // missing; notes in `keys` what it did. Returns whether the tag changed.
  // When a write fails, the tag is left as it was.
  bool Apply(long recno, RecordKeys& keys);
  // Undoes what Apply did.
  void Revert(long recno, const RecordKeys& keys);

  // Single entries; a unique tag takes no second entry with an equal key.
  bool Insert(std::string_view key, long recno);
  bool Remove(std::string_view key, long recno);
  bool Contains(std::string_view key, long recno);

 private:
  int RangeSide(const std::string& key) const;
  long Report(bool onEntry);
  long ReportFound(long recno);
  bool SeekKey(const std::string& key, cdx::PrefixRule rule, bool last);
  bool SeekLow();
  bool SeekHigh();
  bool AboveHigh(const std::string& key) const;
  bool BelowLow(const std::string& key) const;
  uint64_t HighestRecno() const;

  XbCdxFile& file_;
  std::string name_;
  uint32_t headerOffset_;
  uint32_t root_;
  cdx::KeyFormat format_;
  std::string keyExpr_, filterExpr_, collation_;
  bool unique_, descending_, directory_;
  std::unique_ptr<XbKeySource> source_;
  std::string why_;

  cdx::TagCursor cursor_;
  bool bof_ = false, eof_ = false;
  std::optional<std::string> low_, high_;
  bool lowInclusive_ = true, highInclusive_ = true;
  cdx::PrefixRule highRule_ = cdx::PrefixRule::Exact;
};
