// tamorix-shopsim: a shop's point of sale beside a running transfer, and
// the checks afterwards.
//
//   tamorix-shopsim make DIR [--cards N] [--stores N]
//       writes a demo chain into DIR and keeps each store's opening state
//   tamorix-shopsim change DIR DAY
//       changes other master cards and variants for the transfer of that day
//   tamorix-shopsim run STOREDIR CODE --log FILE [--seed N] [--sim ID]
//       [--ops N] [--stop FILE] [--hold-ms N] [--pause-ms N] [--hot N]
//       one store's day: sales, card edits, records held for a while
//   tamorix-shopsim check DIR [--transfer-done] LOG...
//       the checks of the files against the opening states and the logs;
//       exit code 0 when nothing is wrong, 1 with every fault on stderr

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "chain_check.h"
#include "chain_state.h"
#include "demo_data.h"
#include "shop_day.h"
#include "xbase/platform.h"

namespace {

int Usage() {
  std::cerr << "usage: tamorix-shopsim make DIR [--cards N] [--stores N]\n"
               "       tamorix-shopsim change DIR DAY\n"
               "       tamorix-shopsim run STOREDIR CODE --log FILE [--seed N] [--sim ID] [--ops N] [--stop FILE]\n"
               "                           [--hold-ms N] [--pause-ms N] [--hot N]\n"
               "       tamorix-shopsim check DIR [--transfer-done] LOG...\n";
  return 2;
}

void KeepOpeningStates(const std::string& dir) {
  for (const StoreRef& s : ChainStores(dir)) WriteOpeningState(OpeningStateFile(dir, s.code), TakeOpeningState(s));
}

int Make(const std::vector<std::string>& a) {
  if (a.empty()) return Usage();
  DemoSize size;
  size.cards = 2000;
  size.stores = 2;
  for (size_t i = 1; i + 1 < a.size(); i += 2) {
    if (a[i] == "--cards") size.cards = std::stoi(a[i + 1]);
    else if (a[i] == "--stores") size.stores = std::stoi(a[i + 1]);
    else return Usage();
  }
  WriteDemoData(a[0], size);
  KeepOpeningStates(a[0]);
  return 0;
}

int Run(const std::vector<std::string>& a) {
  if (a.size() < 2) return Usage();
  ShopDayOptions o;
  o.dir = a[0];
  o.code = a[1];
  for (size_t i = 2; i + 1 < a.size(); i += 2) {
    const std::string& k = a[i];
    const std::string& v = a[i + 1];
    if (k == "--log") o.logFile = v;
    else if (k == "--seed") o.seed = static_cast<unsigned>(std::stoul(v));
    else if (k == "--sim") o.simId = std::stoi(v) % 100;
    else if (k == "--ops") o.operations = std::stol(v);
    else if (k == "--stop") o.stopFile = v;
    else if (k == "--hold-ms") o.holdMillis = std::stoi(v);
    else if (k == "--pause-ms") o.pauseMillis = std::stoi(v);
    else if (k == "--hot") o.hotVariants = std::stoi(v);
    else return Usage();
  }
  if (o.logFile.empty()) return Usage();
  long done = RunShopDay(o);
  std::cout << o.code << " sim " << o.simId << ": " << done << " operations\n";
  return 0;
}

int Check(const std::vector<std::string>& a) {
  if (a.empty()) return Usage();
  bool transferDone = false;
  std::vector<std::string> logs;
  for (size_t i = 1; i < a.size(); ++i) {
    if (a[i] == "--transfer-done") transferDone = true;
    else logs.push_back(a[i]);
  }
  ChainCheckResult r = CheckChain(a[0], logs, transferDone);
  for (const std::string& f : r.faults) std::cerr << f << "\n";
  std::cout << "journal rows of the shops " << r.salesChecked << ", card edits " << r.cardEditsChecked
            << ", variant stocks " << r.variantsChecked << ", master cards compared " << r.cardsCompared
            << ", faults " << r.faults.size() << "\n";
  return r.faults.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  XbIgnoreFileSizeSignal();
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  std::vector<std::string> a(argv + 2, argv + argc);
  try {
    if (command == "make") return Make(a);
    if (command == "change") {
      if (a.size() != 2) return Usage();
      ChangeMasterForTransfer(a[0], std::stoi(a[1]));
      return 0;
    }
    if (command == "run") return Run(a);
    if (command == "check") return Check(a);
  } catch (const std::exception& e) {
    std::cerr << "tamorix-shopsim: " << e.what() << "\n";
    return 1;
  }
  return Usage();
}
