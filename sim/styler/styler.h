//===- styler.h - Running designer-made dialogs ---------------------------===//
//
// UF_STYLER_create_dialog reads the dialog file (from the installation
// folder D:\kv_conf, else from the folder of the module whose callbacks it
// was given), builds the controls, and runs the dialog modally: the
// constructor callback, then one operator answer per button press (edits
// first, then the press), the press's callback, and the dialog stays open
// while a callback returns 0; when it closes, the destructor callback.  The
// response is 2 for a dialog closed by OK, 3 by Cancel, 4 by Apply.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_STYLER_STYLER_H
#define NCSHEET_SIM_STYLER_STYLER_H

#include "base/expected.h"
#include "host/styler.h"
#include "session/session.h"
#include "styler/dialog_file.h"

#include <nlohmann/json_fwd.hpp>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace sim::styler {

/// Responses of a closed dialog.
inline constexpr int kResponseOk = 2;
inline constexpr int kResponseCancel = 3;
inline constexpr int kResponseApply = 4;

/// The installation folder searched first for dialog files.
inline constexpr const char *kDialogFolder = "D:\\kv_conf\\";

/// One dialog as it is (open) or was when it closed.
struct DialogRecord {
  int id = 0;
  std::string file; ///< host path or disk path it was read from
  DialogSpec definition;
  std::vector<ControlValue> values; ///< parallel to definition.controls
  int presses = 0;
  int response = 0; ///< 0 while open
};

class Styler final : public Component {
public:
  explicit Styler(Session &session);

  [[nodiscard]] std::string_view name() const override { return "styler"; }
  void dump(nlohmann::json &out) const override;

  /// UF_STYLER_create_dialog; returns a status.
  [[nodiscard]] int create_dialog(const char *dialog_name, UF_STYLER_callback_info_p_t callbacks,
                                  int count, void *client_data, int *response);
  [[nodiscard]] int ask_value(int dialog_id, UF_STYLER_item_value_type_p_t value);
  [[nodiscard]] int set_value(int dialog_id, UF_STYLER_item_value_type_p_t value);
  void free_value(UF_STYLER_item_value_type_p_t value);

  /// Dialogs that ran, in order (the last one may still be open).
  [[nodiscard]] const std::vector<DialogRecord> &dialogs() const noexcept { return dialogs_; }

private:
  struct Callbacks {
    std::map<int, UF_STYLER_cb_t> by_reason;
    void *client_data = nullptr;
  };

  [[nodiscard]] int find_file(const char *dialog_name, UF_STYLER_callback_info_p_t callbacks,
                              int count, std::string &text, std::string &where);
  [[nodiscard]] DialogRecord *open_dialog(int id) noexcept;
  /// The item of an open dialog that value names, with its definition: a
  /// status when value is not a value request, the dialog is not open or
  /// it has no such item.
  struct Item {
    const ControlSpec *definition = nullptr;
    ControlValue *value = nullptr;
  };
  [[nodiscard]] int find_item(int dialog_id, UF_STYLER_item_value_type_p_t value, Item &item);
  /// Runs the presses until the dialog closes; returns the response.
  int run(std::size_t index, const Callbacks &callbacks);
  /// Calls the callback of a reason; -1 when there is none.
  int fire(std::size_t index, const Callbacks &callbacks, int reason);
  [[nodiscard]] std::string describe(const DialogRecord &dialog) const;
  /// Applies an answer's edits; a failure names the first one the dialog
  /// refuses, and then none is applied.
  [[nodiscard]] Expected<void> apply_edits(DialogRecord &dialog, const nlohmann::json &edits);

  Session &session_;
  std::vector<DialogRecord> dialogs_;
  int next_id_ = 1;
};

} // namespace sim::styler

#endif
