//===- session.h - The simulated host's state -----------------------------===//
//
// One Session holds everything the host knows during a scenario: the
// objects of the display part, the transcript, call counters and faults,
// the operator, the runtime (drives, clock, open files), the API bracket,
// the listing window and the status and prompt lines, undo marks and the
// arrays handed out for UF_free.  Host areas keep their own state as
// components (Session::component<T>()).
//
// The C entries find the session through Session::current(), set by a
// SessionScope; that pointer is the library's only global.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_SESSION_SESSION_H
#define NCSHEET_SIM_SESSION_SESSION_H

#include "host/defs.h"
#include "session/call_log.h"
#include "session/host_arrays.h"
#include "session/transcript.h"

#include <nlohmann/json_fwd.hpp>

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <typeindex>
#include <utility>
#include <vector>

namespace sim {

class ObjectStore;
class Operator;
class Runtime;
class Session;

/// State of one host area kept in the session (WCS, drawings, CAM setup...).
/// Created on first use by Session::component<T>(); T needs a constructor
/// taking Session&.
class Component {
public:
  virtual ~Component();
  /// Key of this component's entry in the part dump's "state" object.
  [[nodiscard]] virtual std::string_view name() const = 0;
  /// Writes the component's facts for the part dump (default: nothing).
  virtual void dump(nlohmann::json &out) const;
  /// End-of-session checks (leaks of its own kind); default: nothing.
  virtual void finish(Session &session);
  /// False for a component that holds no facts of the part (a cache): it
  /// has no entry in the part dump.
  [[nodiscard]] virtual bool in_dump() const { return true; }
};

struct UndoMark {
  int id;
  bool visible;
  std::string name; ///< empty when none was given
};

/// What the end-of-session checks found.
struct FinishReport {
  int bracket_depth = 0;    ///< open brackets left (0 when balanced)
  int initialize_calls = 0; ///< successful UF_initialize calls
  int terminate_calls = 0;  ///< UF_terminate calls that closed a bracket
  std::size_t unfreed_arrays = 0;
  std::size_t files_left_open = 0;
  std::size_t outside_bracket_calls = 0;
  std::vector<std::string> failures; ///< why the run failed; empty when it did not
  [[nodiscard]] bool ok() const noexcept { return failures.empty(); }
};

class Session {
public:
  Session();
  Session(const Session &) = delete;
  Session &operator=(const Session &) = delete;
  ~Session();

  /// The session host calls go to, or null.
  [[nodiscard]] static Session *current() noexcept;

  [[nodiscard]] ObjectStore &objects() noexcept { return *objects_; }
  [[nodiscard]] const ObjectStore &objects() const noexcept { return *objects_; }
  [[nodiscard]] Transcript &transcript() noexcept { return transcript_; }
  [[nodiscard]] const Transcript &transcript() const noexcept { return transcript_; }
  [[nodiscard]] CallLog &calls() noexcept { return calls_; }
  [[nodiscard]] const CallLog &calls() const noexcept { return calls_; }
  [[nodiscard]] HostArrays &arrays() noexcept { return arrays_; }
  [[nodiscard]] Operator &op() noexcept { return *operator_; }
  [[nodiscard]] Runtime &runtime() noexcept { return *runtime_; }
  [[nodiscard]] const Runtime &runtime() const noexcept { return *runtime_; }

  // API bracket.
  [[nodiscard]] int bracket_depth() const noexcept { return depth_; }
  void open_bracket();
  /// Closes one bracket level; false when none was open.
  [[nodiscard]] bool close_bracket();
  [[nodiscard]] int initialize_calls() const noexcept { return initialize_calls_; }
  [[nodiscard]] int terminate_calls() const noexcept { return terminate_calls_; }
  /// Records a call made with no bracket open.
  void note_outside_bracket(Call call);
  [[nodiscard]] std::size_t outside_bracket_calls() const noexcept { return outside_calls_; }

