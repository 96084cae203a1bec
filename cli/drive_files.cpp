//===- drive_files.cpp - The files of the mounted drives, as they stand ---===//
#include "drive_files.h"

namespace fs = std::filesystem;

namespace ncsheet {

DriveSnapshot snapshot_drives(const fs::path &drives) {
  DriveSnapshot files;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(drives, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec))
      files[it->path()] = {it->file_size(ec), it->last_write_time(ec)};
  return files;
}

std::string host_name(const fs::path &drives, const fs::path &file) {
  const fs::path relative = file.lexically_relative(drives);
  std::string name;
  for (const fs::path &part : relative) {
    if (name.empty())
      name = part.string() + ":";
    else
      name += "\\" + part.string();
  }
  return name;
}

} // namespace ncsheet
