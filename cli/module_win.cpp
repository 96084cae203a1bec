//===- module_win.cpp - Loading the Windows DLL under wine ----------------===//
//
// Built into the winelib runner, ncsheet-win: a Linux program that wine
// runs, loading the Windows ncsheet.dll with LoadLibrary (win_loader.c).
// The DLL imports the host's functions from ncsheet_host.dll, the simulated
// host's winelib bridge.  Wine resolves an import to a builtin DLL only when
// that DLL is already loaded (it does not search its DLL path for one), so
// the bridge, which sits beside this runner, is loaded first by its file
// name, once for the life of the process.
//
//===----------------------------------------------------------------------===//
#include "module.h"
#include "win_loader.h"

#include <dlfcn.h>

namespace ncsheet {

namespace {

using Entry = void(__attribute__((ms_abi)) *)(char *param, int *retcode, int param_len);

constexpr const char *kBridgeFile = "ncsheet_host.dll.so";

/// The folder of this runner's own file (wine may have mapped it through
/// its prefix's drive links, which canonical resolves).
std::filesystem::path runner_folder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void *>(&runner_folder), &info) == 0 || !info.dli_fname)
    return std::filesystem::current_path();
  std::error_code ec;
  const std::filesystem::path file = std::filesystem::canonical(info.dli_fname, ec);
  return (ec ? std::filesystem::absolute(info.dli_fname) : file).parent_path();
}

sim::Expected<void> load_bridge() {
  static void *bridge = nullptr;
  if (bridge)
    return {};
  const std::filesystem::path file = runner_folder() / kBridgeFile;
  char why[512] = {};
  bridge = win_load_library(file.c_str(), why, sizeof why);
  if (!bridge)
    return sim::Expected<void>::failure("cannot load the host bridge " + file.string() + ": " +
                                        why);
  return {};
}

} // namespace

std::filesystem::path Module::default_path() { return runner_folder() / "ncsheet.dll"; }

Module::~Module() {
  if (handle_) {
    char why[512] = {};
    (void)win_free_library(handle_, why, sizeof why);
  }
}

sim::Expected<void> Module::load() {
  using Result = sim::Expected<void>;
  if (handle_)
    return {};
  if (Result bridge = load_bridge(); !bridge)
    return bridge;
  char why[512] = {};
  void *module = win_load_library(path_.c_str(), why, sizeof why);
  if (!module)
    return Result::failure("cannot load module " + path_.string() + ": " + why);
  ufusr_ = win_find_export(module, "ufusr");
  if (!ufusr_) {
    (void)win_free_library(module, why, sizeof why);
    return Result::failure("module " + path_.string() + " exports no ufusr");
  }
  handle_ = module;
  return {};
}

sim::Expected<void> Module::unload() {
  using Result = sim::Expected<void>;
  if (!handle_)
    return {};
  ufusr_ = nullptr;
  char why[512] = {};
  const int freed = win_free_library(handle_, why, sizeof why);
  handle_ = nullptr;
  if (!freed)
    return Result::failure(std::string("cannot unload module: ") + why);
  // Still mapped?  Then its state would survive a reload.
  if (win_is_loaded(path_.c_str()))
    return Result::failure("module " + path_.string() + " stayed loaded after it was closed");
  return {};
}

int Module::call_ufusr() {
  char param[1] = {'\0'};
  int retcode = 0;
  reinterpret_cast<Entry>(ufusr_)(param, &retcode, 0);
  return retcode;
}

} // namespace ncsheet
