//===- host_questions.h - The host's menu and file dialog, asked ----------===//
//
// The menu (uc1603) shows every item as given, an empty item as a blank
// line that can be picked like any other.  Responses: 1 Back, 2 Cancel,
// 4 + i for item i (1-based).  The file dialog answers OK with the chosen
// full file name, or Cancel with an empty name.  Both ask the operator,
// record the response in the transcript and take the Cancel way when no
// fitting answer is left; the C entries only move the texts in and out.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_UI_HOST_QUESTIONS_H
#define NCSHEET_SIM_UI_HOST_QUESTIONS_H

#include <cstddef>
#include <string>
#include <vector>

namespace sim {

class Session;

inline constexpr int kMenuBack = 1;
inline constexpr int kMenuCancel = 2;
inline constexpr int kMenuFirstItem = 5;
inline constexpr int kMenuMaxItems = 14;

/// Asks the menu of 1 to kMenuMaxItems items (host bytes) with title;
/// default_item (1-based) is offered as the default when it names an item.
/// Returns the response.
[[nodiscard]] int ask_menu(Session &session, const std::string &title, int default_item,
                           const std::vector<std::string> &items);

/// What the file dialog gave: OK with a name of 1 to name_limit - 1
/// bytes, or Cancel with none.
struct FileChoice {
  bool ok = false;
  std::string name; ///< host bytes
};

/// Asks the file dialog with its texts (host bytes); a name that does not
/// fit in name_limit bytes with its terminator is refused.
[[nodiscard]] FileChoice ask_file(Session &session, const std::string &prompt,
                                  const std::string &title, const std::string &filter,
                                  const std::string &default_name, std::size_t name_limit);

} // namespace sim

#endif
