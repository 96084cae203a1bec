//===- module.h - Loading the module as the host does ---------------------===//
//
// One interface, two loaders: module_dl.cpp loads the Linux module with
// dlopen; module_win.cpp, built with winelib, loads the Windows DLL with
// LoadLibrary under wine.  A runner links exactly one of them.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_CLI_MODULE_H
#define NCSHEET_CLI_MODULE_H

#include "base/expected.h"

#include <filesystem>
#include <string>

namespace ncsheet {

/// The user-function module: loaded, its ufusr looked up and called;
/// unloading checks that it is really gone.
class Module {
public:
  explicit Module(std::filesystem::path path) : path_(std::move(path)) {}
  Module(const Module &) = delete;
  Module &operator=(const Module &) = delete;
  ~Module();

  /// The module this loader loads by default: the one beside the runner.
  [[nodiscard]] static std::filesystem::path default_path();

  /// Loads the module; fails, saying why, when it cannot be loaded or has
  /// no ufusr.
  [[nodiscard]] sim::Expected<void> load();
  /// Unloads it; fails, saying why, when it stays loaded.
  [[nodiscard]] sim::Expected<void> unload();
  [[nodiscard]] bool loaded() const noexcept { return handle_ != nullptr; }
  /// Calls ufusr with an empty parameter; returns the return code it set.
  int call_ufusr();

  [[nodiscard]] const std::filesystem::path &path() const noexcept { return path_; }

private:
  std::filesystem::path path_;
  void *handle_ = nullptr;
  void *ufusr_ = nullptr; ///< the entry, in the loader's own calling convention
};

} // namespace ncsheet

#endif
