//===- drive_files.h - The files of the mounted drives, as they stand -----===//
#ifndef NCSHEET_CLI_DRIVE_FILES_H
#define NCSHEET_CLI_DRIVE_FILES_H

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace ncsheet {

/// A file of the drives as it was: size and modification time.
struct FileStamp {
  std::uintmax_t size;
  std::filesystem::file_time_type time;
  bool operator==(const FileStamp &) const = default;
};

/// Every regular file under a folder of drives (one folder a drive letter).
using DriveSnapshot = std::map<std::filesystem::path, FileStamp>;

[[nodiscard]] DriveSnapshot snapshot_drives(const std::filesystem::path &drives);

/// "D:\\kv_conf\\temp\\x.dat" for a disk path under drives/D.
[[nodiscard]] std::string host_name(const std::filesystem::path &drives,
                                    const std::filesystem::path &file);

} // namespace ncsheet

#endif
