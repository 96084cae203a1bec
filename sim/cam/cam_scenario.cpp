//===- cam_scenario.cpp - Scenario sections of the CAM setup --------------===//
#include "cam/cam_scenario.h"

#include "cam/cam_state.h"
#include "cam/frame.h"
#include "objects/object_store.h"
#include "postproc/moves.h"
#include "scenario/scenario.h"
#include "text/gbk.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace sim::cam {
namespace {

using nlohmann::json;

[[nodiscard]] std::string join(const std::string &path, std::string_view key) {
  std::string out = path + "/";
  for (char c : key) {
    if (c == '~')
      out += "~0";
    else if (c == '/')
      out += "~1";
    else
      out.push_back(c);
  }
  return out;
}

[[nodiscard]] std::string join(const std::string &path, std::size_t index) {
  return path + "/" + std::to_string(index);
}

[[nodiscard]] geo::Vec3 vector3(const json &value, const std::string &path, LoadContext &ctx) {
  const json &items = ctx.array(value, path);
  if (items.size() != 3)
    ctx.fail(path, "three numbers are needed");
  return {ctx.number(items[0], join(path, 0)), ctx.number(items[1], join(path, 1)),
          ctx.number(items[2], join(path, 2))};
}

/// A scenario name as host bytes: not empty, at most 30 bytes.
[[nodiscard]] std::string host_name(const std::string &utf8, const std::string &path,
                                    LoadContext &ctx) {
  const std::string name = utf8_to_gbk(utf8);
  if (name.empty())
    ctx.fail(path, "a name cannot be empty");
  if (name.size() > kMaxNameLength)
    ctx.fail(path, "the name \"" + utf8 + "\" is longer than 30 bytes");
  return name;
}

/// The tag of the CAM object (group or operation) named name, or null.
[[nodiscard]] tag_t find_cam_object(const ObjectStore &store, std::string_view name) {
  for (tag_t tag = store.next_by_name(name, NULL_TAG); tag != NULL_TAG;
       tag = store.next_by_name(name, tag)) {
    const Object *object = store.find(tag);
    if (object->type == kProgramGroupType || object->type == kOperationType)
      return tag;
  }
  return NULL_TAG;
}

[[nodiscard]] tag_t find_csys(const ObjectStore &store, std::string_view name) {
  for (tag_t tag = store.next_by_name(name, NULL_TAG); tag != NULL_TAG;
       tag = store.next_by_name(name, tag))
    if (store.find(tag)->type == kCsysType)
      return tag;
  return NULL_TAG;
}

[[nodiscard]] std::string read_text_file(const std::string &file, const std::string &path,
                                         LoadContext &ctx) {
  std::ifstream in(ctx.resolve(file), std::ios::binary);
  if (!in)
    ctx.fail(path, "cannot read the moves file " + ctx.resolve(file).string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void load_operation(const json &item, const std::string &path, tag_t parent, LoadContext &ctx) {
  ctx.only_keys(item, path,
                {"op", "mcs", "tool", "tool_number", "description", "stock_side", "stock_floor",
                 "spindle", "feed", "moves"});
  CamState &cam = ctx.session().component<CamState>();
  const std::string utf8_name = ctx.string(item["op"], join(path, "op"));
  const std::string name = host_name(utf8_name, join(path, "op"), ctx);
  if (find_cam_object(ctx.session().objects(), name) != NULL_TAG)
    ctx.fail(join(path, "op"), "the name \"" + utf8_name + "\" is used already");

  tag_t mcs = NULL_TAG;
  if (item.contains("mcs") && !item["mcs"].is_null()) {
    const std::string csys = ctx.string(item["mcs"], join(path, "mcs"));
    mcs = find_csys(ctx.session().objects(), utf8_to_gbk(csys));
    if (mcs == NULL_TAG)
      ctx.fail(join(path, "mcs"), "no coordinate system \"" + csys + "\" in \"part.csys\"");
  }

  post::Operation data;
  const auto text = [&](const char *key) {
    return item.contains(key) ? utf8_to_gbk(ctx.string(item[key], join(path, key))) : std::string();
  };
  const auto number = [&](const char *key) {
    return item.contains(key) ? ctx.number(item[key], join(path, key)) : 0.0;
  };
  data.tool = text("tool");
  data.description = text("description");
  if (!item.contains("description")) {
    // The operation's kind, as its name tells it: CAVITY_MILL_1 -> CAVITY_MILL.
    std::string kind = name;
    const std::size_t cut = kind.find_last_of('_');
    if (cut != std::string::npos && cut + 1 < kind.size() &&
        kind.find_first_not_of("0123456789", cut + 1) == std::string::npos)
      kind.erase(cut);
    data.description = kind;
  }
  data.tool_number = item.contains("tool_number")
                         ? ctx.integer(item["tool_number"], join(path, "tool_number"))
                         : 0;
  data.side_stock = number("stock_side");
  data.floor_stock = number("stock_floor");
  data.spindle = item.contains("spindle") ? ctx.integer(item["spindle"], join(path, "spindle")) : 0;
  data.feed = number("feed");
  if (data.tool_number < 0)
    ctx.fail(join(path, "tool_number"), "a tool number cannot be negative");
  if (data.spindle < 0)
    ctx.fail(join(path, "spindle"), "a spindle speed cannot be negative");
  if (data.feed < 0)
    ctx.fail(join(path, "feed"), "a feed cannot be negative");

  std::string source;
  std::string moves_text;
  if (item.contains("moves")) {
    const std::string where = join(path, "moves");
    const json &moves = item["moves"];
    if (moves.is_string()) {
      source = moves.get<std::string>();
      moves_text = read_text_file(source, where, ctx);
    } else {
      const json &lines = ctx.array(moves, where);
      source = "(inline)";
      for (std::size_t i = 0; i < lines.size(); ++i)
        moves_text += ctx.string(lines[i], join(where, i)) + "\n";
    }
    post::MoveError error;
    if (!post::parse_moves(moves_text, {data.feed, data.spindle}, data.moves, error))
      ctx.fail(where, "line " + std::to_string(error.line) + ": " + error.what);
  }
  cam.add_operation(name, parent, mcs, std::move(data), std::move(source));
}

void load_members(const json &value, const std::string &path, tag_t parent, LoadContext &ctx);

void load_group(const std::string &utf8_name, const json &members, const std::string &path,
                tag_t parent, LoadContext &ctx) {
  const std::string name = host_name(utf8_name, path, ctx);
  if (find_cam_object(ctx.session().objects(), name) != NULL_TAG)
    ctx.fail(path, "the name \"" + utf8_name + "\" is used already");
  const tag_t group = ctx.session().component<CamState>().add_group(name, parent);
  load_members(members, path, group, ctx);
}

/// The members of a group: an array of operations ({"op": ...}) and groups
/// ({"NAME": members}) in order, or an object of groups by name.
void load_members(const json &value, const std::string &path, tag_t parent, LoadContext &ctx) {
  if (value.is_object()) {
    for (const auto &[key, members] : value.items())
      load_group(key, members, join(path, key), parent, ctx);
    return;
  }
  const json &items = ctx.array(value, path);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::string where = join(path, i);
    const json &item = ctx.object(items[i], where);
    if (item.contains("op") && item["op"].is_string()) {
      load_operation(item, where, parent, ctx);
      continue;
    }
    if (item.size() != 1)
      ctx.fail(where, "a member is an operation {\"op\": ...} or a group {\"NAME\": [...]}");
    for (const auto &[key, members] : item.items())
      load_group(key, members, join(where, key), parent, ctx);
  }
}

} // namespace

void load_csys_section(const json &value, const std::string &path, LoadContext &ctx) {
  CamState &cam = ctx.session().component<CamState>();
  for (const auto &[utf8_name, entry] : ctx.object(value, path).items()) {
    const std::string where = join(path, utf8_name);
    (void)ctx.object(entry, where);
    ctx.only_keys(entry, where, {"origin", "x", "y", "matrix"});
    const std::string name = host_name(utf8_name, where, ctx);
    if (find_csys(ctx.session().objects(), name) != NULL_TAG)
      ctx.fail(where, "the name \"" + utf8_name + "\" is used already");
    const geo::Vec3 origin = entry.contains("origin")
                                 ? vector3(entry["origin"], join(where, "origin"), ctx)
                                 : geo::Vec3{};
    geo::Result<geo::Frame> frame = geo::Frame{};
    if (entry.contains("matrix")) {
      if (entry.contains("x") || entry.contains("y"))
        ctx.fail(where, "give either \"matrix\" or \"x\" and \"y\"");
      const std::string m_path = join(where, "matrix");
      const json &values = ctx.array(entry["matrix"], m_path);
      if (values.size() != 9)
        ctx.fail(m_path, "nine numbers are needed, row by row");
      std::array<double, 9> m{};
      for (std::size_t i = 0; i < 9; ++i)
        m[i] = ctx.number(values[i], join(m_path, i));
      frame = frame_from_matrix(origin, m);
    } else {
      const geo::Vec3 x =
          entry.contains("x") ? vector3(entry["x"], join(where, "x"), ctx) : geo::Vec3{1, 0, 0};
      const geo::Vec3 y =
          entry.contains("y") ? vector3(entry["y"], join(where, "y"), ctx) : geo::Vec3{0, 1, 0};
      frame = frame_from_axes(origin, x, y);
    }
    if (!frame)
      ctx.fail(where, frame.error());
    cam.add_csys(name, *frame);
  }
}

void load_wcs_section(const json &value, const std::string &path, LoadContext &ctx) {
  const std::string name = ctx.string(value, path);
  const tag_t csys = find_csys(ctx.session().objects(), utf8_to_gbk(name));
  if (csys == NULL_TAG || !ctx.session().component<CamState>().set_wcs(csys))
    ctx.fail(path, "no coordinate system \"" + name + "\" in \"part.csys\"");
}

void load_setup_section(const json &value, const std::string &path, LoadContext &ctx) {
  if (value.is_null()) {
    ctx.session().component<CamState>().remove_setup();
    return;
  }
  if (!ctx.boolean(value, path))
    ctx.session().component<CamState>().remove_setup();
}

void load_programs_section(const json &value, const std::string &path, LoadContext &ctx) {
  CamState &cam = ctx.session().component<CamState>();
  if (!cam.has_setup())
    ctx.fail(path, "a part without a setup (\"setup\": null) has no programs");
  load_members(value, path, cam.program_root(), ctx);
}

void load_selected_section(const json &value, const std::string &path, LoadContext &ctx) {
  CamState &cam = ctx.session().component<CamState>();
  const json &names = ctx.array(value, path);
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string where = join(path, i);
    const std::string name = ctx.string(names[i], where);
    const tag_t tag = find_cam_object(ctx.session().objects(), utf8_to_gbk(name));
    if (tag == NULL_TAG)
      ctx.fail(where, "no program group or operation \"" + name + "\" in \"part.programs\"");
    for (tag_t earlier : cam.selected)
      if (earlier == tag)
        ctx.fail(where, "\"" + name + "\" is selected twice");
    cam.selected.push_back(tag);
  }
}

} // namespace sim::cam
