//===- transcript.h - Everything the session showed and was told ----------===//
//
// An ordered list of events: the API bracket, message boxes, questions and
// answers, the listing window, the status and prompt lines, the module's
// standard output and error, and the host's own findings (calls outside the
// bracket, injected faults, unfreed arrays, a failed run).  Texts are kept
// as the host's bytes (GBK) and written out both as UTF-8 and as hex.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_SESSION_TRANSCRIPT_H
#define NCSHEET_SIM_SESSION_TRANSCRIPT_H

#include <nlohmann/json_fwd.hpp>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class EventKind {
  BracketOpen,    ///< UF_initialize; value = depth after
  BracketClose,   ///< UF_terminate; value = depth after
  MessageBox,     ///< a message with only an OK button; text, detail = title
  Question,       ///< a question; text, detail = kind and choices
  Answer,         ///< the answer to the last question; detail = answer, value = response
  ListingOpen,    ///< the listing window opened
  Listing,        ///< text written to the listing window
  Status,         ///< the status line
  Prompt,         ///< the prompt line
  Stdout,         ///< module's standard output
  Stderr,         ///< module's standard error
  OutsideBracket, ///< detail = the call made with no API bracket open
  FaultInjected,  ///< detail = call, value = status
  HostException,  ///< detail = call and what the host threw
  UnfreedArray,   ///< detail = the call that handed the array out
  BadFree,        ///< UF_free of a pointer the host never handed out
  FileLeftOpen,   ///< detail = the file's path
  FileError,      ///< a runtime file operation failed; detail = what and why
  RunStart,       ///< value = run number (1, 2, ...)
  RunEnd,         ///< value = run number
  ModuleLoad,     ///< detail = module path
  ModuleUnload,   ///< detail = module path
  RunFailed,      ///< detail = the reason
  Note,           ///< anything else a host area wants on record
};

[[nodiscard]] std::string_view event_kind_name(EventKind kind) noexcept;

struct Event {
  EventKind kind;
  std::string text;   ///< host bytes (GBK), shown to the user
  std::string detail; ///< the host's own words (ASCII / UTF-8)
  int value = 0;
  int run = 0; ///< the run it happened in (0 before the first)
};

class Transcript {
public:
  void add(EventKind kind, std::string text = {}, std::string detail = {}, int value = 0);
  /// Sets the value of the latest event of a kind and appends to its
  /// detail; nothing when there is none.
  void amend_last(EventKind kind, int value, std::string_view more);
  void set_run(int run) noexcept { run_ = run; }
  [[nodiscard]] int run() const noexcept { return run_; }

  [[nodiscard]] const std::vector<Event> &events() const noexcept { return events_; }
  [[nodiscard]] std::size_t count(EventKind kind) const noexcept;
  /// The texts (host bytes) of every event of a kind, in order.
  [[nodiscard]] std::vector<std::string> texts(EventKind kind) const;
  /// The details of every event of a kind, in order.
  [[nodiscard]] std::vector<std::string> details(EventKind kind) const;
  /// All listing-window text, joined, and split into lines (no line feeds).
  [[nodiscard]] std::string listing() const;
  [[nodiscard]] std::vector<std::string> listing_lines() const;
  /// Texts of message boxes and questions, in order (host bytes).
  [[nodiscard]] std::vector<std::string> messages_shown() const;

  [[nodiscard]] nlohmann::json to_json() const;
  [[nodiscard]] std::string to_text() const;

private:
  std::vector<Event> events_;
  int run_ = 0;
};

} // namespace sim

#endif
