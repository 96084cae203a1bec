//===- runtime.h - Drive-mapped files and the clock -----------------------===//
//
// The system names files by Windows paths.  A drive letter maps onto a
// folder of the session (D: to <root>/drives/D); path components are
// separated by backslashes (or slashes) and looked up case-insensitively;
// GBK bytes in names become UTF-8 names on disk.  Files behave as the
// Windows C runtime's: text-mode reads drop a CR before an LF and end at a
// Ctrl-Z byte, text-mode writes turn LF into CR LF, binary mode is raw;
// rename fails when the target exists; a folder cannot be opened.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_RUNTIME_RUNTIME_H
#define NCSHEET_SIM_RUNTIME_RUNTIME_H

#include "host/host_runtime.h"

#include "runtime/folder_names.h"

#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class Session;

class Runtime {
public:
  explicit Runtime(Session &session);
  Runtime(const Runtime &) = delete;
  Runtime &operator=(const Runtime &) = delete;
  ~Runtime();

  /// Maps drive letter (A-Z, either case) onto folder, creating it.
  void mount(char drive, const std::filesystem::path &folder);
  [[nodiscard]] const std::map<char, std::filesystem::path> &drives() const noexcept {
    return drives_;
  }
  /// The disk path of a host path.  Existing components are found whatever
  /// their case; missing ones are converted to UTF-8 as they are.  Nothing
  /// when the path has no mounted drive or is malformed.
  [[nodiscard]] std::optional<std::filesystem::path> resolve(std::string_view host_path) const;

  /// The clock host_localtime answers.  Unset: the machine's local time.
  void set_clock(const std::tm &when) noexcept;
  [[nodiscard]] std::tm now() const noexcept;

  // The runtime calls (host_runtime.h).
  [[nodiscard]] host_file *open(std::string_view path, std::string_view mode);
  int close(host_file *file);
  int getc(host_file *file);
  char *gets(char *buf, int n, host_file *file);
  std::size_t read(void *buf, std::size_t size, std::size_t count, host_file *file);
  std::size_t write(const void *buf, std::size_t size, std::size_t count, host_file *file);
  int remove(std::string_view path);
  int rename(std::string_view old_path, std::string_view new_path);

  /// Host paths of files still open.
  [[nodiscard]] std::vector<std::string> open_files() const;
  /// Closes every file still open (after they were reported).
  void close_all() noexcept;

private:
  [[nodiscard]] bool known(const host_file *file) const noexcept;
  void file_error(std::string what);
  /// True, after reporting it, when a component of host_path is a name
  /// Windows refuses (the file call then fails as it would there).
  [[nodiscard]] bool refuses_name(std::string_view what, std::string_view host_path);

  Session &session_;
  std::map<char, std::filesystem::path> drives_;
  /// Resolving a path is a lookup, not a change: the listings are a cache.
  mutable FolderNames folder_names_;
  std::optional<std::tm> clock_;
  std::vector<std::unique_ptr<host_file>> files_;
};

/// Parses "YYYY-MM-DDTHH:MM:SS" into a struct tm with its weekday and day
/// of the year; nothing when malformed.
[[nodiscard]] std::optional<std::tm> parse_clock(std::string_view text);

} // namespace sim

#endif