  // The display part: its object tag (null when none) and full file name.
  [[nodiscard]] tag_t display_part() const noexcept { return display_part_; }
  [[nodiscard]] const std::string &part_file() const noexcept { return part_file_; }
  /// Creates the part object and makes it the display part.
  tag_t open_part(std::string file);

  [[nodiscard]] int application() const noexcept { return application_; }
  void set_application(int module_id) noexcept { application_ = module_id; }

  [[nodiscard]] const std::vector<UndoMark> &undo_marks() const noexcept { return undo_marks_; }
  int add_undo_mark(bool visible, std::string name);

  // Listing window, status line, prompt line.
  void open_listing();
  [[nodiscard]] bool listing_open() const noexcept { return listing_open_; }
  void write_listing(std::string_view text);
  void set_status_line(std::string_view text);
  void set_prompt_line(std::string_view text);
  [[nodiscard]] const std::string &status_line() const noexcept { return status_line_; }
  [[nodiscard]] const std::string &prompt_line() const noexcept { return prompt_line_; }

  /// Outputs of failed calls are filled with poison (see api::poison) when
  /// set; otherwise a failed call leaves them untouched.
  [[nodiscard]] bool poison_outputs() const noexcept { return poison_outputs_; }
  void set_poison_outputs(bool on) noexcept { poison_outputs_ = on; }

  // Run outcome.
  void fail_run(std::string reason);
  [[nodiscard]] const std::vector<std::string> &failures() const noexcept { return failures_; }
  [[nodiscard]] bool run_failed() const noexcept { return !failures_.empty(); }

  /// The component of type T, created on first use.  Safe to call from
  /// several threads: the pages are drawn side by side.
  template <class T> T &component() {
    if (Component *found = find_component(typeid(T)))
      return static_cast<T &>(*found);
    return static_cast<T &>(add_component(typeid(T), std::make_unique<T>(*this)));
  }
  /// The component of type T, or null when it was never created.
  template <class T> [[nodiscard]] T *find() const {
    return static_cast<T *>(find_component(typeid(T)));
  }
  /// Components in creation order.
  [[nodiscard]] std::vector<const Component *> components() const;

  /// End-of-session checks: bracket balance, unfreed arrays, files left
  /// open, components' own checks.  Records findings in the transcript and
  /// the failures; call once, after the last run.
  FinishReport finish();

private:
  [[nodiscard]] Component *find_component(std::type_index type) const noexcept;
  /// find_component, with components_mutex_ held by the caller.
  [[nodiscard]] Component *find_locked(std::type_index type) const noexcept;
  /// Adds component unless another thread added one of its type first;
  /// returns the one kept.
  Component &add_component(std::type_index type, std::unique_ptr<Component> component);

  Transcript transcript_;
  CallLog calls_;
  HostArrays arrays_;
  std::unique_ptr<ObjectStore> objects_;
  std::unique_ptr<Operator> operator_;
  std::unique_ptr<Runtime> runtime_;
  std::vector<std::pair<std::type_index, std::unique_ptr<Component>>> components_;
  mutable std::mutex components_mutex_;

  int depth_ = 0;
  int initialize_calls_ = 0;
  int terminate_calls_ = 0;
  std::size_t outside_calls_ = 0;
  tag_t display_part_ = NULL_TAG;
  std::string part_file_;
  int application_ = 0;
  std::vector<UndoMark> undo_marks_;
  bool listing_open_ = false;
  std::string status_line_;
  std::string prompt_line_;
  bool poison_outputs_ = false;
  std::vector<std::string> failures_;
  bool finished_ = false;
};

/// Makes a session current for its lifetime (and restores the previous one).
class SessionScope {
public:
  explicit SessionScope(Session &session) noexcept;
  SessionScope(const SessionScope &) = delete;
  SessionScope &operator=(const SessionScope &) = delete;
  ~SessionScope();

private:
  Session *previous_;
};

} // namespace sim

#endif
