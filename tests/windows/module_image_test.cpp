// What the built modules carry: ufusr as their only export, and for the
// Windows DLLs imports from the host, the Windows C runtime and KERNEL32
// alone (the C++ runtime linked in), the file layer imported from the host
// by the simulated host's DLL and carried by the installation's.
#include "session_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string command_output(const std::string &command) {
  std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  if (!pipe)
    return out;
  std::array<char, 4096> chunk{};
  std::size_t got = 0;
  while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe.get())) > 0)
    out.append(chunk.data(), got);
  return out;
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

/// A DLL's tables as objdump prints them: the exports, and the functions
/// imported from each DLL (by lower-cased DLL name).
struct PeTables {
  std::set<std::string> exports;
  std::map<std::string, std::set<std::string>> imports;
};

PeTables read_pe(const fs::path &dll) {
  PeTables tables;
  const std::string text = command_output(std::string(OBJDUMP) + " -p '" + dll.string() + "'");
  std::istringstream lines(text);
  std::string line;
  std::string importing;
  bool in_exports = false;
  const std::regex dll_name(R"(^\s*DLL Name: (\S+))");
  const std::regex import_entry(R"(^\s+[0-9a-f]+\s+[0-9]+\s+(\S+)$)");
  const std::regex export_entry(R"(^\s+\[\s*[0-9]+\]\s+(\S+)$)");
  std::smatch m;
  while (std::getline(lines, line)) {
    if (std::regex_search(line, m, dll_name)) {
      importing = lower(m[1]);
      tables.imports[importing];
      in_exports = false;
    } else if (line.find("[Ordinal/Name Pointer] Table") != std::string::npos) {
      in_exports = true;
      importing.clear();
    } else if (line.empty()) {
      importing.clear();
      in_exports = false;
    } else if (in_exports && std::regex_match(line, m, export_entry)) {
      tables.exports.insert(m[1]);
    } else if (!importing.empty() && std::regex_match(line, m, import_entry)) {
      tables.imports[importing].insert(m[1]);
    }
  }
  return tables;
}

/// The host functions of the call list.
std::set<std::string> host_calls() {
  std::set<std::string> names;
  std::ifstream in(fs::path(NCSHEET_SOURCE_DIR) / "sim" / "session" / "calls.def");
  const std::regex call(R"(^SIM_CALL\((\w+),)");
  std::smatch m;
  for (std::string line; std::getline(in, line);)
    if (std::regex_search(line, m, call))
      names.insert(m[1]);
  return names;
}

TEST(ModuleImage, LinuxModuleExportsUfusrAlone) {
  const std::string text =
      command_output("nm -D --defined-only '" + std::string(LINUX_MODULE) + "'");
  std::set<std::string> defined;
  std::istringstream lines(text);
  for (std::string address, kind, name; lines >> address >> kind >> name;)
    defined.insert(name);
  EXPECT_EQ(defined, std::set<std::string>{"ufusr"}) << text;
}

TEST(ModuleImage, WindowsDllsExportUfusrAloneAndImportOnlyHostRuntimeAndKernel) {
  const std::set<std::string> calls = host_calls();
  ASSERT_GT(calls.size(), 100u);
  std::set<std::string> runtime_layer;
  for (const std::string &name : calls)
    if (name.rfind("host_", 0) == 0)
      runtime_layer.insert(name);
  ASSERT_EQ(runtime_layer.size(), 11u);

  for (const char *dll : {DLL_INSTALL, DLL_SIM}) {
    SCOPED_TRACE(dll);
    const PeTables tables = read_pe(dll);
    EXPECT_EQ(tables.exports, std::set<std::string>{"ufusr"});
    std::set<std::string> from;
    for (const auto &[name, functions] : tables.imports)
      from.insert(name);
    EXPECT_EQ(from, (std::set<std::string>{"kernel32.dll", "msvcrt.dll", "ncsheet_host.dll"}));
    const std::set<std::string> &host = tables.imports.at("ncsheet_host.dll");
    for (const std::string &name : host)
      EXPECT_TRUE(calls.count(name)) << name << " is imported but is no host function";
    std::set<std::string> layer_imported;
    std::set_intersection(host.begin(), host.end(), runtime_layer.begin(), runtime_layer.end(),
                          std::inserter(layer_imported, layer_imported.end()));
    if (std::string(dll) == DLL_SIM)
      EXPECT_EQ(layer_imported, runtime_layer) << "the file layer comes from the host";
    else
      EXPECT_TRUE(layer_imported.empty()) << "an installation's DLL carries its file layer";
  }
}

} // namespace
