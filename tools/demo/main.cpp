// tamorix-demo DIR: writes the demo data set and its DataSor.ini into DIR.

#include <iostream>

#include "demo_data.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: tamorix-demo DIR\n";
    return 2;
  }
  try {
    WriteDemoData(argv[1]);
  } catch (const std::exception& e) {
    std::cerr << "tamorix-demo: " << e.what() << "\n";
    return 1;
  }
  std::cout << "Demo data written to " << argv[1] << "\n";
  return 0;
}
