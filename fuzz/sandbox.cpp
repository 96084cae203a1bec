//===- sandbox.cpp - A fresh simulated session for one fuzz case ----------===//
#include "sandbox.h"

#include "runtime/runtime.h"

#include <cstdint>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace fuzz {

namespace fs = std::filesystem;

Sandbox::Sandbox() : scope_(session_) {
  std::error_code ec;
  folder_ = fs::temp_directory_path(ec) / ("ncsheet_fuzz_" + std::to_string(::getpid()) + "_" +
                                           std::to_string(reinterpret_cast<std::uintptr_t>(this)));
  fs::remove_all(folder_, ec);
  fs::create_directories(folder_ / "lang", ec);
  session_.runtime().mount('D', folder_);
}

Sandbox::~Sandbox() {
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

bool Sandbox::write(std::string_view host_path, std::string_view bytes) {
  const auto path = session_.runtime().resolve(host_path);
  if (!path)
    return false;
  std::error_code ec;
  fs::create_directories(path->parent_path(), ec);
  std::ofstream out(*path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

} // namespace fuzz
