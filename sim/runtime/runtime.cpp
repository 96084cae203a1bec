//===- runtime.cpp - Drive-mapped files and the clock ---------------------===//
#include "runtime/runtime.h"

#include "session/session.h"
#include "text/gbk.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

/// An open file: read files are loaded whole at open; written files go
/// straight to disk.
struct host_file {
  std::string path; ///< the host path it was opened by
  bool text = true;
  bool reading = false;
  std::string data;    ///< read: the file's bytes
  std::size_t pos = 0; ///< read: next byte
  std::FILE *out = nullptr;
};

namespace sim {
namespace {

constexpr unsigned char kCtrlZ = 0x1A;

char fold(char c) noexcept { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

/// Splits a host path into its drive letter and components (GBK-aware: a
/// backslash that is the second byte of a double-byte character is no
/// separator).  False when there is no drive letter.
bool split_path(std::string_view path, char &drive, std::vector<std::string> &parts) {
  if (path.size() < 2 || path[1] != ':')
    return false;
  drive = fold(path[0]);
  if (drive < 'A' || drive > 'Z')
    return false;
  parts.clear();
  std::string part;
  for (std::size_t i = 2; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < path.size()) {
      part += path[i];
      part += path[++i];
      continue;
    }
    if (c == '\\' || c == '/') {
      if (!part.empty())
        parts.push_back(std::move(part));
      part.clear();
      continue;
    }
    part += path[i];
  }
  if (!part.empty())
    parts.push_back(std::move(part));
  std::vector<std::string> clean;
  for (std::string &p : parts) {
    if (p == ".")
      continue;
    if (p == "..") {
      if (!clean.empty())
        clean.pop_back();
      continue;
    }
    clean.push_back(std::move(p));
  }
  parts = std::move(clean);
  return true;
}

/// Why Windows refuses a path component as a file or folder name, or
/// nothing: the characters <>:"|?* and control characters, names ending
/// in a dot or a blank, and the device names (CON, PRN, AUX, NUL, COM1-9,
/// LPT1-9), with or without an extension.  GBK double-byte characters are
/// letters of their own.
std::optional<std::string> windows_name_fault(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < name.size()) {
      ++i;
      continue;
    }
    if (c < 0x20 || std::strchr("<>:\"|?*", c) != nullptr)
      return c < 0x20 ? std::string("a control character")
                      : "the character " + std::string(1, static_cast<char>(c));
  }
  if (name.back() == '.' || name.back() == ' ')
    return std::string(name.back() == '.' ? "a dot" : "a blank") + " at its end";
  std::string base(name.substr(0, name.find('.')));
  for (char &c : base)
    c = fold(c);
  static constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL"};
  const bool numbered = base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
                        base[3] >= '1' && base[3] <= '9';
  if (numbered || std::find(std::begin(kDevices), std::end(kDevices), base) != std::end(kDevices))
    return "the device name " + base;
  return std::nullopt;
}

struct Mode {
  char kind = 0; // 'r', 'w' or 'a'
  bool text = true;
};

bool parse_mode(std::string_view text, Mode &mode) {
  if (text.empty() || (text[0] != 'r' && text[0] != 'w' && text[0] != 'a'))
    return false;
  mode.kind = text[0];
  for (const char c : text.substr(1)) {
    if (c == 'b')
      mode.text = false;
    else if (c == 't')
      mode.text = true;
    else
      return false; // update modes ("+") are not offered
  }
  return true;
}

/// The next character of a read file, with the text-mode rules.
/// Reads the rest of in into data; false when the read failed.
bool read_whole(std::ifstream &in, std::string &data) {
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0 || !in)
    return false;
  data.resize(static_cast<std::size_t>(size));
  return static_cast<bool>(in.read(data.data(), size)) || size == 0;
}

int next_char(host_file &file) noexcept {
  if (file.pos >= file.data.size())
    return HOST_EOF;
  const auto c = static_cast<unsigned char>(file.data[file.pos]);
  if (file.text) {
    if (c == kCtrlZ)
      return HOST_EOF; // stays there: every later read ends too
    if (c == '\r' && file.pos + 1 < file.data.size() && file.data[file.pos + 1] == '\n') {
      file.pos += 2;
      return '\n';
    }
  }
  ++file.pos;
  return c;
}

} // namespace

Runtime::Runtime(Session &session) : session_(session) {}

