//===- operator.h - The person in front of the host -----------------------===//
//
// Every user-visible interaction goes through the operator.  A message with
// a single button needs no answer: it is shown and recorded.  A question
// with choices takes the next scripted answer (a JSON object from the
// scenario's "answers", in order) or, in terminal mode with a terminal
// attached, asks the person: every question shows how to answer, and an
// answer that does not fit is explained and asked again.  When no fitting
// answer is left the operator records the unanswered question, marks the
// run failed and returns null; the caller then takes the question's Cancel
// or Back way.  At the end of the person's input (Ctrl-D) the open question
// and every later one are answered so too, without failing the run and
// without turning to the scripted answers.  Nothing here
// throws across the C interface: callers are inside api::call.
//
// Answer objects by question kind (key: value):
//   MessageDialog  "buttons": "YES" (a visible label)  or  "button": 1..3 (slot)
//   Menu           "menu": N (1-based item)  or  "menu": "Back" / "Cancel"
//   FileBox        "file": "D:\\nc\\x.nc"  or  "file": "Cancel"
//   Dialog         "dialog": {item: value, ...}, "press": "OK" / "Cancel"
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_UI_OPERATOR_H
#define NCSHEET_SIM_UI_OPERATOR_H

#include <nlohmann/json_fwd.hpp>

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class Session;

enum class QuestionKind { MessageBox, MessageDialog, Menu, FileBox, Dialog };

[[nodiscard]] std::string_view question_kind_name(QuestionKind kind) noexcept;

struct Choice {
  std::string label; ///< host bytes
  int response = 0;  ///< what the host call returns for it
};

struct Question {
  QuestionKind kind = QuestionKind::MessageBox;
  std::string title;           ///< host bytes (GBK)
  std::string text;            ///< host bytes (GBK)
  std::vector<Choice> choices; ///< buttons or menu items, as shown
  /// The answer keys that fit this question ("buttons", "button", "menu",
  /// "file", "dialog"); an answer with none of them fails the run.
  std::vector<std::string> keys;
  /// Terminal mode: turns the person's line into an answer object; false
  /// when the line makes no sense (the operator asks again).  Optional: the
  /// default understands a choice number or label, or a file name.
  std::function<bool(std::string_view line, nlohmann::json &answer)> from_terminal;
  /// Terminal mode: how to answer, shown under the question (never
  /// recorded).  Optional: each kind has a default.
  std::string terminal_help;
  /// Terminal mode: why an answer the line gave does not fit, or empty when
  /// it does; the operator explains and asks again.  Optional.
  std::function<std::string(const nlohmann::json &answer)> check;
};

class Operator {
public:
  enum class Mode { Script, Terminal };

  explicit Operator(Session &session);
  Operator(const Operator &) = delete;
  Operator &operator=(const Operator &) = delete;
  ~Operator();

  void set_mode(Mode mode) noexcept;
  [[nodiscard]] Mode mode() const noexcept;
  /// Terminal mode reads from in and writes to out (default std::cin and
  /// std::cout, and only when standard input is a terminal).
  void set_terminal(std::istream &in, std::ostream &out);

  /// Appends a scripted answer (a JSON object).
  void queue(const nlohmann::json &answer);
  [[nodiscard]] std::size_t remaining() const noexcept;
  /// Answers given so far.
  [[nodiscard]] std::size_t answered() const noexcept;

  /// Shows a message that needs no answer; records it.  In terminal mode
  /// the person presses Enter.
  void show(const Question &question);

  /// Asks a question.  Returns the answer object (owned by the operator,
  /// valid while the session lives), or null when no fitting answer is
  /// left (the run is then marked failed with the question named) or the
  /// person's input has ended.
  [[nodiscard]] const nlohmann::json *ask(const Question &question);

  /// Records the response a question resolved to (after ask()); what says
  /// how, e.g. "Cancel (no answer left)".
  void record_response(int response, std::string_view what = {});
  /// Fails the run: the answer given does not fit the question (an unknown
  /// label, an item out of range...).  The caller then takes the
  /// question's Cancel or Back way.
  void reject(const Question &question, const nlohmann::json &answer, std::string_view why);

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

} // namespace sim

#endif
