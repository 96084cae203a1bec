//===- scenario.cpp - Setting up a session from a scenario file -----------===//
#include "scenario/scenario.h"

#include "session/calls.h"
#include "objects/object_store.h"
#include "runtime/runtime.h"
#include "scenario/sections.h"
#include "session/session.h"
#include "text/gbk.h"
#include "ui/operator.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

namespace fs = std::filesystem;
using nlohmann::json;

namespace sim {
namespace {

constexpr std::string_view kDefaultClock = "2026-01-01T08:00:00";
constexpr std::string_view kInstallFolder = "kv_conf";

std::string join(std::string_view path, std::string_view key) {
  return std::string(path) + "/" + std::string(key);
}

std::string join(std::string_view path, std::size_t index) {
  return std::string(path) + "/" + std::to_string(index);
}

/// What a scenario may ask for, so that no file makes the loader run out of
/// memory, stack or time (documented in docs/scenario.md, "Bounds").
constexpr std::size_t kMaxScenarioBytes = 4u << 20;
constexpr int kMaxNesting = 64;
constexpr std::size_t kMaxRuns = 1000;
constexpr std::size_t kMaxFolderEntries = 10000;
constexpr std::uintmax_t kMaxFolderBytes = 256u << 20;

/// How deeply the arrays and objects of JSON text nest (strings skipped).
int nesting_depth(std::string_view text) {
  int depth = 0, deepest = 0;
  bool in_string = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        in_string = false;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

/// Copies a folder's content into target (created); symbolic links are left
/// out.  Fails at where when the folder holds more than the bounds allow.
void copy_folder(const fs::path &from, const fs::path &target, const std::string &where,
                 const LoadContext &ctx) {
  std::size_t entries = 0;
  std::uintmax_t bytes = 0;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
    if (++entries > kMaxFolderEntries)
      ctx.fail(where, "the folder " + from.string() + " holds more than " +
                          std::to_string(kMaxFolderEntries) + " entries");
    if (it->is_regular_file(ec) && !it->is_symlink(ec))
      bytes += it->file_size(ec);
    if (bytes > kMaxFolderBytes)
      ctx.fail(where, "the folder " + from.string() + " holds more than " +
                          std::to_string(kMaxFolderBytes >> 20) + " MiB");
  }
  if (ec)
    ctx.fail(where, "cannot read the folder " + from.string() + ": " + ec.message());
  fs::create_directories(target);
  fs::copy(from, target,
           fs::copy_options::recursive | fs::copy_options::overwrite_existing |
               fs::copy_options::skip_symlinks);
}

void load_drives(const json &value, const std::string &path, LoadContext &ctx) {
  const json &drives = ctx.object(value, path);
  for (const auto &[letter, folder] : drives.items()) {
    const std::string where = join(path, letter);
    if (letter.size() != 1 || !std::isalpha(static_cast<unsigned char>(letter[0])))
      ctx.fail(where, "a drive is one letter");
    const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(letter[0])));
    const fs::path target = ctx.root() / "drives" / std::string(1, drive);
    if (!folder.is_null()) {
      const fs::path source = ctx.resolve(ctx.string(folder, where));
      std::error_code ec;
      if (!fs::is_directory(source, ec))
        ctx.fail(where, "no folder " + source.string());
      copy_folder(source, target, where, ctx);
    }
    ctx.session().runtime().mount(drive, target);
  }
}

void load_installation(const json &value, const std::string &path, LoadContext &ctx) {
  const fs::path source = ctx.resolve(ctx.string(value, path));
  std::error_code ec;
  if (!fs::is_directory(source, ec))
    ctx.fail(path, "no folder " + source.string());
  const fs::path drive = ctx.root() / "drives" / "D";
  copy_folder(source, drive / kInstallFolder, path, ctx);
  ctx.session().runtime().mount('D', drive);
}

void load_clock(const json &value, const std::string &path, LoadContext &ctx) {
  const std::string text = ctx.string(value, path);
  if (text == "now")
    return;
  const std::optional<std::tm> when = parse_clock(text);
  if (!when)
    ctx.fail(path, "expected \"YYYY-MM-DDTHH:MM:SS\" or \"now\", got \"" + text + "\"");
  ctx.session().runtime().set_clock(*when);
}

