//===- folder_names.h - Disk folders' entries by case-folded name ---------===//
//
// Host paths name files whatever the case of their letters, so resolving a
// path asks each folder on the way for its entry of that name.  A folder is
// listed once and listed again only when it changed since (its modification
// time moved); the runtime reports the entries its own calls create and
// remove, so its own writes keep the listing current without a new one.  A
// path then resolves with one status query per folder, however many files
// the folder holds.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_RUNTIME_FOLDER_NAMES_H
#define NCSHEET_SIM_RUNTIME_FOLDER_NAMES_H

#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

class FolderNames {
public:
  /// The entry of folder named like name (UTF-8) whatever the case of its
  /// ASCII letters: an exact match first, else the first match in name
  /// order; empty when there is none or the folder cannot be listed.
  [[nodiscard]] std::string find(const std::filesystem::path &folder, const std::string &name);
  /// A file the runtime created or renamed onto.
  void added(const std::filesystem::path &file);
  /// A file the runtime removed or renamed away.
  void removed(const std::filesystem::path &file);

private:
  struct Listing {
    std::filesystem::file_time_type stamp;
    /// Entries by folded name, each list in name order.
    std::unordered_map<std::string, std::vector<std::string>> by_folded;
  };

  /// The folder's listing, listed again when the folder changed; null when
  /// the folder cannot be asked.
  Listing *current(const std::filesystem::path &folder);
  /// After a change of the runtime's own: the listing's new stamp.
  void restamp(const std::filesystem::path &folder, Listing &listing);

  std::unordered_map<std::string, Listing> folders_;
};

} // namespace sim

#endif
