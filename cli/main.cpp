//===- main.cpp - The ncsheet runner --------------------------------------===//
#include "runner.h"

#include <exception>
#include <iostream>

int main(int argc, char **argv) {
  try {
    return ncsheet::main_command(argc, argv, std::cout, std::cerr);
  } catch (const std::exception &e) {
    std::cerr << "ncsheet: " << e.what() << "\n";
    return ncsheet::kExitRunFailed;
  }
}
