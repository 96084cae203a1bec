//===- api_ui_cam.cpp - ui.h: menu, file dialog, navigator selection ------===//
//
// The menu and the file dialog are asked by ui/host_questions.h; these
// entries move their texts in and out of the caller's buffers.
//
//===----------------------------------------------------------------------===//
#include "host/ui.h"

#include "api/entry.h"
#include "cam/cam_state.h"
#include "objects/object_store.h"
#include "ui/host_questions.h"

#include <cstring>
#include <string>
#include <vector>

using sim::Call;
using sim::Session;
namespace status = sim::status;

namespace {

/// Longest title a menu or file dialog shows (longer ones are cut).
constexpr std::size_t kTitleLimit = 512;

[[nodiscard]] std::string bounded(const char *text, std::size_t limit) {
  return text ? std::string(text, strnlen(text, limit)) : std::string();
}

} // namespace

extern "C" int uc1603(const char *title, int default_item, char items[][UC1603_ITEM_BUFSIZE],
                      int count) {
  return sim::api::value_call(Call::uc1603, sim::kMenuCancel, [&](Session &s) {
    if (!items || count < 1 || count > sim::kMenuMaxItems) {
      s.transcript().add(sim::EventKind::Note, {},
                         "uc1603 with " + std::to_string(count) +
                             " items (1 to 14 are possible): answered Cancel");
      return sim::kMenuCancel;
    }
    std::vector<std::string> shown;
    for (int i = 0; i < count; ++i)
      shown.push_back(bounded(items[i], UC1603_ITEM_BUFSIZE));
    return sim::ask_menu(s, bounded(title, kTitleLimit), default_item, shown);
  });
}

extern "C" int UF_UI_create_filebox(const char *prompt, const char *title, const char *filter,
                                    const char *default_name, char filename[UF_UI_FILENAME_BUFSIZE],
                                    int *response) {
  return sim::api::call(
      Call::UF_UI_create_filebox,
      [&](Session &s) {
        if (!filename || !response)
          return status::kBadArgument;
        const sim::FileChoice choice =
            sim::ask_file(s, bounded(prompt, kTitleLimit), bounded(title, kTitleLimit),
                          bounded(filter, kTitleLimit), bounded(default_name, kTitleLimit),
                          UF_UI_FILENAME_BUFSIZE);
        std::memcpy(filename, choice.name.data(), choice.name.size());
        filename[choice.name.size()] = '\0';
        *response = choice.ok ? UF_UI_OK : UF_UI_CANCEL;
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
