#include "xbase/cdx/key_sorter.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <exception>
#include <thread>
#include <vector>

#include "xbase/cdx/collation.h"
#include "xbase/cdx/key_source.h"
#include "xbase/cdx/node_layout.h"
#include "xbase/cdx/table_scan.h"

namespace cdx {
namespace {

// Below this many records one thread reads and sorts them all: a second
// thread would cost more than it saves.
constexpr long kTwoThreadsFrom = 50000;

// A sort record of N bytes; std::sort moves and compares it in place, so
// the sort reads memory in order instead of following an index into it.
// The word whose bytes were loaded from memory in order, as a number whose
// order is their bytewise order.
inline uint64_t BigEndian(uint64_t loaded) {
  if constexpr (std::endian::native == std::endian::little) return __builtin_bswap64(loaded);
  return loaded;
}

// (N is a multiple of 8; the record is compared as big-endian words.)
template <size_t N>
struct SortRecord {
  static_assert(N % 8 == 0);
  alignas(8) uint8_t bytes[N];
  friend bool operator<(const SortRecord& a, const SortRecord& b) {
    for (size_t i = 0; i < N; i += 8) {
      uint64_t x, y;
      std::memcpy(&x, a.bytes + i, 8);
      std::memcpy(&y, b.bytes + i, 8);
      if (x != y) return BigEndian(x) < BigEndian(y);
    }
    return false;
  }
};

// The sorted records of one or two readers, merged as they are taken (a
// merged copy would be as big again, all written once and read once), each
// key once for a unique tag.
template <size_t N>
class SortedKeysOf final : public SortedKeys {
 public:
  SortedKeysOf(size_t keyBytes, bool unique) : keyBytes_(keyBytes), unique_(unique) {}

  const uint8_t* Next() override {
    for (;;) {
      const SortRecord<N>* r = Take();
      if (!r) return nullptr;
      // Equal keys differ only in the record number after them; the first
      // of each run has the lowest.
      if (unique_ && last_ && std::memcmp(last_->bytes, r->bytes, keyBytes_) == 0) continue;
      last_ = r;
      return r->bytes;
    }
  }

  std::vector<SortRecord<N>> low, high;

 private:
  const SortRecord<N>* Take() {
    const bool fromLow = i_ < low.size(), fromHigh = j_ < high.size();
    if (fromLow && (!fromHigh || !(high[j_] < low[i_]))) return &low[i_++];
    if (fromHigh) return &high[j_++];
    return nullptr;
  }

  const size_t keyBytes_;
  const bool unique_;
  size_t i_ = 0, j_ = 0;
  const SortRecord<N>* last_ = nullptr;
};

// Thrown inside the second reader when the first one has failed.
struct Stopped {};

template <size_t N>
class Sorter {
 public:
  Sorter(XbDbfFile& table, const XbKeySource& source, const KeyFormat& format)
      : table_(table), source_(source), format_(format), weights_(CollationWeights()) {}

  // Reads records first..last into `out` and sorts them. `visited` is
  // called after every record with the number read so far by this reader.
  void Read(long first, long last, std::vector<SortRecord<N>>& out, const std::function<void(long)>& visited) {
    out.reserve(static_cast<size_t>(std::max(0L, last - first + 1)));
    long read = 0;
    ScanRecords(table_, first, last, [&](const char* record, long recno) {
      if (source_.Includes(record, recno)) Add(out, source_.Key(record, recno), recno);
      visited(++read);
    });
    std::sort(out.begin(), out.end());
  }

 private:
  void Add(std::vector<SortRecord<N>>& out, const std::string& raw, long recno) {
    const std::string_view key = NormalizedKeyView(raw, format_);
    SortRecord<N>& r = out.emplace_back();
    std::memset(r.bytes, 0, N);
    const bool character = format_.Character();
    for (size_t i = 0; i < key.size(); ++i) {
      const uint8_t b = static_cast<uint8_t>(key[i]);
      r.bytes[i] = character ? weights_[b] : b;
    }
    r.bytes[format_.length] = static_cast<uint8_t>(key.size());
    Put32BE(r.bytes + format_.length + 1, static_cast<uint32_t>(recno));
  }

  XbDbfFile& table_;
  const XbKeySource& source_;
  const KeyFormat format_;
  const std::array<uint8_t, 256>& weights_;
};

template <size_t N>
std::unique_ptr<SortedKeys> Sort(XbDbfFile& table, long records, const XbKeySource& source, const KeyFormat& format,
                                 bool unique, const std::function<void(long)>& progress) {
  auto sorted = std::make_unique<SortedKeysOf<N>>(static_cast<size_t>(format.length) + 1, unique);
  Sorter<N> sorter(table, source, format);
  if (records < kTwoThreadsFrom) {
    sorter.Read(1, records, sorted->low, progress);
  } else {
    const long half = records / 2;
    std::vector<SortRecord<N>>& low = sorted->low;
    std::vector<SortRecord<N>>& high = sorted->high;
    std::atomic<long> highRead{0};
    std::atomic<bool> stop{false};
    std::exception_ptr highFailure;
    std::thread second([&] {
      try {
        sorter.Read(half + 1, records, high, [&](long read) {
          if ((read & 1023) == 0) {
            if (stop.load(std::memory_order_relaxed)) throw Stopped();
            highRead.store(read, std::memory_order_relaxed);
          }
        });
      } catch (const Stopped&) {
      } catch (...) {
        highFailure = std::current_exception();
      }
    });
    try {
      sorter.Read(1, half, low, [&](long read) { progress(read + highRead.load(std::memory_order_relaxed)); });
    } catch (...) {
      stop = true;
      second.join();
      throw;
    }
    second.join();
    if (highFailure) std::rethrow_exception(highFailure);
    progress(records);
  }
  return sorted;
}

}  // namespace

std::unique_ptr<SortedKeys> SortKeys(XbDbfFile& table, long records, const XbKeySource& source,
                                     const KeyFormat& format, bool unique, const std::function<void(long)>& progress) {
  // The narrowest sort record that holds the key, its length and the record
  // number (keys are at most kMaxKeyLength = 240 bytes).
  const size_t width = static_cast<size_t>(format.length) + 5;
  if (width <= 8) return Sort<8>(table, records, source, format, unique, progress);
  if (width <= 16) return Sort<16>(table, records, source, format, unique, progress);
  if (width <= 24) return Sort<24>(table, records, source, format, unique, progress);
  if (width <= 32) return Sort<32>(table, records, source, format, unique, progress);
  if (width <= 48) return Sort<48>(table, records, source, format, unique, progress);
  if (width <= 64) return Sort<64>(table, records, source, format, unique, progress);
  if (width <= 96) return Sort<96>(table, records, source, format, unique, progress);
  if (width <= 128) return Sort<128>(table, records, source, format, unique, progress);
  if (width <= 192) return Sort<192>(table, records, source, format, unique, progress);
  return Sort<kMaxKeyLength + 16>(table, records, source, format, unique, progress);
}

}  // namespace cdx
