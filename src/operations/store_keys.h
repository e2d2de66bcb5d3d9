#pragma once
// Keys of a store's tables as the tags hold them: the card number in its 6
// characters, the variant key as card number and variant index (3
// characters), blanks filling the fields as the file stores them.

#include <string>

inline std::string CardKey(const std::string& kav) {
  std::string k = kav.substr(0, 6);
  return k + std::string(6 - k.size(), ' ');
}

inline std::string VariantKey(const std::string& kav, const std::string& ind) {
  std::string i = ind.substr(0, 3);
  return CardKey(kav) + i + std::string(3 - i.size(), ' ');
}

// Gives up the edit of a table object and the record-lock level the edit
// took, after an error in the middle of it; errors of that are dropped (the
// caller is on an error path already).
class TDbfTable;
void AbandonEdit(TDbfTable& table);
// UnlockRecords, its own errors dropped.
void QuietUnlock(TDbfTable& table);
