#include "data/text_functions.h"

std::string TrimCharLeft(const std::string& text, char c) {
  size_t start = text.find_first_not_of(c);
  return start == std::string::npos ? std::string() : text.substr(start);
}

std::string TrimCharRight(const std::string& text, char c) {
  size_t end = text.find_last_not_of(c);
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string TrimBlanks(const std::string& text) { return TrimCharRight(TrimCharLeft(text, ' '), ' '); }

std::string PadCharLeft(const std::string& text, char c, int width) {
  if (static_cast<int>(text.size()) >= width) return text;
  return std::string(static_cast<size_t>(width) - text.size(), c) + text;
}

std::string PadZerosLeft(const std::string& text, int width) { return PadCharLeft(TrimBlanks(text), '0', width); }

std::string TrimControls(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return text.substr(b, e - b);
}

std::string PlainUpper(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}
