//===- styler.cpp - Running designer-made dialogs -------------------------===//
#include "styler/styler.h"

#include "runtime/runtime.h"
#include "session/status.h"
#include "text/gbk.h"
#include "ui/operator.h"

#include <nlohmann/json.hpp>

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>

namespace sim::styler {
namespace {

using nlohmann::json;

/// Largest dialog file read.
constexpr std::uintmax_t kMaxFileSize = 1 << 20;

[[nodiscard]] bool read_disk_file(const std::filesystem::path &path, std::string &text) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) ||
      std::filesystem::file_size(path, ec) > kMaxFileSize)
    return false;
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  std::ostringstream out;
  out << in.rdbuf();
  text = out.str();
  return true;
}

[[nodiscard]] const char *press_name(int reason) {
  switch (reason) {
  case UF_STYLER_OK_REASON: return "OK";
  case UF_STYLER_APPLY_REASON: return "Apply";
  default: return "Cancel";
  }
}

[[nodiscard]] int response_of(int reason) {
  switch (reason) {
  case UF_STYLER_OK_REASON: return kResponseOk;
  case UF_STYLER_APPLY_REASON: return kResponseApply;
  default: return kResponseCancel;
  }
}

/// A button typed at the terminal, by its number in the question's list
/// (1 OK, 2 Apply, 3 Cancel) or by its name in any case.
[[nodiscard]] std::string press_from_word(const std::string &word) {
  static constexpr const char *kPresses[] = {"OK", "Apply", "Cancel"};
  for (std::size_t i = 0; i < std::size(kPresses); ++i) {
    const std::string name = kPresses[i];
    if (word == std::to_string(i + 1) ||
        std::equal(word.begin(), word.end(), name.begin(), name.end(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) ==
                 std::tolower(static_cast<unsigned char>(b));
        }))
      return name;
  }
  return word;
}

/// Terminal answers: "STR_0=M2612 RADIO_7=1 OK" (or "... 1"); Enter alone
/// presses OK.  A text field takes the text as typed, digits included; a
/// whole number or a number is read for the other kinds, and a radio or
/// option value that is no number stays a label.
[[nodiscard]] bool dialog_from_terminal(const DialogSpec &definition, std::string_view line,
                                        json &answer) {
  answer = json::object();
  json edits = json::object();
  std::istringstream words{std::string(line)};
  std::string word;
  while (words >> word) {
    const std::size_t eq = word.find('=');
    if (eq == std::string::npos) {
      answer["press"] = press_from_word(word);
      continue;
    }
    const std::string key = word.substr(0, eq);
    const std::string value = word.substr(eq + 1);
    const ControlSpec *control = definition.find(key);
    if (control && control->kind == ControlKind::String) {
      edits[key] = value;
      continue;
    }
    char *end = nullptr;
    if (control && control->kind == ControlKind::Real) {
      const double number = std::strtod(value.c_str(), &end);
      if (!value.empty() && end && *end == '\0' && std::isfinite(number)) {
        edits[key] = number;
        continue;
      }
    }
    const long number = std::strtol(value.c_str(), &end, 10);
    if (!value.empty() && end && *end == '\0' && number >= std::numeric_limits<int>::min() &&
        number <= std::numeric_limits<int>::max())
      edits[key] = static_cast<int>(number);
    else
      edits[key] = value;
  }
  if (!edits.empty())
    answer["dialog"] = std::move(edits);
  if (answer.empty())
    answer["press"] = "OK";
  return true;
}