bool Runtime::refuses_name(std::string_view what, std::string_view host_path) {
  char drive = 0;
  std::vector<std::string> parts;
  if (!split_path(host_path, drive, parts))
    return false;
  for (const std::string &part : parts)
    if (const std::optional<std::string> fault = windows_name_fault(part)) {
      file_error(std::string(what) + " " + gbk_to_utf8(host_path) + ": not a Windows file name (" +
                 *fault + ")");
      return true;
    }
  return false;
}

Runtime::~Runtime() { close_all(); }

void Runtime::mount(char drive, const fs::path &folder) {
  fs::create_directories(folder);
  drives_[fold(drive)] = fs::absolute(folder);
}

std::optional<fs::path> Runtime::resolve(std::string_view host_path) const {
  char drive = 0;
  std::vector<std::string> parts;
  if (!split_path(host_path, drive, parts))
    return std::nullopt;
  const auto mounted = drives_.find(drive);
  if (mounted == drives_.end())
    return std::nullopt;
  fs::path disk = mounted->second;
  bool looking = true;
  for (const std::string &part : parts) {
    const std::string name = gbk_to_utf8(part);
    if (looking) {
      const std::string found = folder_names_.find(disk, name);
      if (!found.empty()) {
        disk /= found;
        continue;
      }
      looking = false;
    }
    disk /= name;
  }
  return disk;
}

void Runtime::set_clock(const std::tm &when) noexcept { clock_ = when; }

std::tm Runtime::now() const noexcept {
  if (clock_)
    return *clock_;
  std::tm local{};
  const std::time_t t = std::time(nullptr);
  localtime_r(&t, &local);
  return local;
}

void Runtime::file_error(std::string what) {
  session_.transcript().add(EventKind::FileError, {}, std::move(what));
}

bool Runtime::known(const host_file *file) const noexcept {
  return file != nullptr && std::any_of(files_.begin(), files_.end(),
                                        [file](const auto &open) { return open.get() == file; });
}

host_file *Runtime::open(std::string_view path, std::string_view mode_text) {
  const std::string shown = gbk_to_utf8(path);
  Mode mode;
  if (!parse_mode(mode_text, mode)) {
    file_error("open " + shown + ": mode \"" + std::string(mode_text) + "\" not supported");
    return nullptr;
  }
  if (refuses_name("open", path))
    return nullptr;
  const std::optional<fs::path> disk = resolve(path);
  if (!disk) {
    file_error("open " + shown + ": no mounted drive");
    return nullptr;
  }
  std::error_code ec;
  const fs::file_status status = fs::status(*disk, ec);
  if (fs::is_directory(status)) {
    file_error("open " + shown + ": is a folder");
    return nullptr;
  }
  auto file = std::make_unique<host_file>();
  file->path = std::string(path);
  file->text = mode.text;
  if (mode.kind == 'r') {
    std::ifstream in(*disk, std::ios::binary);
    if (!fs::is_regular_file(status) || !in || !read_whole(in, file->data)) {
      file_error("open " + shown + ": no such file");
      return nullptr;
    }
    file->reading = true;
  } else {
    file->out = std::fopen(disk->c_str(), mode.kind == 'w' ? "wb" : "ab");
    if (!file->out) {
      file_error("open " + shown + ": cannot write (" + std::strerror(errno) + ")");
      return nullptr;
    }
    folder_names_.added(*disk);
  }
  files_.push_back(std::move(file));
  return files_.back().get();
}

int Runtime::close(host_file *file) {
  const auto found = std::find_if(files_.begin(), files_.end(),
                                  [file](const auto &open) { return open.get() == file; });
  if (found == files_.end()) {
    file_error("close of a file that is not open");
    return HOST_EOF;
  }
  int result = 0;
  if ((*found)->out && std::fclose((*found)->out) != 0)
    result = HOST_EOF;
  (*found)->out = nullptr;
  files_.erase(found);
  return result;
}

int Runtime::getc(host_file *file) {
  if (!known(file) || !file->reading)
    return HOST_EOF;
  return next_char(*file);
}

char *Runtime::gets(char *buf, int n, host_file *file) {
  if (!buf || n <= 0 || !known(file) || !file->reading)
    return nullptr;
  int length = 0;
  while (length < n - 1) {
    const int c = next_char(*file);
    if (c == HOST_EOF)
      break;
    buf[length++] = static_cast<char>(c);
    if (c == '\n')
      break;
  }
  if (length == 0 && n > 1)
    return nullptr;
  buf[length] = '\0';
  return buf;
}

