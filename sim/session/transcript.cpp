//===- transcript.cpp - Everything the session showed and was told --------===//
#include "session/transcript.h"

#include "text/gbk.h"

#include <nlohmann/json.hpp>

#include <array>

namespace sim {
namespace {

constexpr std::array<std::string_view, 24> kKindNames{
    "bracket_open", "bracket_close",   "message_box",    "question",       "answer",
    "listing_open", "listing",         "status",         "prompt",         "stdout",
    "stderr",       "outside_bracket", "fault_injected", "host_exception", "unfreed_array",
    "bad_free",     "file_left_open",  "file_error",     "run_start",      "run_end",
    "module_load",  "module_unload",   "run_failed",     "note",
};

bool shows_value(EventKind kind) noexcept {
  switch (kind) {
  case EventKind::BracketOpen:
  case EventKind::BracketClose:
  case EventKind::Answer:
  case EventKind::FaultInjected:
  case EventKind::RunStart:
  case EventKind::RunEnd: return true;
  default: return false;
  }
}

/// Indents every line after the first of a multi-line text.
std::string indent_lines(std::string_view text, std::string_view indent) {
  std::string out;
  for (const char c : text) {
    out.push_back(c);
    if (c == '\n')
      out.append(indent);
  }
  return out;
}

} // namespace

std::string_view event_kind_name(EventKind kind) noexcept {
  return kKindNames[static_cast<std::size_t>(kind)];
}

void Transcript::add(EventKind kind, std::string text, std::string detail, int value) {
  events_.push_back({kind, std::move(text), std::move(detail), value, run_});
}

void Transcript::amend_last(EventKind kind, int value, std::string_view more) {
  for (auto it = events_.rbegin(); it != events_.rend(); ++it) {
    if (it->kind != kind)
      continue;
    it->value = value;
    if (!more.empty()) {
      if (!it->detail.empty())
        it->detail += ' ';
      it->detail += more;
    }
    return;
  }
}

std::size_t Transcript::count(EventKind kind) const noexcept {
  std::size_t n = 0;
  for (const Event &event : events_)
    n += event.kind == kind ? 1 : 0;
  return n;
}

std::vector<std::string> Transcript::texts(EventKind kind) const {
  std::vector<std::string> out;
  for (const Event &event : events_)
    if (event.kind == kind)
      out.push_back(event.text);
  return out;
}

std::vector<std::string> Transcript::details(EventKind kind) const {
  std::vector<std::string> out;
  for (const Event &event : events_)
    if (event.kind == kind)
      out.push_back(event.detail);
  return out;
}

std::string Transcript::listing() const {
  std::string out;
  for (const Event &event : events_)
    if (event.kind == EventKind::Listing)
      out += event.text;
  return out;
}

std::vector<std::string> Transcript::listing_lines() const {
  std::vector<std::string> lines;
  const std::string all = listing();
  std::size_t start = 0;
  while (start < all.size()) {
    const std::size_t end = all.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(all.substr(start));
      break;
    }
    lines.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> Transcript::messages_shown() const {
  std::vector<std::string> out;
  for (const Event &event : events_)
    if (event.kind == EventKind::MessageBox || event.kind == EventKind::Question)
      out.push_back(event.text);
  return out;
}

nlohmann::json Transcript::to_json() const {
  nlohmann::json events = nlohmann::json::array();
  for (const Event &event : events_) {
    nlohmann::json item{{"kind", event_kind_name(event.kind)}, {"run", event.run}};
    if (!event.text.empty()) {
      item["text"] = gbk_to_utf8(event.text);
      if (!is_ascii(event.text))
        item["gbk_hex"] = to_hex(event.text);
    }
    if (!event.detail.empty())
      item["detail"] = event.detail;
    if (shows_value(event.kind))
      item["value"] = event.value;
    events.push_back(std::move(item));
  }
  return nlohmann::json{{"events", std::move(events)}};
}

std::string Transcript::to_text() const {
  std::string out;
  int run = -1;
  for (const Event &event : events_) {
    if (event.run != run) {
      run = event.run;
      out += run == 0 ? "== before the first run ==\n" : "== run " + std::to_string(run) + " ==\n";
    }
    std::string line = std::string(event_kind_name(event.kind));
    if (shows_value(event.kind))
      line += " " + std::to_string(event.value);
    if (!event.detail.empty())
      line += " [" + event.detail + "]";
    if (!event.text.empty())
      line += ": " + indent_lines(gbk_to_utf8(event.text), "    ");
    out += line;
    if (out.empty() || out.back() != '\n')
      out += '\n';
  }
  return out;
}

} // namespace sim