/// The fields of a dialog with what each takes, and how to answer, for the
/// terminal.
[[nodiscard]] std::string terminal_help(const DialogSpec &definition) {
  std::string help = "Fields:";
  for (const ControlSpec &c : definition.controls) {
    help += "\n  " + c.id + " (" + std::string(control_kind_name(c.kind)) + "): ";
    switch (c.kind) {
    case ControlKind::String: help += "any text"; break;
    case ControlKind::Real: help += "a number"; break;
    case ControlKind::Integer: help += "a whole number"; break;
    case ControlKind::Toggle: help += "1 (on) or 0 (off)"; break;
    case ControlKind::Radio:
    case ControlKind::Option:
      for (std::size_t k = 0; k < c.options.size(); ++k)
        help += (k == 0 ? "" : " | ") + std::to_string(k) + " " + gbk_to_utf8(c.options[k]);
      break;
    }
  }
  return help + "\nType ID=VALUE ... and OK, Apply or Cancel (1, 2, 3); Enter alone presses OK.";
}

/// The reason of the button an answer presses ("press", OK when absent),
/// or nothing when it names no button.
[[nodiscard]] std::optional<int> press_reason(const json &answer) {
  if (!answer.contains("press"))
    return UF_STYLER_OK_REASON;
  const json &press = answer["press"];
  if (press == "OK")
    return UF_STYLER_OK_REASON;
  if (press == "Apply")
    return UF_STYLER_APPLY_REASON;
  if (press == "Cancel")
    return UF_STYLER_CANCEL_REASON;
  return std::nullopt;
}

[[nodiscard]] json value_json(const ControlSpec &definition, const ControlValue &value) {
  switch (definition.kind) {
  case ControlKind::String: return gbk_to_utf8(value.text);
  case ControlKind::Real: return value.real;
  default: return value.integer;
  }
}

} // namespace

Styler::Styler(Session &session) : session_(session) {}

void Styler::dump(json &out) const {
  json dialogs = json::array();
  for (const DialogRecord &d : dialogs_) {
    json values = json::object();
    for (std::size_t i = 0; i < d.definition.controls.size(); ++i)
      values[d.definition.controls[i].id] = value_json(d.definition.controls[i], d.values[i]);
    dialogs.push_back({{"id", d.id},
                       {"file", gbk_to_utf8(d.file)},
                       {"title", gbk_to_utf8(d.definition.title)},
                       {"presses", d.presses},
                       {"response", d.response},
                       {"values", std::move(values)}});
  }
  out["dialogs"] = std::move(dialogs);
}

int Styler::find_file(const char *dialog_name, UF_STYLER_callback_info_p_t callbacks, int count,
                      std::string &text, std::string &where) {
  const std::string name = dialog_name;
  std::vector<std::string> host_paths;
  if (name.find('\\') != std::string::npos || name.find(':') != std::string::npos)
    host_paths.push_back(name);
  else
    host_paths.push_back(kDialogFolder + name);
  for (const std::string &host_path : host_paths) {
    const std::optional<std::filesystem::path> disk = session_.runtime().resolve(host_path);
    if (disk && read_disk_file(*disk, text)) {
      where = host_path;
      return status::kOk;
    }
  }
  // The folder of the module that gave the callbacks, as the host finds a
  // user function's own files beside it.
  if (host_paths.front() != name)
    for (int i = 0; i < count && callbacks[i].object_id; ++i) {
      if (!callbacks[i].callback)
        continue;
      Dl_info info{};
      if (dladdr(reinterpret_cast<void *>(callbacks[i].callback), &info) == 0 || !info.dli_fname)
        break;
      const std::filesystem::path disk =
          std::filesystem::path(info.dli_fname).parent_path() / gbk_to_utf8(name);
      if (read_disk_file(disk, text)) {
        where = disk.string();
        return status::kOk;
      }
      break;
    }
  session_.transcript().add(EventKind::Note, {},
                            "dialog file " + gbk_to_utf8(name) + " not found in " +
                                gbk_to_utf8(host_paths.front()) + " or the module's folder");
  return status::kDialogFile;
}

DialogRecord *Styler::open_dialog(int id) noexcept {
  for (DialogRecord &d : dialogs_)
    if (d.id == id && d.response == 0)
      return &d;
  return nullptr;
}

