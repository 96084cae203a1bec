//===- sandbox.h - A fresh simulated session for one fuzz case ------------===//
//
// The session's drive D lives in a temporary folder of its own, removed
// with the sandbox; a case's file is written to a host path on it.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_FUZZ_SANDBOX_H
#define NCSHEET_FUZZ_SANDBOX_H

#include "session/session.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace fuzz {

class Sandbox {
public:
  Sandbox();
  Sandbox(const Sandbox &) = delete;
  Sandbox &operator=(const Sandbox &) = delete;
  ~Sandbox();

  [[nodiscard]] sim::Session &session() { return session_; }
  /// The folder of drive D.
  [[nodiscard]] const std::filesystem::path &folder() const { return folder_; }
  /// Writes bytes to host_path (a path on drive D); false when it has none.
  bool write(std::string_view host_path, std::string_view bytes);

private:
  sim::Session session_;
  sim::SessionScope scope_;
  std::filesystem::path folder_;
};

} // namespace fuzz

#endif
