//===- module.h - Loading the module as the host does ---------------------===//
#ifndef NCSHEET_CLI_MODULE_H
#define NCSHEET_CLI_MODULE_H

#include <filesystem>
#include <string>

namespace ncsheet {

/// The user-function module: dlopen'd with RTLD_NOW | RTLD_LOCAL, its
/// ufusr looked up and called; unloading checks that it is really gone.
class Module {
public:
  explicit Module(std::filesystem::path path) : path_(std::move(path)) {}
  Module(const Module &) = delete;
  Module &operator=(const Module &) = delete;
  ~Module();

  /// Loads the module; false with error() set when it cannot be loaded or
  /// has no ufusr.
  [[nodiscard]] bool load();
  /// Unloads it; false with error() set when it stays loaded.
  [[nodiscard]] bool unload();
  [[nodiscard]] bool loaded() const noexcept { return handle_ != nullptr; }
  /// Calls ufusr with an empty parameter; returns the return code it set.
  int call_ufusr();

  [[nodiscard]] const std::filesystem::path &path() const noexcept { return path_; }
  [[nodiscard]] const std::string &error() const noexcept { return error_; }

private:
  using Entry = void (*)(char *param, int *retcode, int param_len);

  std::filesystem::path path_;
  void *handle_ = nullptr;
  Entry ufusr_ = nullptr;
  std::string error_;
};

} // namespace ncsheet

#endif