int Styler::create_dialog(const char *dialog_name, UF_STYLER_callback_info_p_t callbacks, int count,
                          void *client_data, int *response) {
  if (!dialog_name || dialog_name[0] == '\0' || !response || count < 0 || (count > 0 && !callbacks))
    return status::kBadArgument;
  Callbacks table;
  table.client_data = client_data;
  std::vector<std::string> item_ids;
  int entries = 0;
  for (; entries < count; ++entries) {
    const UF_STYLER_callback_info_t &entry = callbacks[entries];
    if (!entry.object_id || std::strcmp(entry.object_id, UF_STYLER_NULL_OBJECT) == 0)
      break;
    if (std::strcmp(entry.object_id, UF_STYLER_DIALOG_INDEX) != 0) {
      item_ids.emplace_back(entry.object_id);
      continue;
    }
    if (entry.callback)
      table.by_reason.emplace(entry.reason, entry.callback);
  }

  std::string text;
  std::string where;
  if (const int found = find_file(dialog_name, callbacks, entries, text, where); found != 0)
    return found;
  DialogRecord record;
  Expected<DialogSpec> definition = parse_dialog_file(text);
  if (!definition) {
    session_.transcript().add(EventKind::Note, {},
                              "dialog file " + gbk_to_utf8(where) + ": " + definition.error());
    return status::kDialogFile;
  }
  record.definition = std::move(*definition);
  for (const std::string &id : item_ids)
    if (!record.definition.find(id)) {
      session_.transcript().add(EventKind::Note, {},
                                "dialog " + gbk_to_utf8(where) + " has no item " + id +
                                    " named in the callback table");
      return status::kNoSuchItem;
    }
  record.id = next_id_++;
  record.file = where;
  for (const ControlSpec &control : record.definition.controls)
    record.values.push_back(control.initial);
  dialogs_.push_back(std::move(record));
  const std::size_t index = dialogs_.size() - 1;

  int result = kResponseCancel;
  try {
    fire(index, table, UF_STYLER_CONSTRUCTOR_REASON);
    result = run(index, table);
  } catch (...) {
    dialogs_[index].response = kResponseCancel; // closed: no call may reach it any more
    throw;
  }
  dialogs_[index].response = result;
  fire(index, table, UF_STYLER_DESTRUCTOR_REASON);
  *response = result;
  return status::kOk;
}

int Styler::fire(std::size_t index, const Callbacks &callbacks, int reason) {
  const auto found = callbacks.by_reason.find(reason);
  if (found == callbacks.by_reason.end())
    return -1;
  UF_STYLER_item_value_type_t data{};
  data.reason = reason;
  data.item_id = UF_STYLER_DIALOG_INDEX;
  data.item_attr = UF_STYLER_VALUE;
  data.indicator = UF_STYLER_NO_VALUE;
  return found->second(dialogs_[index].id, callbacks.client_data, &data);
}

std::string Styler::describe(const DialogRecord &dialog) const {
  std::string text;
  for (std::size_t i = 0; i < dialog.definition.controls.size(); ++i) {
    const ControlSpec &c = dialog.definition.controls[i];
    const ControlValue &v = dialog.values[i];
    if (!text.empty())
      text += '\n';
    text += c.id + " (" + std::string(control_kind_name(c.kind)) + ") " + c.label + ": ";
    switch (c.kind) {
    case ControlKind::String: text += "\"" + v.text + "\""; break;
    case ControlKind::Real: text += std::to_string(v.real); break;
    case ControlKind::Toggle: text += v.integer ? "on" : "off"; break;
    case ControlKind::Integer: text += std::to_string(v.integer); break;
    case ControlKind::Radio:
    case ControlKind::Option:
      text += std::to_string(v.integer);
      if (v.integer >= 0 && static_cast<std::size_t>(v.integer) < c.options.size())
        text += " " + c.options[static_cast<std::size_t>(v.integer)];
      break;
    }
  }
  return text;
}

