//===- api_ui.cpp - ui.h: message boxes, listing, status and prompt -------===//
//
// The menu (uc1603), the file dialog and the navigator selection belong to
// the CAM area (sim/cam).
//
//===----------------------------------------------------------------------===//
#include "host/ui.h"

#include "api/entry.h"
#include "objects/object_store.h"
#include "text/gbk.h"
#include "ui/operator.h"

#include <nlohmann/json.hpp>

#include <array>
#include <string>

using sim::Call;
using sim::Session;
namespace status = sim::status;

namespace {

/// The visible buttons of a message dialog with their slots (1 to 3).
struct Button {
  int slot;
  sim::Choice choice;
};

std::vector<Button> visible_buttons(const UF_UI_message_buttons_t &buttons) {
  const std::array<logical, 3> shown{buttons.button1, buttons.button2, buttons.button3};
  const std::array<const char *, 3> labels{buttons.label1, buttons.label2, buttons.label3};
  const std::array<int, 3> responses{buttons.response1, buttons.response2, buttons.response3};
  std::vector<Button> out;
  for (int i = 0; i < 3; ++i)
    if (shown[i])
      out.push_back({i + 1, {labels[i] ? labels[i] : "", responses[i]}});
  return out;
}

/// The button taken when no answer is left: Cancel, Back or No where the
/// dialog has one, else the last button.
const Button &safe_button(const std::vector<Button> &buttons) {
  for (const char *label : {"CANCEL", "BACK", "NO"})
    for (const Button &button : buttons)
      if (sim::ObjectStore::same_name(button.choice.label, label))
        return button;
  return buttons.back();
}

/// The button a scripted answer names, or null.
const Button *answered_button(const std::vector<Button> &buttons, const nlohmann::json &answer) {
  if (const auto label = answer.find("buttons"); label != answer.end() && label->is_string()) {
    const std::string wanted = sim::utf8_to_gbk(label->get<std::string>());
    for (const Button &button : buttons)
      if (sim::ObjectStore::same_name(button.choice.label, wanted))
        return &button;
    return nullptr;
  }
  if (const auto slot = answer.find("button"); slot != answer.end() && slot->is_number_integer()) {
    for (const Button &button : buttons)
      if (button.slot == slot->get<int>())
        return &button;
  }
  return nullptr;
}

/// Joins the message lines of a dialog with line feeds.
std::string join_messages(char **messages, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0)
      text += '\n';
    if (messages[i])
      text += messages[i];
  }
  return text;
}

} // namespace

// Mode 0 shows the text without waiting and returns 0; any other mode waits
// for OK and returns 1.
extern "C" int uc1601(const char *message, int mode) {
  return sim::api::value_call(Call::uc1601, 0, [&](Session &s) {
    sim::Question question;
    question.kind = sim::QuestionKind::MessageBox;
    question.text = message ? message : "";
    if (mode == 0) {
      question.title = "no wait";
      s.op().show(question);
      return 0;
    }
    s.op().show(question);
    return 1;
  });
}

extern "C" int UF_UI_message_dialog(const char *title, int dialog_type, char **messages,
                                    int num_messages, logical translate,
                                    UF_UI_message_buttons_p_t buttons, int *response) {
  return sim::api::call(
      Call::UF_UI_message_dialog,
      [&](Session &s) {
        if (!buttons || !response || num_messages < 0 || (num_messages > 0 && !messages) ||
            dialog_type < UF_UI_MESSAGE_ERROR || dialog_type > UF_UI_MESSAGE_QUESTION)
          return status::kBadArgument;
        const std::vector<Button> shown = visible_buttons(*buttons);
        if (shown.empty())
          return status::kBadArgument;
        sim::Question question;
        question.kind = sim::QuestionKind::MessageDialog;
        question.title = title ? title : "";
        question.text = join_messages(messages, num_messages);
        for (const Button &button : shown)
          question.choices.push_back(button.choice);
        if (shown.size() == 1) {
          s.op().show(question);
          *response = shown.front().choice.response;
          return status::kOk;
        }
        question.keys = {"buttons", "button"};
        const nlohmann::json *answer = s.op().ask(question);
        const Button *chosen = answer ? answered_button(shown, *answer) : nullptr;
        if (answer && !chosen)
          s.op().reject(question, *answer, "no such visible button");
        if (!chosen) {
          chosen = &safe_button(shown);
          s.op().record_response(chosen->choice.response,
                                 "-> " + sim::gbk_to_utf8(chosen->choice.label) +
                                     " (taken for want of an answer)");
        } else {
          s.op().record_response(chosen->choice.response,
                                 "-> " + sim::gbk_to_utf8(chosen->choice.label));
        }
        *response = chosen->choice.response;
        return status::kOk;
      },
      [&] {
        if (response)
          sim::api::poison(*response);
      });
}

extern "C" int UF_UI_open_listing_window(void) {
  return sim::api::call(Call::UF_UI_open_listing_window, [](Session &s) {
    s.open_listing();
    return status::kOk;
  });
}

// Writing before the window was opened is refused (and still recorded).
extern "C" int UF_UI_write_listing_window(const char *text) {
  return sim::api::call(Call::UF_UI_write_listing_window, [&](Session &s) {
    if (!text)
      return status::kBadArgument;
    if (!s.listing_open()) {
      s.transcript().add(sim::EventKind::Note, text, "listing window written before it was opened");
      return status::kListingClosed;
    }
    s.write_listing(text);
    return status::kOk;
  });
}

extern "C" int UF_UI_set_status(const char *text) {
  return sim::api::call(Call::UF_UI_set_status, [&](Session &s) {
    if (!text)
      return status::kBadArgument;
    s.set_status_line(text);
    return status::kOk;
  });
}

extern "C" int UF_UI_set_prompt(const char *text) {
  return sim::api::call(Call::UF_UI_set_prompt, [&](Session &s) {
    if (!text)
      return status::kBadArgument;
    s.set_prompt_line(text);
    return status::kOk;
  });
}
