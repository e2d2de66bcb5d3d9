#pragma once
// The fixed 32-byte header of a table file and its field descriptors.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One field of a table as its descriptor declares it.
struct XbField {
  std::string name;   // as stored, upper or mixed case
  char type = 'C';    // C N F L D (others are carried but not decoded)
  int length = 0;     // bytes in the record; C fields: low + 256 * high byte
  int decimals = 0;   // 0 for C fields
  int offset = 0;     // from the start of the record (the deletion flag is byte 0)
  int number = 0;     // 1-based position in the descriptor list
};

struct XbDbfHeader {
  static constexpr size_t kSize = 32;
  static constexpr int kVfpTrailer = 263;  // the area after the terminator of version 0x30

  std::array<uint8_t, kSize> image{};

  uint8_t Version() const { return image[0]; }
  uint16_t HeaderLength() const { return static_cast<uint16_t>(image[8] | image[9] << 8); }
  uint16_t RecordLength() const { return static_cast<uint16_t>(image[10] | image[11] << 8); }
  uint32_t StoredCount() const { return Get32(4); }
  uint8_t Flags() const { return image[28]; }
  bool Encrypted() const { return image[15] != 0; }

  // Version bytes the engine opens.
  static bool AcceptedVersion(uint8_t v) {
    return v == 0x03 || v == 0x04 || v == 0x30 || v == 0x83 || v == 0x8B || v == 0xF5;
  }
  // Bytes of the descriptor area that follows the fixed header, by the
  // header length; negative when the header length is too small to hold it.
  int DescriptorAreaLength() const {
    return HeaderLength() - (Version() == 0x30 ? 33 + kVfpTrailer : 33);
  }

  uint32_t Get32(size_t at) const {
    return image[at] | image[at + 1] << 8 | image[at + 2] << 16 | static_cast<uint32_t>(image[at + 3]) << 24;
  }
  void Put32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) image[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
};

// Parses the descriptor area into fields with computed offsets: the first
// field at offset 1, each next one where the previous ends.
std::vector<XbField> ParseDescriptors(const uint8_t* area, size_t length);
