#pragma once
// The checks after shops and a transfer worked on the same chain, from the
// files, the opening states and the shop simulators' logs:
// - every journal row a shop logged is in its store's journal exactly once,
//   as logged, and the journal holds no simulator row that no log names;
// - the counter row gave every new row its own number and ends on the last;
// - every variant's stock is its opening stock plus its journal (or, where
//   the opening stock disagreed with the journal and the transfer rebuilt
//   it, the rebuilt value), and each new row's DEN_ZAS is the stock after it;
// - each card's own fields hold the shop's last edit;
// - with `transferDone`: every master card and variant is in every store
//   with the master's descriptive fields, prices and notes.

#include <string>
#include <vector>

struct ChainCheckResult {
  std::vector<std::string> faults;
  long salesChecked = 0, cardEditsChecked = 0, variantsChecked = 0, cardsCompared = 0;
};

ChainCheckResult CheckChain(const std::string& chainDir, const std::vector<std::string>& logs, bool transferDone);
