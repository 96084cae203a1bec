//===- outcome.cpp - What the user got from the runs ----------------------===//
#include "outcome.h"

#include "session/calls.h"
#include "postproc/posts.h"
#include "session/session.h"
#include "session/transcript.h"
#include "text/gbk.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace fs = std::filesystem;

namespace ncsheet {
namespace {

/// Longest question or message text the line quotes.
constexpr std::size_t kQuoteLength = 60;
/// The installation's folder on drive D: settings and temporary files, no NC files.
constexpr std::string_view kInstallationPrefix = "D:\\kv_conf\\";

/// A host text's first line, cut to kQuoteLength bytes, quoted.
std::string quote(const std::string &gbk) { return "\"" + shown_line(gbk, kQuoteLength) + "\""; }

bool same_word(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

/// How an answer's detail says the question was left: "NO", "Back",
/// "Cancel", "no answer left", or empty when it was answered on.  The
/// detail is the answer as given (JSON) followed by what the host made of
/// it ("-> NO", "Cancel (no answer left)", "item 2: ...", "OK: path").
std::string stopping_answer(const std::string &detail) {
  if (detail.starts_with("none left") || detail.starts_with("unfit"))
    return "no fitting answer left";
  if (detail.starts_with("end of input"))
    return "end of input";
  std::string_view what = detail;
  if (const std::size_t end = what.rfind("} ");
      what.starts_with("{") || what.starts_with("terminal"))
    what = end == std::string_view::npos ? std::string_view() : what.substr(end + 2);
  if (what.starts_with("-> "))
    what.remove_prefix(3);
  const std::string_view word = what.substr(0, what.find(' '));
  for (std::string_view stop : {"NO", "BACK", "CANCEL"})
    if (same_word(word, stop))
      return std::string(word);
  return {};
}

} // namespace

std::string shown_line(const std::string &gbk, std::size_t max) {
  std::string text = sim::gbk_to_utf8(gbk);
  const std::size_t end = text.find('\n');
  bool cut = end != std::string::npos;
  if (cut)
    text.resize(end);
  if (text.size() > max) {
    std::size_t size = max;
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80)
      --size; // not inside a UTF-8 character
    text.resize(size);
    cut = true;
  }
  return text + (cut ? " ..." : "");
}

std::string stop_of_run(const sim::Session &session, int run) {
  const sim::Event *question = nullptr;
  const sim::Event *answer = nullptr;
  const sim::Event *message = nullptr;
  for (const sim::Event &event : session.transcript().events()) {
    if (event.run != run)
      continue;
    switch (event.kind) {
    case sim::EventKind::Question:
      question = &event;
      answer = nullptr;
      message = nullptr;
      break;
    case sim::EventKind::Answer: answer = &event; break;
    case sim::EventKind::MessageBox: message = &event; break;
    default: break;
    }
  }
  if (question && answer) {
    const std::string how = stopping_answer(answer->detail);
    if (!how.empty() && !message)
      return "at " + quote(question->text) + " (" + how + ")";
  }
  if (message)
    return "at the message " + quote(message->text);
  return {};
}

Outcome::Outcome(const sim::Session &session, fs::path drives)
    : session_(session), drives_(std::move(drives)), start_(snapshot_drives(drives_)),
      before_(start_) {}

void Outcome::run_starts() {
  preference_calls_ = session_.calls().count(sim::Call::UF_DRF_set_preferences);
  const auto *posts = session_.find<sim::post::Postprocessors>();
  posts_ = posts ? posts->completed() : 0;
}

void Outcome::run_ends(int run) {
  const auto *posts = session_.find<sim::post::Postprocessors>();
  programs_posted_ += (posts ? posts->completed() : 0) - posts_;
  DriveSnapshot after = snapshot_drives(drives_);
  for (const auto &[file, stamp] : after) {
    const auto old = before_.find(file);
    if ((old != before_.end() && old->second == stamp) ||
        host_name(drives_, file).starts_with(kInstallationPrefix))
      continue;
    ++nc_written_;
    nc_replaced_ += old != before_.end();
  }
  // Between runs only the module is loaded or unloaded: no file changes.
  before_ = std::move(after);
  if (session_.calls().count(sim::Call::UF_DRF_set_preferences) >= preference_calls_ + 2)
    return;
  std::string stop = stop_of_run(session_, run);
  stops_.push_back("run " + std::to_string(run) + " stopped " +
                   (stop.empty() ? std::string("before its sheet") : stop));
}

std::string Outcome::line(const std::vector<fs::path> &pages) const {
  const auto count = [](int n, const char *one, const char *many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  std::string text = "outcome: " + count(programs_posted_, "program", "programs") + " posted, " +
                     count(nc_written_, "NC file", "NC files") + " written (" +
                     std::to_string(nc_replaced_) + " replaced), " +
                     count(static_cast<int>(pages.size()), "page", "pages");
  if (!pages.empty())
    text += " in " + pages.front().parent_path().string();
  const sim::Event *last = nullptr;
  for (const sim::Event &event : session_.transcript().events())
    if (event.kind == sim::EventKind::MessageBox)
      last = &event;
  if (last)
    text += ", last message " + quote(last->text);
  for (const std::string &stop : stops_)
    text += "; " + stop;
  return text;
}

} // namespace ncsheet