std::size_t Runtime::read(void *buf, std::size_t size, std::size_t count, host_file *file) {
  if (!buf || size == 0 || count == 0 || !known(file) || !file->reading)
    return 0;
  auto *bytes = static_cast<unsigned char *>(buf);
  const std::size_t wanted = size * count;
  std::size_t got = 0;
  while (got < wanted) {
    const int c = next_char(*file);
    if (c == HOST_EOF)
      break;
    bytes[got++] = static_cast<unsigned char>(c);
  }
  return got / size;
}

std::size_t Runtime::write(const void *buf, std::size_t size, std::size_t count, host_file *file) {
  if (!buf || size == 0 || count == 0 || !known(file) || !file->out)
    return 0;
  const auto *bytes = static_cast<const char *>(buf);
  const std::size_t total = size * count;
  if (!file->text)
    return std::fwrite(bytes, size, count, file->out);
  std::string translated;
  translated.reserve(total + total / 8);
  for (std::size_t i = 0; i < total; ++i) {
    if (bytes[i] == '\n')
      translated += '\r';
    translated += bytes[i];
  }
  if (std::fwrite(translated.data(), 1, translated.size(), file->out) != translated.size())
    return 0;
  return count;
}

int Runtime::remove(std::string_view path) {
  const std::string shown = gbk_to_utf8(path);
  if (refuses_name("remove", path))
    return -1;
  const std::optional<fs::path> disk = resolve(path);
  std::error_code ec;
  if (!disk || !fs::is_regular_file(*disk, ec)) {
    file_error("remove " + shown + ": no such file");
    return -1;
  }
  if (!fs::remove(*disk, ec) || ec) {
    file_error("remove " + shown + ": " + ec.message());
    return -1;
  }
  folder_names_.removed(*disk);
  return 0;
}

int Runtime::rename(std::string_view old_path, std::string_view new_path) {
  const std::string what = "rename " + gbk_to_utf8(old_path) + " to " + gbk_to_utf8(new_path);
  if (refuses_name("rename", old_path) || refuses_name("rename", new_path))
    return -1;
  const std::optional<fs::path> from = resolve(old_path);
  const std::optional<fs::path> to = resolve(new_path);
  std::error_code ec;
  if (!from || !to || !fs::exists(*from, ec)) {
    file_error(what + ": no such file");
    return -1;
  }
  if (fold(old_path[0]) != fold(new_path[0])) {
    file_error(what + ": not on the same drive");
    return -1;
  }
  if (fs::exists(*to, ec)) {
    file_error(what + ": target exists");
    return -1;
  }
  fs::rename(*from, *to, ec);
  if (ec) {
    file_error(what + ": " + ec.message());
    return -1;
  }
  folder_names_.removed(*from);
  folder_names_.added(*to);
  return 0;
}

std::vector<std::string> Runtime::open_files() const {
  std::vector<std::string> paths;
  for (const auto &file : files_)
    paths.push_back(gbk_to_utf8(file->path));
  return paths;
}

void Runtime::close_all() noexcept {
  for (const auto &file : files_)
    if (file->out)
      std::fclose(file->out);
  files_.clear();
}

std::optional<std::tm> parse_clock(std::string_view text) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  char tail = 0;
  const std::string copy(text);
  if (std::sscanf(copy.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &year, &month, &day, &hour, &minute,
                  &second, &tail) != 6)
    return std::nullopt;
  std::tm when{};
  when.tm_year = year - 1900;
  when.tm_mon = month - 1;
  when.tm_mday = day;
  when.tm_hour = hour;
  when.tm_min = minute;
  when.tm_sec = second;
  std::tm normal = when;
  if (timegm(&normal) == static_cast<std::time_t>(-1))
    return std::nullopt;
  if (normal.tm_year != when.tm_year || normal.tm_mon != when.tm_mon ||
      normal.tm_mday != when.tm_mday || normal.tm_hour != when.tm_hour ||
      normal.tm_min != when.tm_min || normal.tm_sec != when.tm_sec)
    return std::nullopt;
  normal.tm_isdst = 0;
  return normal;
}

} // namespace sim
