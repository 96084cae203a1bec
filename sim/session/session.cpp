//===- session.cpp - The simulated host's state ---------------------------===//
#include "session/session.h"

#include "objects/object_store.h"
#include "runtime/runtime.h"
#include "ui/operator.h"

#include <string>

namespace sim {
namespace {

/// The session host calls go to; the library's one global.
Session *current_session = nullptr;

} // namespace

Component::~Component() = default;
void Component::dump(nlohmann::json &) const {}
void Component::finish(Session &) {}

Session::Session()
    : objects_(std::make_unique<ObjectStore>()), operator_(std::make_unique<Operator>(*this)),
      runtime_(std::make_unique<Runtime>(*this)) {}

Session::~Session() {
  if (current_session == this)
    current_session = nullptr;
  // Components may refer to the rest: drop them first, newest first.
  while (!components_.empty())
    components_.pop_back();
}

Session *Session::current() noexcept { return current_session; }

void Session::open_bracket() {
  ++depth_;
  ++initialize_calls_;
  transcript_.add(EventKind::BracketOpen, {}, {}, depth_);
}

bool Session::close_bracket() {
  if (depth_ == 0) {
    transcript_.add(EventKind::BracketClose, {}, "no API bracket open", 0);
    fail_run("UF_terminate called with no API bracket open");
    return false;
  }
  --depth_;
  ++terminate_calls_;
  transcript_.add(EventKind::BracketClose, {}, {}, depth_);
  return true;
}

void Session::note_outside_bracket(Call call) {
  ++outside_calls_;
  transcript_.add(EventKind::OutsideBracket, {}, std::string(call_name(call)));
}

tag_t Session::open_part(std::string file) {
  Object &part = objects_->create(kPartType, 0);
  display_part_ = part.tag;
  part_file_ = std::move(file);
  return part.tag;
}

int Session::add_undo_mark(bool visible, std::string name) {
  const int id = static_cast<int>(undo_marks_.size()) + 1;
  undo_marks_.push_back({id, visible, std::move(name)});
  return id;
}

void Session::open_listing() {
  listing_open_ = true;
  transcript_.add(EventKind::ListingOpen);
}

void Session::write_listing(std::string_view text) {
  transcript_.add(EventKind::Listing, std::string(text));
}

void Session::set_status_line(std::string_view text) {
  status_line_ = text;
  transcript_.add(EventKind::Status, std::string(text));
}

void Session::set_prompt_line(std::string_view text) {
  prompt_line_ = text;
  transcript_.add(EventKind::Prompt, std::string(text));
}

void Session::fail_run(std::string reason) {
  transcript_.add(EventKind::RunFailed, {}, reason);
  failures_.push_back(std::move(reason));
}

std::vector<const Component *> Session::components() const {
  const std::lock_guard lock(components_mutex_);
  std::vector<const Component *> out;
  out.reserve(components_.size());
  for (const auto &[type, component] : components_)
    out.push_back(component.get());
  return out;
}

Component *Session::find_locked(std::type_index type) const noexcept {
  for (const auto &[known, component] : components_)
    if (known == type)
      return component.get();
  return nullptr;
}

Component *Session::find_component(std::type_index type) const noexcept {
  const std::lock_guard lock(components_mutex_);
  return find_locked(type);
}

Component &Session::add_component(std::type_index type, std::unique_ptr<Component> component) {
  const std::lock_guard lock(components_mutex_);
  if (Component *kept = find_locked(type))
    return *kept;
  components_.emplace_back(type, std::move(component));
  return *components_.back().second;
}

FinishReport Session::finish() {
  FinishReport report;
  if (!finished_) {
    finished_ = true;
    if (depth_ != 0)
      fail_run("API bracket left open: " + std::to_string(depth_) +
               " UF_initialize without UF_terminate");
    for (const Call call : arrays_.outstanding_calls())
      transcript_.add(EventKind::UnfreedArray, {}, std::string(call_name(call)));
    if (arrays_.outstanding() != 0)
      fail_run(std::to_string(arrays_.outstanding()) + " host array(s) not released with UF_free");
    report.unfreed_arrays = arrays_.outstanding();
    arrays_.release_all();
    const std::vector<std::string> open = runtime_->open_files();
    for (const std::string &path : open)
      transcript_.add(EventKind::FileLeftOpen, {}, path);
    if (!open.empty())
      fail_run(std::to_string(open.size()) + " file(s) left open");
    report.files_left_open = open.size();
    runtime_->close_all();
    if (operator_->remaining() != 0)
      transcript_.add(EventKind::Note, {},
                      std::to_string(operator_->remaining()) + " scripted answer(s) left unused");
    for (auto &[type, component] : components_)
      component->finish(*this);
  }
  report.bracket_depth = depth_;
  report.initialize_calls = initialize_calls_;
  report.terminate_calls = terminate_calls_;
  report.outside_bracket_calls = outside_calls_;
  report.failures = failures_;
  return report;
}

SessionScope::SessionScope(Session &session) noexcept : previous_(current_session) {
  current_session = &session;
}

SessionScope::~SessionScope() { current_session = previous_; }

} // namespace sim
