//===- module_dl.cpp - Loading the Linux module with dlopen ---------------===//
#include "module.h"

#include <dlfcn.h>

namespace ncsheet {

namespace {
using Entry = void (*)(char *param, int *retcode, int param_len);
} // namespace

std::filesystem::path Module::default_path() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (ec ? std::filesystem::current_path() : self.parent_path()) / "libncsheet.so";
}

Module::~Module() {
  if (handle_)
    dlclose(handle_);
}

sim::Expected<void> Module::load() {
  using Result = sim::Expected<void>;
  if (handle_)
    return {};
  handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char *why = dlerror();
    return Result::failure("cannot load module " + path_.string() + ": " +
                           (why ? why : "unknown error"));
  }
  ufusr_ = dlsym(handle_, "ufusr");
  if (!ufusr_) {
    dlclose(handle_);
    handle_ = nullptr;
    return Result::failure("module " + path_.string() + " exports no ufusr");
  }
  return {};
}

sim::Expected<void> Module::unload() {
  using Result = sim::Expected<void>;
  if (!handle_)
    return {};
  ufusr_ = nullptr;
  const int closed = dlclose(handle_);
  handle_ = nullptr;
  if (closed != 0) {
    const char *why = dlerror();
    return Result::failure("cannot unload module: " + std::string(why ? why : "unknown error"));
  }
  // Still mapped?  Then its state would survive a reload.
  if (void *still = dlopen(path_.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
    dlclose(still);
    return Result::failure("module " + path_.string() + " stayed loaded after it was closed");
  }
  return {};
}

int Module::call_ufusr() {
  char param[1] = {'\0'};
  int retcode = 0;
  reinterpret_cast<Entry>(ufusr_)(param, &retcode, 0);
  return retcode;
}

} // namespace ncsheet
