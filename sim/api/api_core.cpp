//===- api_core.cpp - core.h: bracket, statuses, memory, part, objects ----===//
#include "host/core.h"

#include "api/entry.h"
#include "objects/object_store.h"

#include <cstring>
#include <string_view>

using sim::Call;
using sim::Session;
namespace status = sim::status;

namespace {

/// Copies text into a host buffer of size bytes, cut to fit, terminated.
void copy_out(std::string_view text, char *out, std::size_t size) {
  const std::size_t length = text.size() < size ? text.size() : size - 1;
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
}

} // namespace

extern "C" int UF_initialize(void) {
  return sim::api::call(Call::UF_initialize, [](Session &s) {
    s.open_bracket();
    return status::kOk;
  });
}

// A failed UF_terminate still closes the bracket: the caller has no other
// way to close it.
extern "C" int UF_terminate(void) {
  return sim::api::call_always(Call::UF_terminate, [](Session &s, int) {
    return s.close_bracket() ? status::kOk : status::kNotInitialized;
  });
}

extern "C" int UF_get_fail_message(int fail_code, char message[UF_FAIL_MESSAGE_BUFSIZE]) {
  return sim::api::call(
      Call::UF_get_fail_message,
      [&](Session &) {
        if (!message)
          return status::kBadArgument;
        const auto text = status::fail_text(fail_code);
        if (!text) {
          message[0] = '\0';
          return status::kNotFound;
        }
        copy_out(*text, message, UF_FAIL_MESSAGE_BUFSIZE);
        return status::kOk;
      },
      [&] {
        if (message)
          sim::api::poison(message, UF_FAIL_MESSAGE_BUFSIZE);
      });
}

extern "C" void UF_free(void *data) {
  sim::api::void_call(Call::UF_free, [&](Session &s) {
    if (!s.arrays().release(data)) {
      s.transcript().add(sim::EventKind::BadFree);
      s.fail_run("UF_free of a pointer the host did not hand out");
    }
  });
}

extern "C" int UF_ask_application_module(int *module_id) {
  return sim::api::call(
      Call::UF_ask_application_module,
      [&](Session &s) {
        if (!module_id)
          return status::kBadArgument;
        *module_id = s.application();
        return status::kOk;
      },
      [&] {
        if (module_id)
          sim::api::poison(*module_id);
      });
}

extern "C" int UF_UNDO_set_mark(int visibility, const char *name, UF_UNDO_mark_id_t *mark_id) {
  return sim::api::call(
      Call::UF_UNDO_set_mark,
      [&](Session &s) {
        if (visibility != UF_UNDO_invisible && visibility != UF_UNDO_visible)
          return status::kBadArgument;
        const int id = s.add_undo_mark(visibility == UF_UNDO_visible, name ? name : "");
        if (mark_id)
          *mark_id = id;
        return status::kOk;
      },
      [&] {
        if (mark_id)
          sim::api::poison(*mark_id);
      });
}

extern "C" tag_t UF_PART_ask_display_part(void) {
  return sim::api::value_call(Call::UF_PART_ask_display_part, NULL_TAG,
                              [](Session &s) { return s.display_part(); });
}

extern "C" int UF_PART_ask_part_name(tag_t part, char part_fspec[MAX_FSPEC_BUFSIZE]) {
  return sim::api::call(
      Call::UF_PART_ask_part_name,
      [&](Session &s) {
        if (!part_fspec)
          return status::kBadArgument;
        if (part == NULL_TAG || part != s.display_part())
          return status::kBadTag;
        copy_out(s.part_file(), part_fspec, MAX_FSPEC_BUFSIZE);
        return status::kOk;
      },
      [&] {
        if (part_fspec)
          sim::api::poison(part_fspec, MAX_FSPEC_BUFSIZE);
      });
}

extern "C" int UF_OBJ_ask_name(tag_t object, char name[UF_OBJ_NAME_BUFSIZE]) {
  return sim::api::call(
      Call::UF_OBJ_ask_name,
      [&](Session &s) {
        if (!name)
          return status::kBadArgument;
        const sim::Object *found = s.objects().find(object);
        if (!found)
          return status::kBadTag;
        if (found->name.empty())
          return status::kNotFound;
        copy_out(found->name, name, UF_OBJ_NAME_BUFSIZE);
        return status::kOk;
      },
      [&] {
        if (name)
          sim::api::poison(name, UF_OBJ_NAME_BUFSIZE);
      });
}

extern "C" int UF_OBJ_ask_type_and_subtype(tag_t object, int *type, int *subtype) {
  return sim::api::call(
      Call::UF_OBJ_ask_type_and_subtype,
      [&](Session &s) {
        if (!type || !subtype)
          return status::kBadArgument;
        const sim::Object *found = s.objects().find(object);
        if (!found)
          return status::kBadTag;
        *type = found->type;
        *subtype = found->subtype;
        return status::kOk;
      },
      [&] {
        if (type)
          sim::api::poison(*type);
        if (subtype)
          sim::api::poison(*subtype);
      });
}

extern "C" int UF_OBJ_cycle_by_name(const char *name, tag_t *object) {
  return sim::api::call(
      Call::UF_OBJ_cycle_by_name,
      [&](Session &s) {
        if (!name || !object)
          return status::kBadArgument;
        *object = s.objects().next_by_name(name, *object);
        return status::kOk;
      },
      [&] {
        if (object)
          sim::api::poison(*object);
      });
}

extern "C" tag_t UF_OBJ_cycle_objs_in_part(tag_t part, int type, tag_t object) {
  return sim::api::value_call(Call::UF_OBJ_cycle_objs_in_part, NULL_TAG, [&](Session &s) {
    if (part == NULL_TAG || part != s.display_part())
      return NULL_TAG;
    return s.objects().next_by_type(type, object);
  });
}
