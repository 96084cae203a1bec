//===- api_cam.cpp - cam.h: setup, groups, operations, postprocessors -----===//
#include "host/cam.h"

#include "api/entry.h"
#include "cam/cam_objects.h"
#include "cam/cam_state.h"
#include "objects/object_store.h"
#include "postproc/posts.h"

#include <cstring>

using sim::Call;
using sim::Session;
namespace cam = sim::cam;
namespace status = sim::status;

extern "C" int UF_SETUP_ask_setup(tag_t *setup) {
  return sim::api::call(
      Call::UF_SETUP_ask_setup,
      [&](Session &s) {
        if (!setup)
          return status::kBadArgument;
        if (s.display_part() == NULL_TAG)
          return status::kNoPart;
        *setup = s.component<cam::CamState>().setup();
        return status::kOk;
      },
      [&] {
        if (setup)
          sim::api::poison(*setup);
      });
}

extern "C" int UF_SETUP_ask_program_root(tag_t setup, tag_t *root) {
  return sim::api::call(
      Call::UF_SETUP_ask_program_root,
      [&](Session &s) {
        if (!root)
          return status::kBadArgument;
        cam::CamState &state = s.component<cam::CamState>();
        if (setup == NULL_TAG || setup != state.setup())
          return setup == NULL_TAG ? status::kBadTag : sim::api::wrong_kind_status(s, setup);
        *root = state.program_root();
        return status::kOk;
      },
      [&] {
        if (root)
          sim::api::poison(*root);
      });
}

extern "C" int UF_SETUP_generate_program(tag_t setup, tag_t program, const char *post_name,
                                         const char *output_file, int units) {
  return sim::api::call(Call::UF_SETUP_generate_program, [&](Session &s) {
    return s.component<sim::post::Postprocessors>().generate(setup, program, post_name, output_file,
                                                             units);
  });
}

extern "C" int UF_NCGROUP_is_group(tag_t object, logical *answer) {
  return sim::api::call(
      Call::UF_NCGROUP_is_group,
      [&](Session &s) {
        if (!answer)
          return status::kBadArgument;
        if (!s.objects().find(object))
          return status::kBadTag;
        *answer = s.objects().payload_as<cam::ProgramGroupPayload>(object) ? TRUE : FALSE;
        return status::kOk;
      },
      [&] {
        if (answer)
          sim::api::poison(*answer);
      });
}

// Members that were deleted since they joined the group are left out; an
// empty group gives a count of 0 and a null array.
extern "C" int UF_NCGROUP_ask_member_list(tag_t group, int *count, tag_t **list) {
  return sim::api::call(
      Call::UF_NCGROUP_ask_member_list,
      [&](Session &s) {
        if (!count || !list)
          return status::kBadArgument;
        const auto *payload = s.objects().payload_as<cam::ProgramGroupPayload>(group);
        if (!payload)
          return sim::api::wrong_kind_status(s, group);
        std::vector<tag_t> members;
        for (tag_t member : payload->members)
          if (s.objects().find(member))
            members.push_back(member);
        tag_t *array =
            s.arrays().allocate_array<tag_t>(members.size(), Call::UF_NCGROUP_ask_member_list);
        if (!members.empty())
          std::memcpy(array, members.data(), members.size() * sizeof(tag_t));
        *count = static_cast<int>(members.size());
        *list = array;
        return status::kOk;
      },
      [&] {
        if (count)
          sim::api::poison(*count);
      });
}

extern "C" int UF_OPER_ask_name_from_tag(tag_t oper, char name[UF_OPER_MAX_NAME_LEN + 1]) {
  return sim::api::call(
      Call::UF_OPER_ask_name_from_tag,
      [&](Session &s) {
        if (!name)
          return status::kBadArgument;
        if (!s.objects().payload_as<cam::OperationPayload>(oper))
          return sim::api::wrong_kind_status(s, oper);
        const std::string &text = s.objects().find(oper)->name;
        const std::size_t n = std::min<std::size_t>(text.size(), UF_OPER_MAX_NAME_LEN);
        std::memcpy(name, text.data(), n);
        name[n] = '\0';
        return status::kOk;
      },
      [&] {
        if (name)
          sim::api::poison(name, UF_OPER_MAX_NAME_LEN + 1);
      });
}

extern "C" int UF_PARAM_ask_tag_value(tag_t object, int param, tag_t *value) {
  return sim::api::call(
      Call::UF_PARAM_ask_tag_value,
      [&](Session &s) {
        if (!value)
          return status::kBadArgument;
        const auto *op = s.objects().payload_as<cam::OperationPayload>(object);
        if (!op)
          return sim::api::wrong_kind_status(s, object);
        if (param != UF_PARAM_MCS)
          return status::kBadArgument;
        *value = op->mcs;
        return status::kOk;
      },
      [&] {
        if (value)
          sim::api::poison(*value);
      });
}
