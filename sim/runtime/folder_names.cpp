//===- folder_names.cpp - Disk folders' entries by case-folded name -------===//
#include "runtime/folder_names.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace sim {
namespace {

std::string folded(std::string name) {
  for (char &c : name)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return name;
}

} // namespace

FolderNames::Listing *FolderNames::current(const fs::path &folder) {
  std::error_code ec;
  const fs::file_time_type stamp = fs::last_write_time(folder, ec);
  if (ec) {
    folders_.erase(folder.string());
    return nullptr;
  }
  Listing &listing = folders_[folder.string()];
  if (listing.stamp == stamp && stamp != fs::file_time_type{})
    return &listing;
  listing.stamp = stamp;
  listing.by_folded.clear();
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    listing.by_folded[folded(entry)].push_back(std::move(entry));
  }
  for (auto &[key, names] : listing.by_folded)
    std::sort(names.begin(), names.end());
  return &listing;
}

std::string FolderNames::find(const fs::path &folder, const std::string &name) {
  const Listing *listing = current(folder);
  if (!listing)
    return {};
  const auto found = listing->by_folded.find(folded(name));
  if (found == listing->by_folded.end())
    return {};
  const std::vector<std::string> &names = found->second;
  return std::binary_search(names.begin(), names.end(), name) ? name : names.front();
}

void FolderNames::restamp(const fs::path &folder, Listing &listing) {
  std::error_code ec;
  const fs::file_time_type stamp = fs::last_write_time(folder, ec);
  if (ec)
    folders_.erase(folder.string());
  else
    listing.stamp = stamp;
}

void FolderNames::added(const fs::path &file) {
  const fs::path folder = file.parent_path();
  const auto cached = folders_.find(folder.string());
  if (cached == folders_.end())
    return;
  const std::string name = file.filename().string();
  std::vector<std::string> &names = cached->second.by_folded[folded(name)];
  const auto at = std::lower_bound(names.begin(), names.end(), name);
  if (at == names.end() || *at != name)
    names.insert(at, name);
  restamp(folder, cached->second);
}

void FolderNames::removed(const fs::path &file) {
  const fs::path folder = file.parent_path();
  const auto cached = folders_.find(folder.string());
  if (cached == folders_.end())
    return;
  const std::string name = file.filename().string();
  const auto entry = cached->second.by_folded.find(folded(name));
  if (entry != cached->second.by_folded.end()) {
    std::vector<std::string> &names = entry->second;
    names.erase(std::remove(names.begin(), names.end(), name), names.end());
    if (names.empty())
      cached->second.by_folded.erase(entry);
  }
  restamp(folder, cached->second);
}

} // namespace sim
