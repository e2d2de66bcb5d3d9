#pragma once
// Small text functions shared by screens and operations.

#include <string>

std::string TrimCharLeft(const std::string& text, char c);
std::string TrimCharRight(const std::string& text, char c);
// Leading and trailing blanks (code 32 only) removed.
std::string TrimBlanks(const std::string& text);
// `c` put in front until the text is at least `width` long; never cut.
std::string PadCharLeft(const std::string& text, char c, int width);
// TrimBlanks, then zeros in front up to `width` ("7" -> "007").
std::string PadZerosLeft(const std::string& text, int width);
// Blanks and control characters removed at both ends.
std::string TrimControls(const std::string& text);
// Only the letters a to z upper-cased.
std::string PlainUpper(const std::string& text);