int application_id(const json &value, const std::string &path, LoadContext &ctx) {
  if (value.is_string()) {
    const std::string name = value.get<std::string>();
    if (name == "cam")
      return UF_APP_CAM;
    if (name == "drafting")
      return UF_APP_DRAFTING;
    ctx.fail(path, "expected \"cam\", \"drafting\" or a module number, got \"" + name + "\"");
  }
  return ctx.integer(value, path);
}

void load_objects(const json &value, const std::string &path, LoadContext &ctx) {
  const json &objects = ctx.array(value, path);
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const std::string where = join(path, i);
    const json &item = ctx.object(objects[i], where);
    ctx.only_keys(item, where, {"type", "subtype", "name", "layer", "color", "blanked"});
    if (!item.contains("type"))
      ctx.fail(where, "an object needs a \"type\"");
    const int type = ctx.integer(item["type"], join(where, "type"));
    const int subtype =
        item.contains("subtype") ? ctx.integer(item["subtype"], join(where, "subtype")) : 0;
    const std::string name =
        item.contains("name") ? utf8_to_gbk(ctx.string(item["name"], join(where, "name"))) : "";
    Object &object = ctx.session().objects().create(type, subtype, name);
    if (item.contains("layer"))
      object.layer = ctx.integer(item["layer"], join(where, "layer"));
    if (item.contains("color"))
      object.color = ctx.integer(item["color"], join(where, "color"));
    if (item.contains("blanked"))
      object.blanked = ctx.boolean(item["blanked"], join(where, "blanked"));
  }
}

void load_part(const json &value, const std::string &path, LoadContext &ctx) {
  if (value.is_null())
    return; // no part displayed
  const json &part = ctx.object(value, path);
  std::vector<std::string_view> allowed{"file", "application", "objects"};
  for (const Section &section : part_sections())
    allowed.push_back(section.key);
  ctx.only_keys(part, path, allowed);
  if (!part.contains("file"))
    ctx.fail(path, "a part needs a \"file\"");
  ctx.session().open_part(utf8_to_gbk(ctx.string(part["file"], join(path, "file"))));
  if (part.contains("application"))
    ctx.session().set_application(
        application_id(part["application"], join(path, "application"), ctx));
  if (part.contains("objects"))
    load_objects(part["objects"], join(path, "objects"), ctx);
  for (const Section &section : part_sections())
    if (const auto found = part.find(std::string(section.key)); found != part.end())
      section.load(*found, join(path, section.key), ctx);
}

void load_answers(const json &value, const std::string &path, LoadContext &ctx) {
  const json &answers = ctx.array(value, path);
  for (std::size_t i = 0; i < answers.size(); ++i) {
    const std::string where = join(path, i);
    const json &answer = ctx.object(answers[i], where);
    if (answer.empty())
      ctx.fail(where,
               "an answer needs one of \"buttons\", \"button\", \"menu\", \"file\", \"dialog\"");
    if (answer.contains("message"))
      ctx.fail(where, "a message with one button needs no answer; remove this one");
    // The answer keys the operator's questions know.
    ctx.only_keys(answer, where, {"buttons", "button", "menu", "file", "dialog", "press"});
    ctx.session().op().queue(answer);
  }
}

void load_faults(const json &value, const std::string &path, LoadContext &ctx) {
  const json &faults = ctx.array(value, path);
  for (std::size_t i = 0; i < faults.size(); ++i) {
    const std::string where = join(path, i);
    const json &fault = ctx.object(faults[i], where);
    ctx.only_keys(fault, where, {"call", "nth", "kth", "status"});
    const int status =
        fault.contains("status") ? ctx.integer(fault["status"], join(where, "status")) : 1;
    if (status == 0)
      ctx.fail(join(where, "status"), "an injected status is not 0");
    if (fault.contains("kth")) {
      if (fault.contains("call") || fault.contains("nth"))
        ctx.fail(where, "\"kth\" counts every fallible call; it goes without \"call\" and \"nth\"");
      const int k = ctx.integer(fault["kth"], join(where, "kth"));
      if (k < 1)
        ctx.fail(join(where, "kth"), "counts from 1");
      ctx.session().calls().fail_kth(static_cast<std::uint64_t>(k), status);
      continue;
    }
    if (!fault.contains("call"))
      ctx.fail(where, "a fault needs \"call\" (a host function) or \"kth\"");
    const std::string name = ctx.string(fault["call"], join(where, "call"));
    const std::optional<Call> call = find_call(name);
    if (!call)
      ctx.fail(join(where, "call"), "no host function \"" + name + "\"");
    if (!call_fallible(*call))
      ctx.fail(join(where, "call"),
               "\"" + name + "\" returns no status and cannot be made to fail");
    const int nth = fault.contains("nth") ? ctx.integer(fault["nth"], join(where, "nth")) : 0;
    if (nth < 0)
      ctx.fail(join(where, "nth"), "counts from 1 (0 or absent: every call)");
    ctx.session().calls().add_fault({*call, static_cast<std::uint32_t>(nth), status});
  }
}