Expected<void> Styler::apply_edits(DialogRecord &dialog, const json &edits) {
  if (!edits.is_object()) {
    return Expected<void>::failure("\"dialog\" holds the edits as {\"ID\": value, ...}");
  }
  std::vector<std::pair<std::size_t, ControlValue>> changes;
  for (const auto &[id, value] : edits.items()) {
    const ControlSpec *definition = dialog.definition.find(id);
    if (!definition) {
      return Expected<void>::failure("the dialog has no control " + id);
    }
    const auto index = static_cast<std::size_t>(definition - dialog.definition.controls.data());
    ControlValue v = dialog.values[index];
    switch (definition->kind) {
    case ControlKind::String:
      if (!value.is_string()) {
        return Expected<void>::failure(id + " takes a text");
      }
      v.text = utf8_to_gbk(value.get<std::string>());
      break;
    case ControlKind::Real:
      if (!value.is_number()) {
        return Expected<void>::failure(id + " takes a number");
      }
      v.real = value.get<double>();
      break;
    case ControlKind::Integer:
      if (!value.is_number_integer() || value.get<long long>() < std::numeric_limits<int>::min() ||
          value.get<long long>() > std::numeric_limits<int>::max()) {
        return Expected<void>::failure(id + " takes a whole number");
      }
      v.integer = value.get<int>();
      break;
    case ControlKind::Toggle:
      if (value.is_boolean()) {
        v.integer = value.get<bool>() ? 1 : 0;
      } else if (value.is_number_integer() &&
                 (value.get<long long>() == 0 || value.get<long long>() == 1)) {
        v.integer = value.get<int>();
      } else {
        return Expected<void>::failure(id + " is a toggle: true or false (1 or 0)");
      }
      break;
    case ControlKind::Radio:
    case ControlKind::Option: {
      const std::size_t n = definition->options.size();
      bool found = false;
      if (value.is_number_integer()) {
        const long long choice = value.get<long long>();
        found = choice >= 0 && static_cast<std::size_t>(choice) < n;
        if (found)
          v.integer = static_cast<int>(choice);
      } else if (value.is_string()) {
        const std::string label = utf8_to_gbk(value.get<std::string>());
        for (std::size_t k = 0; k < n && !found; ++k)
          if (definition->options[k] == label) {
            v.integer = static_cast<int>(k);
            found = true;
          }
      }
      if (!found) {
        return Expected<void>::failure(id + " offers choices 0 to " + std::to_string(n - 1) +
                                       " (or their labels); " + value.dump() +
                                       " is not one of them");
      }
      break;
    }
    }
    changes.emplace_back(index, std::move(v));
  }
  for (auto &[index, v] : changes)
    dialog.values[index] = std::move(v);
  return {};
}

int Styler::run(std::size_t index, const Callbacks &callbacks) {
  Operator &op = session_.op();
  for (;;) {
    Question question;
    question.kind = QuestionKind::Dialog;
    question.title = dialogs_[index].definition.title;
    question.text = question.title + "\n" + describe(dialogs_[index]);
    question.choices = {
        {"OK", kResponseOk}, {"Apply", kResponseApply}, {"Cancel", kResponseCancel}};
    question.keys = {"dialog", "press"};
    const DialogSpec &definition = dialogs_[index].definition;
    question.from_terminal = [&definition](std::string_view line, json &answer) {
      return dialog_from_terminal(definition, line, answer);
    };
    question.terminal_help = terminal_help(definition);
    question.check = [this, index](const json &answer) {
      if (!press_reason(answer))
        return std::string("the buttons are OK, Apply and Cancel (1, 2, 3)");
      DialogRecord trial = dialogs_[index];
      if (answer.contains("dialog"))
        if (Expected<void> applied = apply_edits(trial, answer["dialog"]); !applied)
          return applied.error();
      return std::string();
    };

    int reason = UF_STYLER_CANCEL_REASON;
    bool forced = false;
    const json *answer = op.ask(question);
    if (!answer) {
      forced = true;
    } else {
      std::string why;
      const std::optional<int> pressed = press_reason(*answer);
      bool fits = pressed.has_value();
      if (fits)
        reason = *pressed;
      else
        why = "\"press\" is \"OK\", \"Apply\" or \"Cancel\"";
      if (fits && answer->contains("dialog")) {
        const Expected<void> applied = apply_edits(dialogs_[index], (*answer)["dialog"]);
        fits = applied.ok();
        if (!fits)
          why = applied.error();
      }
      if (!fits) {
        op.reject(question, *answer, why);
        reason = UF_STYLER_CANCEL_REASON;
        forced = true;
      }
    }
    ++dialogs_[index].presses;
    const int kept = fire(index, callbacks, reason);
    bool close = kept < 0 ? reason != UF_STYLER_APPLY_REASON : kept != UF_UI_CB_CONTINUE_DIALOG;
    std::string what =
        std::string(press_name(reason)) + (kept < 0 ? " (no callback)"
                                           : close  ? ""
                                                    : ": the callback keeps the dialog open");
    if (forced && !close) {
      close = true;
      what += "; closed by the host, no fitting answer is left";
    }
    op.record_response(close ? response_of(reason) : 0, what);
    if (close)
      return response_of(reason);
  }
}

