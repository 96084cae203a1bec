//===- forward.h - Host calls from a Windows module -----------------------===//
//
// A module built for Windows calls the host with the Windows x64 calling
// convention; the simulated host's functions use the System V one.  Each
// Forward<&fn>::call is an ms_abi entry taking fn's own parameters and
// calling fn, so the compiler does the translation.  Two calls need more
// than the convention:
//   - host_localtime: the Windows C runtime's struct tm is nine ints (36
//     bytes), glibc's 56; the host fills its own and the nine fields are
//     copied, never more;
//   - UF_STYLER_create_dialog: the module's callbacks are ms_abi functions;
//     the host is handed trampolines that call them, one frame a dialog, so
//     nested dialogs each reach their own callbacks.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_WINELIB_FORWARD_H
#define NCSHEET_SIM_WINELIB_FORWARD_H

#include "host/host.h"
#include "session/status.h"

#include <array>
#include <cstddef>
#include <ctime>
#include <utility>

namespace sim::winelib {

#define NCSHEET_MS_ABI __attribute__((ms_abi))

/// struct tm as the Windows C runtime lays it out.
struct WindowsTm {
  int tm_sec, tm_min, tm_hour, tm_mday, tm_mon, tm_year, tm_wday, tm_yday, tm_isdst;
};
static_assert(sizeof(WindowsTm) == 36);

/// A dialog callback as a Windows module defines it.
using WindowsStylerCallback = int(NCSHEET_MS_ABI *)(int dialog_id, void *client_data,
                                                    UF_STYLER_item_value_type_p_t data);

/// Most callbacks one dialog's table may hold.
inline constexpr int kMaxDialogCallbacks = 32;

/// What the host's trampolines of one dialog call: the module's callbacks,
/// by their place in its table, and its client data.
struct DialogFrame {
  void *client_data = nullptr;
  std::array<WindowsStylerCallback, kMaxDialogCallbacks> callbacks{};
};

template <int Slot>
int styler_trampoline(int dialog_id, void *frame, UF_STYLER_item_value_type_p_t data) {
  const auto *dialog = static_cast<const DialogFrame *>(frame);
  return dialog->callbacks[Slot](dialog_id, dialog->client_data, data);
}

template <std::size_t... Slot>
constexpr std::array<UF_STYLER_cb_t, sizeof...(Slot)>
make_trampolines(std::index_sequence<Slot...>) {
  return {&styler_trampoline<static_cast<int>(Slot)>...};
}

/// One trampoline for each place of a callback table.
inline constexpr std::array<UF_STYLER_cb_t, kMaxDialogCallbacks> kStylerTrampolines =
    make_trampolines(std::make_index_sequence<kMaxDialogCallbacks>{});

template <auto Fn> struct Forward;

template <typename R, typename... A, R (*Fn)(A...)> struct Forward<Fn> {
  static R NCSHEET_MS_ABI call(A... args) { return Fn(args...); }
};

template <> struct Forward<&::host_localtime> {
  static void NCSHEET_MS_ABI call(struct tm *out) {
    struct tm now {};
    ::host_localtime(&now);
    auto *windows = reinterpret_cast<WindowsTm *>(out);
    windows->tm_sec = now.tm_sec;
    windows->tm_min = now.tm_min;
    windows->tm_hour = now.tm_hour;
    windows->tm_mday = now.tm_mday;
    windows->tm_mon = now.tm_mon;
    windows->tm_year = now.tm_year;
    windows->tm_wday = now.tm_wday;
    windows->tm_yday = now.tm_yday;
    windows->tm_isdst = now.tm_isdst;
  }
};

template <> struct Forward<&::UF_STYLER_create_dialog> {
  static int NCSHEET_MS_ABI call(const char *dialog_name, UF_STYLER_callback_info_p_t callbacks,
                                 int count, void *client_data, int *response) {
    if (count > kMaxDialogCallbacks)
      return status::kBadArgument; // a larger table than a frame holds
    DialogFrame frame;
    frame.client_data = client_data;
    std::array<UF_STYLER_callback_info_t, kMaxDialogCallbacks> table{};
    for (int i = 0; callbacks && i < count; ++i) {
      table[i] = callbacks[i];
      if (callbacks[i].callback) {
        frame.callbacks[i] = reinterpret_cast<WindowsStylerCallback>(callbacks[i].callback);
        table[i].callback = kStylerTrampolines[i];
      }
    }
    return ::UF_STYLER_create_dialog(dialog_name, callbacks ? table.data() : nullptr, count, &frame,
                                     response);
  }
};

} // namespace sim::winelib

#endif
