//===- make_sheet_templates.cpp - Writes the program sheet's template parts -===//
//
//   make_sheet_templates DEFINITION_FILE OUTPUT_FOLDER
//
// Draws prog_sheet_mr.prt and prog_sheet_mr1.prt from the definition file
// and writes them into the folder (data/kv_conf for the installation).
//
//===----------------------------------------------------------------------===//
#include "drawings/sheet_templates.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char **argv) {
  if (argc != 3) {
    std::cerr << "usage: make_sheet_templates DEFINITION_FILE OUTPUT_FOLDER\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << argv[1] << ": cannot be read\n";
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  const auto parts = sim::draw::draw_sheet_templates(text.str());
  if (!parts) {
    std::cerr << argv[1] << ": " << parts.error() << "\n";
    return 1;
  }
  const std::filesystem::path folder = argv[2];
  for (const auto &[name, content] : {std::pair{"prog_sheet_mr.prt", &parts->first},
                                      std::pair{"prog_sheet_mr1.prt", &parts->further}}) {
    std::ofstream out(folder / name, std::ios::binary);
    out << *content;
    if (!out) {
      std::cerr << (folder / name).string() << ": cannot be written\n";
      return 1;
    }
  }
  return 0;
}
