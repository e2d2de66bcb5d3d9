// tamorix-demo DIR [--cards N] [--stores N]: writes the demo data set and its
// DataSor.ini into DIR; the options make a smaller (or larger) chain for
// tests, with N master cards and N stores.

#include <iostream>
#include <string>

#include "demo_data.h"

namespace {

int Usage() {
  std::cerr << "usage: tamorix-demo DIR [--cards N] [--stores N]\n";
  return 2;
}

bool ReadCount(const char* text, int low, int high, int& out) {
  try {
    size_t used = 0;
    int value = std::stoi(text, &used);
    if (text[used] != '\0' || value < low || value > high) return false;
    out = value;
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  DemoSize size;
  for (int i = 2; i < argc; i += 2) {
    std::string arg = argv[i];
    bool read = i + 1 < argc && ((arg == "--cards" && ReadCount(argv[i + 1], 0, 999999, size.cards)) ||
                                 (arg == "--stores" && ReadCount(argv[i + 1], 1, 14, size.stores)));
    if (!read) return Usage();
  }
  try {
    WriteDemoData(argv[1], size);
  } catch (const std::exception& e) {
    std::cerr << "tamorix-demo: " << e.what() << "\n";
    return 1;
  }
  std::cout << "Demo data written to " << argv[1] << "\n";
  return 0;
}