int Styler::find_item(int dialog_id, UF_STYLER_item_value_type_p_t value, Item &item) {
  if (!value || !value->item_id || value->item_attr != UF_STYLER_VALUE)
    return status::kBadArgument;
  DialogRecord *dialog = open_dialog(dialog_id);
  if (!dialog)
    return status::kNoDialog;
  item.definition = dialog->definition.find(value->item_id);
  if (!item.definition)
    return status::kNoSuchItem;
  item.value =
      &dialog
           ->values[static_cast<std::size_t>(item.definition - dialog->definition.controls.data())];
  return status::kOk;
}

int Styler::ask_value(int dialog_id, UF_STYLER_item_value_type_p_t value) {
  Item item;
  if (const int found = find_item(dialog_id, value, item); found != status::kOk)
    return found;
  const ControlValue &v = *item.value;
  switch (item.definition->kind) {
  case ControlKind::String: {
    char *copy =
        session_.arrays().allocate_array<char>(v.text.size() + 1, Call::UF_STYLER_ask_value);
    std::memcpy(copy, v.text.data(), v.text.size());
    copy[v.text.size()] = '\0';
    value->value.string = copy;
    value->indicator = UF_STYLER_STRING_VALUE;
    break;
  }
  case ControlKind::Real:
    value->value.real = v.real;
    value->indicator = UF_STYLER_REAL_VALUE;
    break;
  default:
    value->value.integer = v.integer;
    value->indicator = UF_STYLER_INTEGER_VALUE;
    break;
  }
  value->count = 1;
  return status::kOk;
}

int Styler::set_value(int dialog_id, UF_STYLER_item_value_type_p_t value) {
  Item item;
  if (const int found = find_item(dialog_id, value, item); found != status::kOk)
    return found;
  ControlValue &v = *item.value;
  const ControlSpec *definition = item.definition;
  switch (definition->kind) {
  case ControlKind::String:
    if (!value->value.string)
      return status::kBadArgument;
    v.text = value->value.string;
    break;
  case ControlKind::Real: v.real = value->value.real; break;
  case ControlKind::Toggle: v.integer = value->value.integer != 0 ? 1 : 0; break;
  case ControlKind::Radio:
  case ControlKind::Option:
    if (value->value.integer < 0 ||
        static_cast<std::size_t>(value->value.integer) >= definition->options.size())
      return status::kBadArgument;
    v.integer = value->value.integer;
    break;
  case ControlKind::Integer: v.integer = value->value.integer; break;
  }
  return status::kOk;
}

void Styler::free_value(UF_STYLER_item_value_type_p_t value) {
  if (!value || value->indicator != UF_STYLER_STRING_VALUE || !value->value.string)
    return;
  if (!session_.arrays().release(value->value.string))
    session_.transcript().add(EventKind::BadFree, {},
                              "UF_STYLER_free_value of a text the host never handed out");
  value->value.string = nullptr;
}

} // namespace sim::styler