std::vector<RunStep> load_runs(const json &value, const std::string &path, LoadContext &ctx) {
  std::vector<RunStep> steps;
  if (value.is_number_integer()) {
    const int count = ctx.integer(value, path);
    if (count < 1)
      ctx.fail(path, "at least one run");
    if (static_cast<std::size_t>(count) > kMaxRuns)
      ctx.fail(path, "at most " + std::to_string(kMaxRuns) + " runs");
    steps.assign(static_cast<std::size_t>(count), RunStep::Run);
    return steps;
  }
  const json &list = ctx.array(value, path);
  if (list.size() > kMaxRuns)
    ctx.fail(path, "at most " + std::to_string(kMaxRuns) + " runs");
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string step = ctx.string(list[i], join(path, i));
    if (step == "run")
      steps.push_back(RunStep::Run);
    else if (step == "reload")
      steps.push_back(RunStep::Reload);
    else
      ctx.fail(join(path, i), "expected \"run\" or \"reload\", got \"" + step + "\"");
  }
  if (steps.empty())
    ctx.fail(path, "at least one run");
  return steps;
}

Scenario apply(Session &session, const json &doc, const fs::path &file, const fs::path &base,
               const fs::path &root) {
  Scenario scenario;
  scenario.file = file;
  LoadContext first(session, file, base, root);
  const json &top = first.object(doc, "");
  const fs::path moved =
      top.contains("base") ? first.resolve(first.string(top["base"], "/base")) : base;
  LoadContext ctx(session, file, moved, root);
  std::vector<std::string_view> allowed{"description", "base",     "installation", "drives",
                                        "clock",       "operator", "part",         "answers",
                                        "faults",      "runs",     "fault_outputs"};
  for (const Section &section : top_sections())
    allowed.push_back(section.key);
  ctx.only_keys(top, "", allowed);

  std::error_code ec;
  fs::remove_all(root / "drives", ec);
  session.runtime().mount('D', root / "drives" / "D");
  if (top.contains("drives"))
    load_drives(top["drives"], "/drives", ctx);
  if (top.contains("installation"))
    load_installation(top["installation"], "/installation", ctx);
  const std::optional<std::tm> fixed = parse_clock(kDefaultClock);
  session.runtime().set_clock(*fixed);
  if (top.contains("clock"))
    load_clock(top["clock"], "/clock", ctx);
  if (top.contains("operator")) {
    const std::string mode = ctx.string(top["operator"], "/operator");
    if (mode == "terminal")
      session.op().set_mode(Operator::Mode::Terminal);
    else if (mode != "script")
      ctx.fail("/operator", "expected \"script\" or \"terminal\", got \"" + mode + "\"");
  }
  if (top.contains("fault_outputs")) {
    const std::string mode = ctx.string(top["fault_outputs"], "/fault_outputs");
    if (mode != "untouched" && mode != "poison")
      ctx.fail("/fault_outputs", "expected \"untouched\" or \"poison\", got \"" + mode + "\"");
    session.set_poison_outputs(mode == "poison");
  }
  if (top.contains("part"))
    load_part(top["part"], "/part", ctx);
  for (const Section &section : top_sections())
    if (const auto found = top.find(std::string(section.key)); found != top.end())
      section.load(*found, "/" + std::string(section.key), ctx);
  if (top.contains("answers"))
    load_answers(top["answers"], "/answers", ctx);
  if (top.contains("faults"))
    load_faults(top["faults"], "/faults", ctx);
  if (top.contains("runs"))
    scenario.steps = load_runs(top["runs"], "/runs", ctx);
  return scenario;
}

