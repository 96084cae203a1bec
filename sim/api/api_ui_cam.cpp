//===- api_ui_cam.cpp - ui.h: menu, file dialog, navigator selection ------===//
//
// The menu (uc1603) shows every item as given, an empty item as a blank
// line that can be picked like any other.  Responses: 1 Back, 2 Cancel,
// 4 + i for item i (1-based).  The file dialog answers 2 (OK) with the
// chosen full file name, or 3 (Cancel) with an empty name.
//
//===----------------------------------------------------------------------===//
#include "host/ui.h"

#include "api/entry.h"
#include "cam/cam_state.h"
#include "objects/object_store.h"
#include "text/gbk.h"
#include "ui/operator.h"

#include <nlohmann/json.hpp>

#include <cstring>
#include <string>

using sim::Call;
using sim::Session;
namespace status = sim::status;

namespace {

constexpr int kMenuBack = 1;
constexpr int kMenuCancel = 2;
constexpr int kMenuFirstItem = 5;
constexpr int kMenuMaxItems = 14;
/// Longest title a menu or file dialog shows (longer ones are cut).
constexpr std::size_t kTitleLimit = 512;

[[nodiscard]] std::string bounded(const char *text, std::size_t limit) {
  return text ? std::string(text, strnlen(text, limit)) : std::string();
}

/// The response a menu answer names; 0 when it names none.
[[nodiscard]] int menu_response(const nlohmann::json &menu, const sim::Question &question,
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
  const std::string label = sim::utf8_to_gbk(text);
  for (const sim::Choice &choice : question.choices)
    if (!label.empty() && choice.label == label)
      return choice.response;
  return 0;
}

} // namespace

extern "C" int uc1603(const char *title, int default_item, char items[][UC1603_ITEM_BUFSIZE],
                      int count) {
  return sim::api::value_call(Call::uc1603, kMenuCancel, [&](Session &s) {
    if (!items || count < 1 || count > kMenuMaxItems) {
      s.transcript().add(sim::EventKind::Note, {},
                         "uc1603 with " + std::to_string(count) +
                             " items (1 to 14 are possible): answered Cancel");
      return kMenuCancel;
    }
    sim::Question question;
    question.kind = sim::QuestionKind::Menu;
    question.title = bounded(title, kTitleLimit);
    question.text = question.title;
    for (int i = 0; i < count; ++i)
      question.choices.push_back({bounded(items[i], UC1603_ITEM_BUFSIZE), kMenuFirstItem + i});
    if (default_item >= 1 && default_item <= count)
      s.transcript().add(sim::EventKind::Note, {},
                         "the menu offers item " + std::to_string(default_item) + " as default");
    question.keys = {"menu"};
    const nlohmann::json *answer = s.op().ask(question);
    if (!answer) {
      s.op().record_response(kMenuCancel, "Cancel (no answer left)");
      return kMenuCancel;
    }
    const int response = answer->contains("menu")
                             ? menu_response((*answer)["menu"], question, default_item)
                             : 0;
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
             sim::gbk_to_utf8(question.choices[static_cast<std::size_t>(item - 1)].label) + "\"";
    }
    s.op().record_response(response, what);
    return response;
  });
}

extern "C" int UF_UI_create_filebox(const char *prompt, const char *title, const char *filter,
                                    const char *default_name,
                                    char filename[UF_UI_FILENAME_BUFSIZE], int *response) {
  return sim::api::call(
      Call::UF_UI_create_filebox,
      [&](Session &s) {
        if (!filename || !response)
          return status::kBadArgument;
        sim::Question question;
        question.kind = sim::QuestionKind::FileBox;
        question.title = bounded(title, kTitleLimit);
        const std::string shown_filter = bounded(filter, kTitleLimit);
        question.text = question.title + "\n" + bounded(prompt, kTitleLimit) +
                        "\nfilter: " + shown_filter +
                        "\nfile name: " + bounded(default_name, kTitleLimit);
        question.keys = {"file"};
        const auto cancel = [&](const char *what) {
          filename[0] = '\0';
          *response = UF_UI_CANCEL;
          s.op().record_response(UF_UI_CANCEL, what);
          return status::kOk;
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
        const std::string chosen = text == "OK" ? shown_filter : sim::utf8_to_gbk(text);
        if (chosen.empty() || chosen.size() >= UF_UI_FILENAME_BUFSIZE) {
          s.op().reject(question, *answer, "a file name has 1 to 255 bytes");
          return cancel("Cancel (the answer does not fit)");
        }
        std::memcpy(filename, chosen.data(), chosen.size());
        filename[chosen.size()] = '\0';
        *response = UF_UI_OK;
        s.op().record_response(UF_UI_OK, "OK: " + sim::gbk_to_utf8(chosen));
        return status::kOk;
      },
      [&] {
        if (response)
          sim::api::poison(*response);
        if (filename)
          sim::api::poison(filename, UF_UI_FILENAME_BUFSIZE);
      });
}

// The selection in the order the scenario gives it; nodes deleted since
// are left out.  No selection: count 0 and a null array.
extern "C" int UF_UI_ONT_ask_selected_nodes(int *count, tag_t **objects) {
  return sim::api::call(
      Call::UF_UI_ONT_ask_selected_nodes,
      [&](Session &s) {
        if (!count || !objects)
          return status::kBadArgument;
        std::vector<tag_t> nodes;
        if (const auto *cam = s.find<sim::cam::CamState>())
          for (tag_t tag : cam->selected)
            if (s.objects().find(tag))
              nodes.push_back(tag);
        tag_t *array =
            s.arrays().allocate_array<tag_t>(nodes.size(), Call::UF_UI_ONT_ask_selected_nodes);
        if (!nodes.empty())
          std::memcpy(array, nodes.data(), nodes.size() * sizeof(tag_t));
        *count = static_cast<int>(nodes.size());
        *objects = array;
        return status::kOk;
      },
      [&] {
        if (count)
          sim::api::poison(*count);
      });
}
