//===- dump.h - The part as JSON ------------------------------------------===//
//
// Every object in creation order with its header fields and its payload,
// and the session's facts: display part, application, undo marks and each
// component's state.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_DUMP_DUMP_H
#define NCSHEET_SIM_DUMP_DUMP_H

#include <nlohmann/json_fwd.hpp>

#include <filesystem>

namespace sim {

class Session;

[[nodiscard]] nlohmann::json dump_part(const Session &session);
/// Writes dump_part as indented JSON; false when the file cannot be written.
[[nodiscard]] bool write_part_dump(const Session &session, const std::filesystem::path &file);

} // namespace sim

#endif