std::string type_name(const json &value) { return value.type_name(); }

} // namespace

LoadContext::LoadContext(Session &session, fs::path file, fs::path base, fs::path root)
    : session_(session), file_(std::move(file)), base_(std::move(base)), root_(std::move(root)) {}

fs::path LoadContext::resolve(std::string_view path) const {
  const fs::path given{std::string(path)};
  if (given.is_absolute())
    return given.lexically_normal();
  return (base_ / given).lexically_normal();
}

void LoadContext::fail(std::string_view json_path, std::string_view what) const {
  std::string message = file_.string() + ": ";
  message += json_path.empty() ? "/" : json_path;
  message += ": ";
  message += what;
  throw ScenarioError(message);
}

const json &LoadContext::object(const json &value, std::string_view path) const {
  if (!value.is_object())
    fail(path, "expected an object, got " + type_name(value));
  return value;
}

const json &LoadContext::array(const json &value, std::string_view path) const {
  if (!value.is_array())
    fail(path, "expected an array, got " + type_name(value));
  return value;
}

std::string LoadContext::string(const json &value, std::string_view path) const {
  if (!value.is_string())
    fail(path, "expected a string, got " + type_name(value));
  return value.get<std::string>();
}

double LoadContext::number(const json &value, std::string_view path) const {
  if (!value.is_number())
    fail(path, "expected a number, got " + type_name(value));
  return value.get<double>();
}

int LoadContext::integer(const json &value, std::string_view path) const {
  if (!value.is_number_integer())
    fail(path, "expected an integer, got " + type_name(value));
  const auto wide = value.get<long long>();
  if (wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max())
    fail(path, "integer out of range");
  return static_cast<int>(wide);
}

bool LoadContext::boolean(const json &value, std::string_view path) const {
  if (!value.is_boolean())
    fail(path, "expected true or false, got " + type_name(value));
  return value.get<bool>();
}

void LoadContext::only_keys(const json &object, std::string_view path,
                            const std::vector<std::string_view> &allowed) const {
  for (const auto &[key, value] : object.items()) {
    bool known = false;
    for (const std::string_view name : allowed)
      known = known || key == name;
    if (!known)
      fail(join(path, key), "unknown key \"" + key + "\"");
  }
}

Scenario load_scenario_text(Session &session, std::string_view text, const fs::path &file,
                            const fs::path &base, const fs::path &root) {
  if (text.size() > kMaxScenarioBytes)
    throw ScenarioError(file.string() + ": a scenario holds at most " +
                        std::to_string(kMaxScenarioBytes >> 20) + " MiB");
  if (nesting_depth(text) > kMaxNesting)
    throw ScenarioError(file.string() + ": arrays and objects nest at most " +
                        std::to_string(kMaxNesting) + " deep");
  json doc;
  try {
    doc = json::parse(text);
  } catch (const json::exception &e) {
    // A syntax error, or a number too large for a double (out_of_range).
    throw ScenarioError(file.string() + ": not valid JSON: " + e.what());
  }
  try {
    return apply(session, doc, file, fs::absolute(base), fs::absolute(root));
  } catch (const fs::filesystem_error &e) {
    throw ScenarioError(file.string() + ": " + e.what());
  }
}

Scenario load_scenario(Session &session, const fs::path &file, const fs::path &root) {
  std::ifstream in(file, std::ios::binary);
  std::error_code ec;
  if (!in || fs::is_directory(file, ec))
    throw ScenarioError(file.string() + ": cannot read the scenario file");
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return load_scenario_text(session, text, file, fs::absolute(file).parent_path(), root);
}

bool parse_run_steps(std::string_view text, std::vector<RunStep> &steps) {
  steps.clear();
  if (!text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos) {
    const int count = std::stoi(std::string(text.substr(0, 6)));
    if (count < 1)
      return false;
    steps.assign(static_cast<std::size_t>(count), RunStep::Run);
    return true;
  }
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(',', start), text.size());
    const std::string_view step = text.substr(start, end - start);
    if (step == "run")
      steps.push_back(RunStep::Run);
    else if (step == "reload")
      steps.push_back(RunStep::Reload);
    else
      return false;
    start = end + 1;
  }
  return !steps.empty();
}

} // namespace sim
