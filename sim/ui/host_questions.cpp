//===- host_questions.cpp - The host's menu and file dialog, asked --------===//
#include "ui/host_questions.h"

#include "host/ui.h"
#include "session/session.h"
#include "text/gbk.h"
#include "ui/operator.h"

#include <nlohmann/json.hpp>

namespace sim {
namespace {

/// The response a menu answer names; 0 when it names none.
[[nodiscard]] int menu_response(const nlohmann::json &menu, const Question &question,
                                int default_item) {
  const int count = static_cast<int>(question.choices.size());
  if (menu.is_number_integer()) {
    const long long item = menu.get<long long>();
    return item >= 1 && item <= count ? kMenuFirstItem - 1 + static_cast<int>(item) : 0;
  }
  if (!menu.is_string())
    return 0;
  const std::string text = menu.get<std::string>();
  if (text == "Back")
    return kMenuBack;
  if (text == "Cancel")
    return kMenuCancel;
  if (text == "default")
    return default_item >= 1 && default_item <= count ? kMenuFirstItem - 1 + default_item : 0;
  const std::string label = utf8_to_gbk(text);
  for (const Choice &choice : question.choices)
    if (!label.empty() && choice.label == label)
      return choice.response;
  return 0;
}

} // namespace

int ask_menu(Session &s, const std::string &title, int default_item,
             const std::vector<std::string> &items) {
  const int count = static_cast<int>(items.size());
  Question question;
  question.kind = QuestionKind::Menu;
  question.title = title;
  question.text = question.title;
  for (int i = 0; i < count; ++i)
    question.choices.push_back({items[static_cast<std::size_t>(i)], kMenuFirstItem + i});
  if (default_item >= 1 && default_item <= count)
    s.transcript().add(EventKind::Note, {},
                       "the menu offers item " + std::to_string(default_item) + " as default");
  question.keys = {"menu"};
  const nlohmann::json *answer = s.op().ask(question);
  if (!answer) {
    s.op().record_response(kMenuCancel, "Cancel (no answer left)");
    return kMenuCancel;
  }
  const int response =
      answer->contains("menu") ? menu_response((*answer)["menu"], question, default_item) : 0;
  if (response == 0) {
    s.op().reject(question, *answer,
                  "a menu answer is an item 1 to " + std::to_string(count) +
                      ", an item's text, \"default\", \"Back\" or \"Cancel\"");
    s.op().record_response(kMenuCancel, "Cancel (the answer does not fit)");
    return kMenuCancel;
  }
  std::string what = response == kMenuBack ? "Back" : response == kMenuCancel ? "Cancel" : "";
  if (what.empty()) {
    const int item = response - kMenuFirstItem + 1;
    what = "item " + std::to_string(item) + ": \"" +
           gbk_to_utf8(question.choices[static_cast<std::size_t>(item - 1)].label) + "\"";
  }
  s.op().record_response(response, what);
  return response;
}

FileChoice ask_file(Session &s, const std::string &prompt, const std::string &title,
                    const std::string &filter, const std::string &default_name,
                    std::size_t name_limit) {
  Question question;
  question.kind = QuestionKind::FileBox;
  question.title = title;
  question.text = title + "\n" + prompt + "\nfilter: " + filter + "\nfile name: " + default_name;
  question.keys = {"file"};
  const auto cancel = [&](const char *what) {
    s.op().record_response(UF_UI_CANCEL, what);
    return FileChoice{};
  };
  const nlohmann::json *answer = s.op().ask(question);
  if (!answer)
    return cancel("Cancel (no answer left)");
  const nlohmann::json &file = answer->contains("file") ? (*answer)["file"] : *answer;
  if (!file.is_string()) {
    s.op().reject(question, *answer, "\"file\" is a file name, \"OK\" or \"Cancel\"");
    return cancel("Cancel (the answer does not fit)");
  }
  const std::string text = file.get<std::string>();
  if (text == "Cancel")
    return cancel("Cancel");
  const std::string chosen = text == "OK" ? filter : utf8_to_gbk(text);
  if (chosen.empty() || chosen.size() >= name_limit) {
    s.op().reject(question, *answer,
                  "a file name has 1 to " + std::to_string(name_limit - 1) + " bytes");
    return cancel("Cancel (the answer does not fit)");
  }
  s.op().record_response(UF_UI_OK, "OK: " + gbk_to_utf8(chosen));
  return {true, chosen};
}

} // namespace sim
