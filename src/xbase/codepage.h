#pragma once
// Text conversion between the code pages of the table files and the program.
//
// On disk text is in the DOS (OEM) code page 852; the program works in the
// Windows (ANSI) code page 1250 and keeps text in memory as UTF-8. The two
// 256-byte tables OEM<->ANSI are built once, as a one-to-one mapping of
// 0x21..0xFF onto itself, so every byte survives a round trip even where the
// two code pages lack each other's characters. Bytes 0x00..0x20 map to
// themselves.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class Codepage {
 public:
  // The tables of this program, built on first use from the platform's
  // conversion between code pages 1250 and 852.
  static const Codepage& Instance();

  // Builds the tables from a desktop-style conversion: ansiToOem(b) gives the
  // OEM image of ANSI byte b (or a byte below 0x21 when there is none) and
  // oemToAnsi(o) converts it back.
  template <class AnsiToOem, class OemToAnsi>
  static Codepage Build(AnsiToOem ansiToOem, OemToAnsi oemToAnsi);

  uint8_t AnsiToOem(uint8_t b) const { return ansiToOem_[b]; }
  uint8_t OemToAnsi(uint8_t b) const { return oemToAnsi_[b]; }
  std::string AnsiToOem(std::string_view text) const;
  std::string OemToAnsi(std::string_view text) const;

  // ANSI 1250 <-> UTF-8. Characters that code page 1250 lacks become '?'.
  std::string AnsiToUtf8(std::string_view ansi) const;
  std::string Utf8ToAnsi(std::string_view utf8) const;

  // Shortcuts for the whole way between disk and memory.
  std::string OemToUtf8(std::string_view oem) const { return AnsiToUtf8(OemToAnsi(oem)); }
  std::string Utf8ToOem(std::string_view utf8) const { return AnsiToOem(Utf8ToAnsi(utf8)); }

  // Upper and lower case of one ANSI 1250 byte, as the desktop's locale
  // upper-casing does it (letters with a single-letter counterpart only).
  static uint8_t AnsiUpper(uint8_t b);
  static uint8_t AnsiLower(uint8_t b);
  static std::string AnsiUpper(std::string_view text);
  static std::string AnsiLower(std::string_view text);

  // Upper case of an OEM text by way of ANSI: OEM -> 1250 -> upper -> OEM.
  std::string OemUpper(std::string_view oem) const;

 private:
  Codepage();
  std::array<uint8_t, 256> ansiToOem_{};
  std::array<uint8_t, 256> oemToAnsi_{};
  std::array<uint8_t, 256> oemUpper_{};  // OemUpper of each byte, made with the tables
  std::array<char32_t, 256> ansiToUnicode_{};
  void MakeOemUpper();
};

template <class AnsiToOemFn, class OemToAnsiFn>
Codepage Codepage::Build(AnsiToOemFn ansiToOem, OemToAnsiFn oemToAnsi) {
  Codepage cp;
  std::array<int, 256> image;
  std::array<bool, 256> taken{};
  image.fill(-1);
  for (int b = 0; b <= 0x20; ++b) {
    image[b] = b;
    taken[b] = true;
  }
  // Step 1: bytes whose image converts back to themselves keep it.
  for (int b = 0x21; b <= 0xFF; ++b) {
    int o = ansiToOem(static_cast<uint8_t>(b));
    if (o < 0x21 || o > 0xFF || taken[o]) continue;
    if (oemToAnsi(static_cast<uint8_t>(o)) != b) continue;
    image[b] = o;
    taken[o] = true;
  }
  // Step 2: a byte without an image that is nobody's image maps to itself.
  for (int b = 0x21; b <= 0xFF; ++b) {
    if (image[b] < 0 && !taken[b]) {
      image[b] = b;
      taken[b] = true;
    }
  }
  // Step 3: the rest take the lowest free codes from 0x21 up.
  int next = 0x21;
  for (int b = 0x21; b <= 0xFF; ++b) {
    if (image[b] >= 0) continue;
    while (taken[next]) ++next;
    image[b] = next;
    taken[next] = true;
  }
  for (int b = 0; b < 256; ++b) {
    cp.ansiToOem_[b] = static_cast<uint8_t>(image[b]);
    cp.oemToAnsi_[image[b]] = static_cast<uint8_t>(b);
  }
  cp.MakeOemUpper();
  return cp;
}
