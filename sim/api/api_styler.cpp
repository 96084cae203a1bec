//===- api_styler.cpp - styler.h: designer-made dialogs -------------------===//
#include "host/styler.h"

#include "api/entry.h"
#include "styler/styler.h"

using sim::Call;
using sim::Session;
namespace status = sim::status;

extern "C" int UF_STYLER_create_dialog(const char *dialog_name,
                                       UF_STYLER_callback_info_p_t callbacks, int count,
                                       void *client_data, int *response) {
  return sim::api::call(
      Call::UF_STYLER_create_dialog,
      [&](Session &s) {
        return s.component<sim::styler::Styler>().create_dialog(dialog_name, callbacks, count,
                                                                client_data, response);
      },
      [&] {
        if (response)
          sim::api::poison(*response);
      });
}

extern "C" int UF_STYLER_ask_value(int dialog_id, UF_STYLER_item_value_type_p_t value) {
  return sim::api::call(Call::UF_STYLER_ask_value, [&](Session &s) {
    return s.component<sim::styler::Styler>().ask_value(dialog_id, value);
  });
}

extern "C" int UF_STYLER_set_value(int dialog_id, UF_STYLER_item_value_type_p_t value) {
  return sim::api::call(Call::UF_STYLER_set_value, [&](Session &s) {
    return s.component<sim::styler::Styler>().set_value(dialog_id, value);
  });
}

extern "C" void UF_STYLER_free_value(UF_STYLER_item_value_type_p_t value) {
  sim::api::void_call(Call::UF_STYLER_free_value,
                      [&](Session &s) { s.component<sim::styler::Styler>().free_value(value); });
}
