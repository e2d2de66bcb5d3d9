// The tag-level positioning: first, last, next, previous, find, and the range.
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/cdx_tag.h"

using cdx::PrefixRule;
using cdx::XbCdxEntry;

bool XbCdxTag::BelowLow(const std::string& key) const {
  if (!low_) return false;
  int c = cdx::CompareSearch(*low_, key, format_.Character(), PrefixRule::Partial);
  return c > 0 || (c == 0 && !lowInclusive_);
}

bool XbCdxTag::AboveHigh(const std::string& key) const {
  if (!high_) return false;
  int c = cdx::CompareSearch(*high_, key, format_.Character(), highRule_);
  return c < 0 || (c == 0 && !highInclusive_);
}

int XbCdxTag::RangeSide(const std::string& key) const {
  if (BelowLow(key)) return -1;
  if (AboveHigh(key)) return 1;
  return 0;
}

// Turns where the cursor stands into a walk result. In file order the low
// side is the beginning; a descending tag is walked from the other end.
long XbCdxTag::Report(bool onEntry) {
  bof_ = eof_ = false;
  int side;
  if (!onEntry) {
    side = cursor_.BeforeFirst() ? -1 : 1;
  } else {
    side = RangeSide(cursor_.Entry()->key);
    if (side == 0) return static_cast<long>(cursor_.Entry()->recno);
  }
  if ((side < 0) != descending_) {
    bof_ = true;
  } else {
    eof_ = true;
  }
  return 0;
}

// A find that gives no record, or one outside the range, ends at the end.
long XbCdxTag::ReportFound(long recno) {
  if (recno == 0) {
    bof_ = false;
    eof_ = true;
  }
  return recno;
}

// The first entry in file order within the low bound.
bool XbCdxTag::SeekLow() {
  if (!low_) return cursor_.First();
  return cursor_.SeekFirst([&](const XbCdxEntry& e) { return !BelowLow(e.key); });
}

// The last entry in file order within the high bound.
bool XbCdxTag::SeekHigh() {
  if (!high_) return cursor_.Last();
  cursor_.SeekFirst([&](const XbCdxEntry& e) { return AboveHigh(e.key); });
  return cursor_.Previous();
}

long XbCdxTag::First() {
  XbCdxFile::Lock lock(file_, XbIndexAccess::Seek);
  return Report(descending_ ? SeekHigh() : SeekLow());
}

long XbCdxTag::Last() {
  XbCdxFile::Lock lock(file_, XbIndexAccess::Seek);
  return Report(descending_ ? SeekLow() : SeekHigh());
}

long XbCdxTag::Next() {
  XbCdxFile::Lock lock(file_, XbIndexAccess::Seek);
  return Report(descending_ ? cursor_.Previous() : cursor_.Next());
}

long XbCdxTag::Previous() {
  XbCdxFile::Lock lock(file_, XbIndexAccess::Seek);
  return Report(descending_ ? cursor_.Next() : cursor_.Previous());
}

long XbCdxTag::Current() { return Report(cursor_.Entry() != nullptr); }

// The first entry in file order whose key is not below `key`, or the last
// whose key is not above it, under the prefix rule.
bool XbCdxTag::SeekKey(const std::string& key, PrefixRule rule, bool last) {
  bool character = format_.Character();
  if (!last)
    return cursor_.SeekFirst([&](const XbCdxEntry& e) { return cdx::CompareSearch(key, e.key, character, rule) <= 0; });
  cursor_.SeekFirst([&](const XbCdxEntry& e) { return cdx::CompareSearch(key, e.key, character, rule) < 0; });
  return cursor_.Previous();
}

long XbCdxTag::FindFirst(std::string_view key, bool partial) {
  XbCdxFile::Lock lock(file_, XbIndexAccess::Seek);
  // In reverse order the first key not below the search key is the last one
  // in the file that is not above it.
  bool onEntry = SeekKey(cdx::NormalizeKey(key, format_), partial ? PrefixRule::Partial : PrefixRule::Exact, descending_);
  return ReportFound(Report(onEntry));
}

long XbCdxTag::FindLast(std::string_view key, bool partial) {
  XbCdxFile::Lock lock(file_, XbIndexAccess::Seek);
  std::string k = cdx::NormalizeKey(key, format_);
  PrefixRule rule = partial ? PrefixRule::Partial : PrefixRule::Exact;
  bool onEntry = SeekKey(k, rule, !descending_);
  bool equal = onEntry && cdx::CompareSearch(k, cursor_.Entry()->key, format_.Character(), rule) == 0;
  return ReportFound(equal ? Report(true) : 0);
}

bool XbCdxTag::GoToKey(std::string_view key, long recno) {
  XbCdxFile::Lock lock(file_, XbIndexAccess::Seek);
  std::string k = cdx::NormalizeKey(key, format_);
  bool found = cursor_.SeekEntry(k, static_cast<uint32_t>(recno)) &&
               cdx::CompareEntry(*cursor_.Entry(), k, static_cast<uint32_t>(recno), format_.Character()) == 0;
  bof_ = false;
  eof_ = !found;
  return found;
}

bool XbCdxTag::GoToRecord(const char* record, long recno) {
  std::optional<std::string> key = KeyOf(record, recno);
  if (!key) {
    bof_ = false;
    eof_ = true;
    return false;
  }
  // Already there (an edit or a post that left this tag's key alone): the
  // position needs no descent.
  if (const XbCdxEntry* e = cursor_.Entry(); e && e->recno == static_cast<uint32_t>(recno) && e->key == *key) {
    bof_ = eof_ = false;
    return true;
  }
  return GoToKey(*key, recno);
}

std::string XbCdxTag::CurrentKey() const { return cursor_.Entry() ? cursor_.Entry()->key : std::string(); }

long XbCdxTag::CurrentRecNo() const { return cursor_.Entry() ? static_cast<long>(cursor_.Entry()->recno) : 0; }

bool XbCdxTag::SetRange(std::optional<std::string> low, std::optional<std::string> high, bool lowInclusive,
                        bool highInclusive, PrefixRule highRule) {
  if (low) low = cdx::NormalizeKey(*low, format_);
  if (high) high = cdx::NormalizeKey(*high, format_);
  if (low == low_ && high == high_ && lowInclusive == lowInclusive_ && highInclusive == highInclusive_ &&
      highRule == highRule_)
    return false;
  low_ = std::move(low);
  high_ = std::move(high);
  lowInclusive_ = lowInclusive;
  highInclusive_ = highInclusive;
  highRule_ = highRule;
  First();
  return true;
}
