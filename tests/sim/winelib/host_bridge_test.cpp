// The bridge a Windows module calls the host through: arguments arrive in
// the Windows convention and reach the host in its own, the local time
// fills the Windows C runtime's smaller struct tm and nothing beyond it,
// and dialog callbacks defined for Windows are called through trampolines,
// nested dialogs each reaching their own.
#include "session_fixture.h"
#include "winelib/forward.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

using sim::winelib::Forward;

#define MS_ABI __attribute__((ms_abi))

// More arguments than the Windows convention passes in registers, floating
// and integer mixed: the positions differ between the two conventions.
double mixed(int a, double b, const char *c, double d, int e, double f, long long g) {
  return a + b * 10 + (c ? std::strlen(c) : 0) * 100 + d * 1000 + e * 1e4 + f * 1e5 + g * 1e6;
}

TEST(HostBridge, ArgumentsCrossTheConventionInPlace) {
  double(MS_ABI * as_windows)(int, double, const char *, double, int, double, long long) =
      &Forward<&mixed>::call;
  EXPECT_EQ(as_windows(1, 2, "abc", 4, 5, 6, 7), mixed(1, 2, "abc", 4, 5, 6, 7));
}

class HostBridgeSession : public sim::testing::SessionTest {};

TEST_F(HostBridgeSession, LocalTimeFillsNineIntsAndNothingMore) {
  unsigned char buffer[64];
  std::memset(buffer, 0xa5, sizeof buffer);
  void(MS_ABI * as_windows)(struct tm *) = &Forward<&::host_localtime>::call;
  as_windows(reinterpret_cast<struct tm *>(buffer));
  sim::winelib::WindowsTm got;
  std::memcpy(&got, buffer, sizeof got);
  // The session's clock: 2026-12-05 09:30:00, a Saturday.
  EXPECT_EQ((std::array{got.tm_year, got.tm_mon, got.tm_mday, got.tm_hour, got.tm_min, got.tm_sec,
                        got.tm_wday}),
            (std::array{126, 11, 5, 9, 30, 0, 6}));
  for (std::size_t i = sizeof(sim::winelib::WindowsTm); i < sizeof buffer; ++i)
    ASSERT_EQ(buffer[i], 0xa5) << "byte " << i << " past the Windows struct tm was written";
}

// What the Windows-convention callbacks of a test saw: which dialog, the
// reasons in turn, and whether they got their own client data.
struct Seen {
  const char *name;
  std::vector<int> reasons;
  int nested_response = -1;
  bool open_nested = false;
};

using Callback = int(MS_ABI *)(int, void *, UF_STYLER_item_value_type_p_t);
using CreateDialog = int(MS_ABI *)(const char *, UF_STYLER_callback_info_p_t, int, void *, int *);

int MS_ABI on_construct(int, void *client, UF_STYLER_item_value_type_p_t data);
int MS_ABI on_ok(int, void *client, UF_STYLER_item_value_type_p_t data);
int MS_ABI on_destruct(int, void *client, UF_STYLER_item_value_type_p_t data);

UF_STYLER_callback_info_t windows_table[] = {
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_CONSTRUCTOR_REASON, 0,
     reinterpret_cast<UF_STYLER_cb_t>(static_cast<Callback>(on_construct))},
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_OK_REASON, 0,
     reinterpret_cast<UF_STYLER_cb_t>(static_cast<Callback>(on_ok))},
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_DESTRUCTOR_REASON, 0,
     reinterpret_cast<UF_STYLER_cb_t>(static_cast<Callback>(on_destruct))},
    {UF_STYLER_NULL_OBJECT, UF_STYLER_NO_REASON, 0, nullptr}};

const CreateDialog create_dialog = &Forward<&::UF_STYLER_create_dialog>::call;

int MS_ABI on_construct(int, void *client, UF_STYLER_item_value_type_p_t data) {
  static_cast<Seen *>(client)->reasons.push_back(data->reason);
  return UF_UI_CB_CONTINUE_DIALOG;
}

int MS_ABI on_ok(int, void *client, UF_STYLER_item_value_type_p_t data) {
  auto *seen = static_cast<Seen *>(client);
  seen->reasons.push_back(data->reason);
  if (seen->open_nested) {
    Seen inner{"inner", {}};
    int response = -1;
    if (create_dialog("post_sheet_mr_dlg.dlg", windows_table, 4, &inner, &response) == 0)
      seen->nested_response = response;
    if (inner.reasons != std::vector<int>{UF_STYLER_CONSTRUCTOR_REASON, UF_STYLER_OK_REASON,
                                          UF_STYLER_DESTRUCTOR_REASON})
      seen->nested_response = -2;
  }
  return UF_UI_CB_EXIT_DIALOG;
}

int MS_ABI on_destruct(int, void *client, UF_STYLER_item_value_type_p_t data) {
  static_cast<Seen *>(client)->reasons.push_back(data->reason);
  return UF_UI_CB_CONTINUE_DIALOG;
}

TEST_F(HostBridgeSession, DialogCallbacksRunThroughTrampolinesNestedToo) {
  answer({{"press", "OK"}});
  answer({{"press", "OK"}});
  Seen outer{"outer", {}};
  outer.open_nested = true;
  int response = -1;
  ASSERT_EQ(create_dialog("post_sheet_mr_dlg.dlg", windows_table, 4, &outer, &response), 0);
  EXPECT_EQ(response, 2);
  EXPECT_EQ(outer.nested_response, 2) << "the nested dialog's callbacks went astray";
  EXPECT_EQ(outer.reasons, (std::vector<int>{UF_STYLER_CONSTRUCTOR_REASON, UF_STYLER_OK_REASON,
                                             UF_STYLER_DESTRUCTOR_REASON}));
  EXPECT_FALSE(session().run_failed());
}

TEST_F(HostBridgeSession, ATableLargerThanAFrameIsRefused) {
  std::vector<UF_STYLER_callback_info_t> table(sim::winelib::kMaxDialogCallbacks + 1,
                                               windows_table[0]);
  Seen seen{"large", {}};
  int response = -1;
  EXPECT_EQ(create_dialog("post_sheet_mr_dlg.dlg", table.data(), static_cast<int>(table.size()),
                          &seen, &response),
            sim::status::kBadArgument);
  EXPECT_TRUE(seen.reasons.empty());
}

} // namespace
