//===- posts.cpp - The host's postprocessors ------------------------------===//
#include "postproc/posts.h"

#include "cam/cam_objects.h"
#include "cam/cam_state.h"
#include "objects/object_store.h"
#include "runtime/runtime.h"
#include "scenario/scenario.h"
#include "session/status.h"
#include "text/gbk.h"

#include <nlohmann/json.hpp>

#include <cstring>

namespace sim::post {
namespace {

using nlohmann::json;

/// Units codes of UF_SETUP_generate_program.
constexpr int kMetricOutput = 1;
constexpr int kInchOutput = 2;
/// Deepest group nesting a program is walked to (the part's own limit is
/// far below; this only stops a cycle).
constexpr int kMaxDepth = 64;

[[nodiscard]] Postprocessor make(std::string name, Dialect dialect, double rapid, bool numbers,
                                 int rotary, bool high_speed, std::string machine) {
  Postprocessor post;
  post.definition = {std::move(name), dialect,           rapid, numbers, rotary,
                     high_speed,      std::move(machine)};
  return post;
}

[[nodiscard]] const char *fault_name(Fault fault) {
  switch (fault) {
  case Fault::None: return "none";
  case Fault::NoNc: return "no_nc";
  case Fault::NoSummary: return "no_summary";
  case Fault::EmptySummary: return "empty_summary";
  case Fault::Nothing: return "nothing";
  }
  return "?";
}

/// The operations under a group, depth first in member order.
void gather(const ObjectStore &store, tag_t group, int depth, std::vector<Operation> &out) {
  const auto *payload = store.payload_as<cam::ProgramGroupPayload>(group);
  if (!payload || depth > kMaxDepth)
    return;
  for (tag_t member : payload->members) {
    if (const auto *op = store.payload_as<cam::OperationPayload>(member)) {
      Operation data = op->data;
      data.name = store.find(member)->name;
      out.push_back(std::move(data));
    } else {
      gather(store, member, depth + 1, out);
    }
  }
}

/// Writes a whole file through the session's drives; false when it cannot.
[[nodiscard]] bool write_file(Runtime &runtime, const std::string &path, const std::string &text) {
  host_file *file = runtime.open(path, "w");
  if (!file)
    return false;
  const std::size_t written = text.empty() ? 0 : runtime.write(text.data(), 1, text.size(), file);
  const int closed = runtime.close(file);
  return written == text.size() && closed == 0;
}

[[nodiscard]] std::string join(const std::string &path, std::string_view key) {
  return path + "/" + std::string(key);
}

} // namespace

std::vector<Postprocessor> builtin_postprocessors() {
  std::vector<Postprocessor> posts;
  posts.push_back(make("ISO_MILL_3AX", Dialect::Iso, 10000, true, 0, false,
                       "3-AXIS VERTICAL MILL, ISO CONTROL"));
  posts.push_back(make("DIALOG_MILL_3AX", Dialect::Conversational, 8000, true, 0, false,
                       "3-AXIS MILL, CONVERSATIONAL CONTROL"));
  posts.push_back(make("ISO_MILL_3AX_HSM", Dialect::Iso, 20000, false, 0, true,
                       "3-AXIS HIGH-SPEED MILL, ISO CONTROL"));
  posts.push_back(make("ISO_MILL_4AX", Dialect::Iso, 12000, true, 1, false,
                       "4-AXIS MILL WITH ROTARY TABLE A, ISO CONTROL"));
  posts.push_back(make("ISO_MILL_5AX", Dialect::Iso, 15000, true, 2, false,
                       "5-AXIS TRUNNION MILL A/C, ISO CONTROL"));
  return posts;
}

Postprocessors::Postprocessors(Session &session)
    : session_(session), posts_(builtin_postprocessors()) {}

void Postprocessors::dump(json &out) const {
  json posts = json::array();
  for (const Postprocessor &post : posts_) {
    const PostDefinition &d = post.definition;
    json entry{{"name", gbk_to_utf8(d.name)},
               {"dialect", d.dialect == Dialect::Iso ? "iso" : "conversational"},
               {"rapid", d.rapid_rate},
               {"machine", d.machine}};
    if (post.fault != Fault::None) {
      entry["fault"] = fault_name(post.fault);
      json groups = json::array();
      for (const std::string &group : post.fault_groups)
        groups.push_back(gbk_to_utf8(group));
      entry["fault_groups"] = std::move(groups);
    }
    posts.push_back(std::move(entry));
  }
  out["installed"] = std::move(posts);
  out["runs"] = runs_;
}

const Postprocessor *Postprocessors::find(std::string_view name) const noexcept {
  for (const Postprocessor &post : posts_)
    if (post.definition.name == name)
      return &post;
  return nullptr;
}

void Postprocessors::define(Postprocessor post) {
  for (Postprocessor &known : posts_)
    if (known.definition.name == post.definition.name) {
      known = std::move(post);
      return;
    }
  posts_.push_back(std::move(post));
}

int Postprocessors::generate(tag_t setup, tag_t program, const char *post_name,
                             const char *output_file, int units) {
  if (!post_name || !output_file || output_file[0] == '\0' || setup == NULL_TAG ||
      (units != kMetricOutput && units != kInchOutput))
    return status::kBadArgument;
  cam::CamState &cam = session_.component<cam::CamState>();
  if (setup != cam.setup())
    return session_.objects().find(setup) ? status::kWrongType : status::kBadTag;
  const Object *group = session_.objects().find(program);
  if (!group)
    return status::kBadTag;
  if (!payload_cast<const cam::ProgramGroupPayload>(group->payload.get()))
    return status::kWrongType;
  const Postprocessor *post = find(post_name);
  if (!post) {
    session_.transcript().add(EventKind::Note, {},
                              "postprocessor \"" + gbk_to_utf8(post_name) + "\" is not installed");
    return status::kUnknownPost;
  }

  Program data;
  data.name = group->name;
  gather(session_.objects(), program, 0, data.operations);
  ++runs_;
  NcJob job;
  job.clock = session_.runtime().now();
  job.program_number = runs_;
  job.inch = units == kInchOutput;
  const std::string nc = write_nc(post->definition, data, job);
  const std::string summary = summary_line(summarize(data, post->definition.rapid_rate));

  Fault fault = post->fault;
  if (fault != Fault::None && !post->fault_groups.empty()) {
    bool listed = false;
    for (const std::string &name : post->fault_groups)
      listed = listed || ObjectStore::same_name(name, group->name);
    if (!listed)
      fault = Fault::None;
  }

  const std::string nc_path = output_file;
  const std::string summary_path = std::string(kSummaryFolder) + group->name + ".xl";
  std::string record =
      "postprocessor " + post->definition.name + " on " + gbk_to_utf8(group->name) + ":";
  if (fault != Fault::None)
    record += std::string(" fault ") + fault_name(fault) + ";";
  int result = status::kOk;
  if (fault != Fault::NoNc && fault != Fault::Nothing) {
    if (write_file(session_.runtime(), nc_path, nc)) {
      record += " NC " + gbk_to_utf8(nc_path) + ";";
    } else {
      record += " cannot write " + gbk_to_utf8(nc_path) + ";";
      result = status::kFileError;
    }
  }
  if (result == status::kOk && fault != Fault::NoSummary && fault != Fault::Nothing) {
    const std::string line = fault == Fault::EmptySummary ? std::string() : summary;
    if (write_file(session_.runtime(), summary_path, line)) {
      record +=
          " summary " + gbk_to_utf8(summary_path) + " " +
          gbk_to_utf8(line.empty() ? std::string("(empty)") : line.substr(0, line.size() - 1));
    } else {
      record += " cannot write " + gbk_to_utf8(summary_path);
      result = status::kFileError;
    }
  }
  session_.transcript().add(EventKind::Note, {}, record);
  if (result == status::kOk && fault != Fault::None)
    result = post->fault_status;
  else if (result == status::kOk)
    ++completed_;
  return result;
}

void load_postprocessors_section(const json &value, const std::string &path, LoadContext &ctx) {
  Postprocessors &posts = ctx.session().component<Postprocessors>();
  for (const auto &[utf8_name, post_entry] : ctx.object(value, path).items()) {
    const std::string where = join(path, utf8_name);
    (void)ctx.object(post_entry, where);
    ctx.only_keys(post_entry, where,
                  {"like", "dialect", "rapid", "block_numbers", "rotary_axes", "high_speed",
                   "machine", "fault", "groups", "status"});
    const std::string name = utf8_to_gbk(utf8_name);
    if (name.empty() || name.size() > 128)
      ctx.fail(where, "a postprocessor name has 1 to 128 bytes");
    Postprocessor post;
    if (post_entry.contains("like")) {
      const std::string like = ctx.string(post_entry["like"], join(where, "like"));
      const Postprocessor *model = posts.find(utf8_to_gbk(like));
      if (!model)
        ctx.fail(join(where, "like"), "no postprocessor \"" + like + "\"");
      post = *model;
    } else if (const Postprocessor *known = posts.find(name)) {
      post = *known;
    } else if (!post_entry.contains("dialect")) {
      ctx.fail(where, "a new postprocessor needs \"dialect\" or \"like\"");
    }
    post.definition.name = name;
    PostDefinition &d = post.definition;
    if (post_entry.contains("dialect")) {
      const std::string dialect = ctx.string(post_entry["dialect"], join(where, "dialect"));
      if (dialect == "iso")
        d.dialect = Dialect::Iso;
      else if (dialect == "conversational")
        d.dialect = Dialect::Conversational;
      else
        ctx.fail(join(where, "dialect"), "the dialect is \"iso\" or \"conversational\"");
    }
    if (post_entry.contains("rapid")) {
      d.rapid_rate = ctx.number(post_entry["rapid"], join(where, "rapid"));
      if (!(d.rapid_rate > 0))
        ctx.fail(join(where, "rapid"), "the rapid rate must be greater than 0");
    }
    if (post_entry.contains("block_numbers"))
      d.block_numbers = ctx.boolean(post_entry["block_numbers"], join(where, "block_numbers"));
    if (post_entry.contains("rotary_axes")) {
      d.rotary_axes = ctx.integer(post_entry["rotary_axes"], join(where, "rotary_axes"));
      if (d.rotary_axes < 0 || d.rotary_axes > 2)
        ctx.fail(join(where, "rotary_axes"), "0, 1 or 2 rotary axes");
    }
    if (post_entry.contains("high_speed"))
      d.high_speed = ctx.boolean(post_entry["high_speed"], join(where, "high_speed"));
    if (post_entry.contains("machine"))
      d.machine = ctx.string(post_entry["machine"], join(where, "machine"));
    if (post_entry.contains("fault")) {
      const std::string fault = ctx.string(post_entry["fault"], join(where, "fault"));
      if (fault == "none")
        post.fault = Fault::None;
      else if (fault == "no_nc")
        post.fault = Fault::NoNc;
      else if (fault == "no_summary")
        post.fault = Fault::NoSummary;
      else if (fault == "empty_summary")
        post.fault = Fault::EmptySummary;
      else if (fault == "nothing")
        post.fault = Fault::Nothing;
      else
        ctx.fail(join(where, "fault"),
                 "the fault is \"none\", \"no_nc\", \"no_summary\", \"empty_summary\" or "
                 "\"nothing\"");
      post.fault_status = post.fault == Fault::NoNc || post.fault == Fault::Nothing
                              ? status::kPostFailed
                              : status::kOk;
    }
    post.fault_groups.clear();
    if (post_entry.contains("groups")) {
      const json &groups = ctx.array(post_entry["groups"], join(where, "groups"));
      for (std::size_t i = 0; i < groups.size(); ++i)
        post.fault_groups.push_back(
            utf8_to_gbk(ctx.string(groups[i], join(where, "groups/" + std::to_string(i)))));
    }
    if (post_entry.contains("status"))
      post.fault_status = ctx.integer(post_entry["status"], join(where, "status"));
    posts.define(std::move(post));
  }
}

} // namespace sim::post
