#include "xbase/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <vector>

namespace {

// Converts one byte between two code pages with the platform's iconv;
// returns -1 when the target code page has no such character.
int ConvertByte(iconv_t cd, uint8_t b) {
  char in = static_cast<char>(b);
  char out[8];
  char* inp = &in;
  char* outp = out;
  size_t inLeft = 1, outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1)) return -1;
  if (outp - out != 1) return -1;
  return static_cast<uint8_t>(out[0]);
}

// Unicode code point of a code-page-1250 byte; bytes the code page leaves
// undefined keep their own value (U+0081 ...), as the desktop does.
char32_t Ansi1250ToUnicode(iconv_t cd, uint8_t b) {
  char in = static_cast<char>(b);
  char32_t out[2];
  char* inp = &in;
  char* outp = reinterpret_cast<char*>(out);
  size_t inLeft = 1, outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1)) return b;
  return out[0];
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i]; a malformed byte decodes as itself
// so that no input is ever lost silently.
char32_t NextUtf8(std::string_view text, size_t& i) {
  uint8_t b = static_cast<uint8_t>(text[i++]);
  int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  if (b < 0x80 || extra == 0 || i + extra > text.size() + 0) {
    return b < 0x80 ? b : U'?';
  }
  char32_t c = b & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    uint8_t n = static_cast<uint8_t>(text[i]);
    if ((n & 0xC0) != 0x80) return U'?';
    c = (c << 6) | (n & 0x3F);
    ++i;
  }
  return c;
}

}  // namespace

Codepage::Codepage() = default;

const Codepage& Codepage::Instance() {
  static const Codepage instance = [] {
    iconv_t toOem = iconv_open("CP852", "CP1250");
    iconv_t toAnsi = iconv_open("CP1250", "CP852");
    iconv_t toUni = iconv_open("UTF-32LE", "CP1250");
    Codepage cp = Build([&](uint8_t b) { return ConvertByte(toOem, b); },
                        [&](uint8_t o) { return ConvertByte(toAnsi, o); });
    for (int b = 0; b < 256; ++b) cp.ansiToUnicode_[b] = Ansi1250ToUnicode(toUni, static_cast<uint8_t>(b));
    iconv_close(toOem);
    iconv_close(toAnsi);
    iconv_close(toUni);
    return cp;
  }();
  return instance;
}

std::string Codepage::AnsiToOem(std::string_view text) const {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(ansiToOem_[static_cast<uint8_t>(c)]);
  return out;
}

std::string Codepage::OemToAnsi(std::string_view text) const {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(oemToAnsi_[static_cast<uint8_t>(c)]);
  return out;
}

std::string Codepage::AnsiToUtf8(std::string_view ansi) const {
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 4);
  for (char c : ansi) AppendUtf8(out, ansiToUnicode_[static_cast<uint8_t>(c)]);
  return out;
}

std::string Codepage::Utf8ToAnsi(std::string_view utf8) const {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    uint8_t b = static_cast<uint8_t>(utf8[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    char32_t c = NextUtf8(utf8, i);
    auto it = std::find(ansiToUnicode_.begin() + 0x80, ansiToUnicode_.end(), c);
    out += it == ansiToUnicode_.end() ? '?' : static_cast<char>(it - ansiToUnicode_.begin());
  }
  return out;
}

uint8_t Codepage::AnsiUpper(uint8_t b) {
  if (b >= 'a' && b <= 'z') return b - 0x20;
  switch (b) {
    case 0x9A: case 0x9C: case 0x9D: case 0x9E: case 0x9F: return b - 0x10;  // š ś ť ž ź
    case 0xB3: return 0xA3;  // ł
    case 0xB9: return 0xA5;  // ą
    case 0xBE: return 0xBC;  // ľ
    case 0xBF: return 0xAF;  // ż
    default: break;
  }
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return b - 0x20;
  return b;
}

uint8_t Codepage::AnsiLower(uint8_t b) {
  if (b >= 'A' && b <= 'Z') return b + 0x20;
  switch (b) {
    case 0x8A: case 0x8C: case 0x8D: case 0x8E: case 0x8F: return b + 0x10;
    case 0xA3: return 0xB3;
    case 0xA5: return 0xB9;
    case 0xBC: return 0xBE;
    case 0xAF: return 0xBF;
    default: break;
  }
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return b + 0x20;
  return b;
}

std::string Codepage::AnsiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(AnsiUpper(static_cast<uint8_t>(c)));
  return out;
}

std::string Codepage::AnsiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(AnsiLower(static_cast<uint8_t>(c)));
  return out;
}

std::string Codepage::OemUpper(std::string_view oem) const {
  std::string out(oem);
  for (char& c : out) c = static_cast<char>(oemUpper_[static_cast<uint8_t>(c)]);
  return out;
}

void Codepage::MakeOemUpper() {
  for (int b = 0; b < 256; ++b) oemUpper_[b] = ansiToOem_[AnsiUpper(oemToAnsi_[b])];
}
