// scenario_bodies.cpp: bodies and layer states from a scenario.
#include "geometry/scenario_bodies.h"

#include "geometry/build.h"
#include "geometry/model.h"
#include "scenario/scenario.h"

#include <nlohmann/json.hpp>

#include <array>

namespace sim::geo {

namespace {

using nlohmann::json;

std::string join(const std::string &path, std::string_view key) {
  return path + "/" + std::string(key);
}

Vec3 vec3(const json &v, const std::string &path, LoadContext &ctx) {
  const json &a = ctx.array(v, path);
  if (a.size() != 3)
    ctx.fail(path, "expected three numbers");
  return {ctx.number(a[0], path + "/0"), ctx.number(a[1], path + "/1"),
          ctx.number(a[2], path + "/2")};
}

double positive(const json &v, const std::string &path, LoadContext &ctx) {
  double x = ctx.number(v, path);
  if (!(x > 0))
    ctx.fail(path, "expected a number greater than 0");
  return x;
}

Shape must(Result<Shape> r, const std::string &path, LoadContext &ctx) {
  if (!r.ok())
    ctx.fail(path, r.error());
  return *r;
}

// The shape of one body entry before placement, and where it came from.
Shape base_shape(const json &b, const std::string &path, LoadContext &ctx, std::string &source) {
  if (b.contains("step")) {
    std::string file = ctx.string(b["step"], join(path, "step"));
    source = file;
    std::string healed;
    Shape shape = must(read_step(ctx.resolve(file).string(), &healed), join(path, "step"), ctx);
    if (!healed.empty())
      ctx.session().transcript().add(EventKind::Note, {}, "STEP " + file + ": " + healed);
    return shape;
  }
  if (b.contains("brep")) {
    std::string file = ctx.string(b["brep"], join(path, "brep"));
    source = file;
    return must(read_brep(ctx.resolve(file).string()), join(path, "brep"), ctx);
  }
  if (b.contains("block")) {
    Vec3 size = vec3(b["block"], join(path, "block"), ctx);
    if (!(size.x > 0 && size.y > 0 && size.z > 0))
      ctx.fail(join(path, "block"), "a block needs three sizes greater than 0");
    if (b.contains("dome")) {
      source = "domed block";
      return must(make_domed_block(size, positive(b["dome"], join(path, "dome"), ctx)), path, ctx);
    }
    source = "block";
    return must(make_block(size), path, ctx);
  }
  if (b.contains("cylinder")) {
    const json &c = ctx.object(b["cylinder"], join(path, "cylinder"));
    ctx.only_keys(c, join(path, "cylinder"), {"radius", "height"});
    source = "cylinder";
    return must(
        make_cylinder(positive(c.value("radius", json()), join(path, "cylinder/radius"), ctx),
                      positive(c.value("height", json()), join(path, "cylinder/height"), ctx)),
        path, ctx);
  }
  if (b.contains("cone")) {
    const json &c = ctx.object(b["cone"], join(path, "cone"));
    ctx.only_keys(c, join(path, "cone"), {"radius1", "radius2", "height"});
    source = "cone";
    return must(make_cone(ctx.number(c.value("radius1", json()), join(path, "cone/radius1")),
                          ctx.number(c.value("radius2", json()), join(path, "cone/radius2")),
                          positive(c.value("height", json()), join(path, "cone/height"), ctx)),
                path, ctx);
  }
  if (b.contains("sphere")) {
    source = "sphere";
    return must(make_sphere(positive(b["sphere"], join(path, "sphere"), ctx)), path, ctx);
  }
  if (b.contains("torus")) {
    const json &t = ctx.array(b["torus"], join(path, "torus"));
    if (t.size() != 2)
      ctx.fail(join(path, "torus"), "expected the major and the minor radius");
    source = "torus";
    return must(make_torus(positive(t[0], join(path, "torus/0"), ctx),
                           positive(t[1], join(path, "torus/1"), ctx)),
                path, ctx);
  }
  if (b.contains("sheet")) {
    const json &t = ctx.array(b["sheet"], join(path, "sheet"));
    if (t.size() != 2)
      ctx.fail(join(path, "sheet"), "expected two sizes");
    source = "sheet";
    return must(make_sheet(positive(t[0], join(path, "sheet/0"), ctx),
                           positive(t[1], join(path, "sheet/1"), ctx)),
                path, ctx);
  }
  ctx.fail(path, "a body needs one of \"step\", \"brep\", \"block\", \"cylinder\", \"cone\", "
                 "\"sphere\", \"torus\", \"sheet\"");
}

Frame placement(const json &b, const std::string &path, LoadContext &ctx) {
  Frame f;
  if (b.contains("at"))
    f.origin = vec3(b["at"], join(path, "at"), ctx);
  if (b.contains("x") || b.contains("y")) {
    Vec3 x = b.contains("x") ? vec3(b["x"], join(path, "x"), ctx) : Vec3{1, 0, 0};
    Vec3 y = b.contains("y") ? vec3(b["y"], join(path, "y"), ctx) : Vec3{0, 1, 0};
    if (norm(x) < 1e-12 || norm(cross(x, y)) < 1e-9 * norm(x) * norm(y))
      ctx.fail(path, "the axes \"x\" and \"y\" must be non-zero and not parallel");
    Vec3 ux = unit(x);
    Vec3 uy = unit(y - dot(y, ux) * ux);
    f.axes.row = {ux, uy, cross(ux, uy)};
  }
  return f;
}

} // namespace

void load_bodies(const json &value, const std::string &path, LoadContext &ctx) {
  const json &bodies = ctx.array(value, path);
  for (std::size_t i = 0; i < bodies.size(); ++i) {
    const std::string where = path + "/" + std::to_string(i);
    const json &b = ctx.object(bodies[i], where);
    ctx.only_keys(b, where,
                  {"step", "brep", "block", "cylinder", "cone", "sphere", "torus", "sheet", "dome",
                   "fillet", "fillet_vertical", "chamfer", "at", "x", "y", "layer", "blanked",
                   "color", "name"});
    BodyOptions options;
    Shape shape = base_shape(b, where, ctx, options.source);
    if (b.contains("fillet_vertical"))
      shape = must(fillet_vertical(
                       shape, positive(b["fillet_vertical"], join(where, "fillet_vertical"), ctx)),
                   join(where, "fillet_vertical"), ctx);
    if (b.contains("fillet"))
      shape = must(fillet_all(shape, positive(b["fillet"], join(where, "fillet"), ctx)),
                   join(where, "fillet"), ctx);
    if (b.contains("chamfer"))
      shape = must(chamfer_all(shape, positive(b["chamfer"], join(where, "chamfer"), ctx)),
                   join(where, "chamfer"), ctx);
    if (b.contains("at") || b.contains("x") || b.contains("y"))
      shape = shape.placed(placement(b, where, ctx));
    if (b.contains("layer")) {
      options.layer = ctx.integer(b["layer"], join(where, "layer"));
      if (!Layers::valid(options.layer))
        ctx.fail(join(where, "layer"), "a layer is 1 to 256");
    }
    if (b.contains("blanked"))
      options.blanked = ctx.boolean(b["blanked"], join(where, "blanked"));
    if (b.contains("color"))
      options.color = ctx.integer(b["color"], join(where, "color"));
    if (b.contains("name"))
      options.name = ctx.string(b["name"], join(where, "name"));
    add_body(ctx.session(), std::move(shape), options);
  }
}

void load_layers(const json &value, const std::string &path, LoadContext &ctx) {
  const json &l = ctx.object(value, path);
  ctx.only_keys(l, path, {"work", "visible_only", "invisible"});
  Layers &layers = ctx.session().component<Layers>();
  if (l.contains("work") && !layers.set(ctx.integer(l["work"], join(path, "work")), kWorkLayer))
    ctx.fail(join(path, "work"), "a layer is 1 to 256");
  for (auto [key, status] :
       {std::pair{"visible_only", kVisibleOnly}, std::pair{"invisible", kInvisible}}) {
    if (!l.contains(key))
      continue;
    const json &list = ctx.array(l[key], join(path, key));
    for (std::size_t i = 0; i < list.size(); ++i) {
      const std::string where = join(path, key) + "/" + std::to_string(i);
      if (!layers.set(ctx.integer(list[i], where), status))
        ctx.fail(where, "not a layer (1 to 256) other than the work layer");
    }
  }
}

} // namespace sim::geo
