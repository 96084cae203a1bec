// The sheet as a person sees it, of the demo and of the demo with a part of a
// cylinder boss, a through hole and fillets for its workpiece: pages/sheet.pdf
// turned into pixels by pdftoppm and measured.  Every edge of the workpiece,
// and the outline of every curved face, is sampled along its length and told
// visible or hidden by a ray test of its own (not the hidden-line removal that
// drew the page); a visible point of a view must be inked black on the page
// and lie inside the view's rectangle of the definition file, a hidden one
// must not be inked unless a visible line runs within a hair of it, and none
// may run through a dimension's value.
#include "runner.h"
#include "session_fixture.h"
#include "system_modules.h"
#include "test_shapes.h"

#include "geometry/build.h"
#include "geometry/hidden_lines.h"
#include "render/view_strokes.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using sim::testing::slurp;

constexpr int kPixelsPerMm = 10;

/// A page in colour, one byte a channel.
struct Raster {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;

  [[nodiscard]] bool black(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
      return false;
    const unsigned char *p = &rgb[3 * (static_cast<std::size_t>(y) * width + x)];
    return p[0] < 110 && p[1] < 110 && p[2] < 110;
  }
  /// A black pixel within radius pixels of drawing point (x, y) mm.
  [[nodiscard]] bool black_near(double x_mm, double y_mm, double page_height, int radius) const {
    const int cx = static_cast<int>(std::lround(x_mm * kPixelsPerMm));
    const int cy = static_cast<int>(std::lround((page_height - y_mm) * kPixelsPerMm));
    for (int dy = -radius; dy <= radius; ++dy)
      for (int dx = -radius; dx <= radius; ++dx)
        if (dx * dx + dy * dy <= radius * radius && black(cx + dx, cy + dy))
          return true;
    return false;
  }
};

Raster rasterise(const fs::path &pdf, int page, const fs::path &dir) {
  const fs::path stem = dir / ("page" + std::to_string(page));
  const std::string command = "pdftoppm -r " + std::to_string(kPixelsPerMm * 254 / 10) + " -f " +
                              std::to_string(page) + " -l " + std::to_string(page) +
                              " -singlefile '" + pdf.string() + "' '" + stem.string() + "'";
  Raster raster;
  if (std::system(command.c_str()) != 0)
    return raster;
  std::istringstream in(slurp(stem.string() + ".ppm"));
  std::string magic;
  int max = 0;
  in >> magic >> raster.width >> raster.height >> max;
  in.get();
  raster.rgb.resize(3 * static_cast<std::size_t>(raster.width) * raster.height);
  in.read(reinterpret_cast<char *>(raster.rgb.data()),
          static_cast<std::streamsize>(raster.rgb.size()));
  if (magic != "P6" || max != 255 || !in)
    raster = {};
  return raster;
}

sim::geo::Vec3 vec(const nlohmann::json &a) { return {a[0], a[1], a[2]}; }

/// A number of the shipped definition file.
double definition(const std::string &key) {
  const std::string text =
      slurp(fs::path(NCSHEET_SOURCE_DIR) / "data" / "kv_conf" / "config_prog_sheet_mr.def");
  const std::size_t at = text.find("\n" + key + ":");
  return at == std::string::npos ? 0 : std::atof(text.c_str() + at + key.size() + 2);
}

/// The rectangle the definition file gives a view: x from, x to, y from, y to.
std::array<double, 4> view_rectangle(const std::string &which) {
  const std::string stem = "nc_prog_elec_" + which + "_view_";
  const double w = definition(stem + "bound_x"), h = definition(stem + "bound_y");
  const double x = definition(stem + "point_x"), y = definition(stem + "point_y");
  return {x - w / 2, x + w / 2, y - h / 2, y + h / 2};
}

/// The workpiece the sheet is made of: the demo's own, or a part with a
/// cylinder boss, a through hole and fillets put in its place.
enum class Workpiece { Demo, BossHoleBlock };

const char *name_of(Workpiece workpiece) {
  return workpiece == Workpiece::Demo ? "demo" : "boss_hole_block";
}

/// The demo's scenario run once per workpiece; each test measures its
/// outputs.
class Sheet : public ::testing::TestWithParam<Workpiece> {
protected:
  struct Run {
    fs::path out, step;
  };
  /// The suite's temporary folder, and its runs by workpiece.
  inline static fs::path folder_;
  inline static std::map<Workpiece, Run> runs_;
  static void TearDownTestSuite() {
    std::error_code ec;
    if (!folder_.empty())
      fs::remove_all(folder_, ec);
    folder_.clear();
    runs_.clear();
  }
  const Run &run() {
    const Workpiece workpiece = GetParam();
    if (const auto found = runs_.find(workpiece); found != runs_.end())
      return found->second;
    if (folder_.empty())
      folder_ = sim::testing::make_temp_dir("ncsheet-sheet-raster");
    const fs::path source(NCSHEET_SOURCE_DIR);
    const fs::path folder = folder_ / name_of(workpiece);
    fs::create_directories(folder);
    Run made{folder / "out", source / "examples" / "demo" / "workpiece.step"};
    nlohmann::json scenario =
        nlohmann::json::parse(slurp(source / "examples" / "demo" / "scenario.json"));
    scenario["base"] = source.string();
    if (workpiece == Workpiece::BossHoleBlock) {
      made.step = folder / "boss_hole_block.step";
      EXPECT_TRUE(sim::geo::write_step(sim::testing::boss_hole_block(), made.step.string()).ok());
      scenario["part"]["bodies"][0]["step"] = made.step.string();
    }
    std::ofstream(folder / "scenario.json") << scenario.dump(2);
    ncsheet::RunOptions options;
    options.scenario = folder / "scenario.json";
    options.out = made.out;
    std::ostringstream out, err;
    EXPECT_EQ(sim::testing::run_system(options, out, err), ncsheet::kExitCompleted) << err.str();
    return runs_.emplace(workpiece, made).first->second;
  }
  fs::path pdf() { return run().out / "pages" / "sheet.pdf"; }
  nlohmann::json part() { return nlohmann::json::parse(slurp(run().out / "part.json")); }
};

TEST_P(Sheet, ViewsShowWhatIsInFrontAndNothingBehindIt) {
  const Raster page = rasterise(pdf(), 1, run().out);
  ASSERT_GT(page.width, 0) << "pdftoppm made no page";
  const double page_height = 297;
  auto body = sim::geo::read_step(run().step.string());
  ASSERT_TRUE(body.ok());
  const sim::geo::PointOcclusion occlusion({*body});
  const nlohmann::json dump = part();
  ASSERT_TRUE(dump.contains("objects")) << dump.dump().substr(0, 200);
  int views = 0, hidden_in_all = 0;
  std::vector<std::array<double, 2>> inked_edges; // the visible points of every view
  for (const nlohmann::json &object : dump["objects"]) {
    if (object.value("kind", "") != "member_view")
      continue;
    ++views;
    const nlohmann::json &v = object["payload"];
    const sim::geo::Vec3 right = vec(v["axes"]["right"]), up = vec(v["axes"]["up"]),
                         out = vec(v["axes"]["out"]);
    const double scale = v["scale"], ref[2] = {v["reference_point"][0], v["reference_point"][1]};
    const double centre[2] = {v["centre_in_view"][0], v["centre_in_view"][1]};
    const auto on_sheet = [&](sim::geo::Vec3 p) {
      return std::array<double, 2>{ref[0] + scale * (dot(right, p) - centre[0]),
                                   ref[1] + scale * (dot(up, p) - centre[1])};
    };
    // Points every 0.2 mm of the sheet along every edge, each with its
    // neighbours' verdicts, so that the ends of a hidden stretch are left
    // out.
    struct Sample {
      std::array<double, 2> at;
      bool hidden;
      bool settled;
    };
    std::vector<Sample> samples;
    // An edge seen end on is a point of the page, not a line: left out.
    // Arcs are walked along their own circle: a chord runs inside the
    // material and would be hidden by the face the arc bounds.
    const auto sample_curve = [&](const sim::geo::Curve &curve) {
      std::vector<sim::geo::Vec3> points = sim::render::curve_points(curve);
      if (const auto *arc = std::get_if<sim::geo::Arc>(&curve.shape)) {
        const double length = scale * arc->radius * std::fabs(arc->t1 - arc->t0);
        const int steps = std::max(16, static_cast<int>(length / 0.2));
        points.clear();
        for (int k = 0; k <= steps; ++k)
          points.push_back(arc->at(arc->t0 + (arc->t1 - arc->t0) * k / steps));
      }
      double on_page = 0;
      for (std::size_t i = 1; i < points.size(); ++i) {
        const auto a = on_sheet(points[i - 1]), b = on_sheet(points[i]);
        on_page += std::hypot(b[0] - a[0], b[1] - a[1]);
      }
      if (on_page < 0.5)
        return;
      std::vector<Sample> along;
      for (std::size_t i = 1; i < points.size(); ++i) {
        const double length =
            scale * std::sqrt(dot(points[i] - points[i - 1], points[i] - points[i - 1]));
        const int steps = std::max(1, static_cast<int>(length / 0.2));
        for (int k = 0; k < steps; ++k) {
          const sim::geo::Vec3 p =
              points[i - 1] + (double(k) / steps) * (points[i] - points[i - 1]);
          along.push_back({on_sheet(p), occlusion.hidden(p, out), true});
        }
      }
      for (std::size_t i = 0; i < along.size(); ++i)
        for (std::size_t j = i >= 3 ? i - 3 : 0; j < std::min(along.size(), i + 4); ++j)
          along[i].settled = along[i].settled && along[j].hidden == along[i].hidden;
      samples.insert(samples.end(), along.begin(), along.end());
    };
    for (int e = 0; e < body->edge_count(); ++e)
      sample_curve(body->edge_curve(e));
    // The outlines of the curved faces, by the kernel's contour method (not
    // the hidden-line removal): the sheet turns silhouettes on.
    for (int f = 0; f < body->face_count(); ++f)
      if (body->face_type(f) != sim::geo::FaceType::Plane)
        if (auto outline = body->isoclines(f, out, 0, 0.01); outline.ok())
          for (const sim::geo::Curve &curve : *outline)
            sample_curve(curve);
    // Visible points, by 0.5 mm cell, to tell a hidden point lying under a
    // visible line.
    std::map<std::pair<int, int>, std::vector<std::array<double, 2>>> visible_cells;
    for (const Sample &s : samples)
      if (!s.hidden)
        visible_cells[{int(std::floor(s.at[0] * 2)), int(std::floor(s.at[1] * 2))}].push_back(s.at);
    const auto near_visible = [&](const std::array<double, 2> &at) {
      const int cx = int(std::floor(at[0] * 2)), cy = int(std::floor(at[1] * 2));
      for (int dx = -2; dx <= 2; ++dx)
        for (int dy = -2; dy <= 2; ++dy) {
          const auto found = visible_cells.find({cx + dx, cy + dy});
          if (found == visible_cells.end())
            continue;
          for (const auto &p : found->second)
            if (std::hypot(p[0] - at[0], p[1] - at[1]) < 0.8)
              return true;
        }
      return false;
    };
    // The pictorial view has its own rectangle; the top view and the view
    // projected from it share one.
    const std::array<double, 4> area =
        view_rectangle(out.x != 0 && out.y != 0 ? "iso" : "top_and_front");
    ASSERT_GT(area[1] - area[0], 0);
    int visible = 0, visible_missing = 0, hidden = 0, hidden_inked = 0, outside = 0;
    for (const Sample &s : samples) {
      if (!s.settled)
        continue;
      if (!s.hidden) {
        ++visible;
        visible_missing += !page.black_near(s.at[0], s.at[1], page_height, 2);
        outside += s.at[0] < area[0] || s.at[0] > area[1] || s.at[1] < area[2] || s.at[1] > area[3];
        inked_edges.push_back(s.at);
      } else if (!near_visible(s.at)) {
        ++hidden;
        hidden_inked += page.black_near(s.at[0], s.at[1], page_height, 1);
      }
    }
    SCOPED_TRACE("view " + std::to_string(object["tag"].get<int>()) + ": " +
                 std::to_string(visible) + " visible points, " + std::to_string(visible_missing) +
                 " of them not inked; " + std::to_string(hidden) + " hidden, " +
                 std::to_string(hidden_inked) + " of them inked");
    EXPECT_GT(visible, 500);
    EXPECT_LE(visible_missing, visible / 50);
    EXPECT_LE(hidden_inked, hidden / 100);
    EXPECT_EQ(outside, 0) << "visible points outside the view's rectangle of the definition file";
    hidden_in_all += hidden;
  }
  EXPECT_EQ(views, 3);
  EXPECT_GT(hidden_in_all, 500) << "the front and iso views have edges behind faces";

  // No body edge runs through a dimension's value: the boxes of the values
  // as the page sets them (start, font size, the last character's place).
  const std::string svg = slurp(run().out / "pages" / "prog_sheet1.svg");
  int values = 0;
  for (std::size_t at = 0;
       (at = svg.find("<text class=\"dim\" transform=\"translate(", at)) != std::string::npos;
       ++at) {
    double x = 0, y = 0, size = 0;
    const bool turned = svg.compare(svg.find(')', at) + 1, 12, " rotate(-90)") == 0;
    std::sscanf(svg.c_str() + at, "<text class=\"dim\" transform=\"translate(%lf %lf", &x, &y);
    std::sscanf(svg.c_str() + svg.find("font-size=\"", at), "font-size=\"%lf", &size);
    const std::size_t end = svg.find("</text>", at);
    const std::size_t last = svg.rfind("<tspan x=\"", end);
    double last_x = 0;
    std::sscanf(svg.c_str() + last, "<tspan x=\"%lf", &last_x);
    const double length = last_x + 0.6 * size, base = page_height - y;
    // Reading along x from (x, base) upwards size high, or turned to read upwards.
    const std::array<double, 4> box = turned
                                          ? std::array<double, 4>{x - size, x, base, base + length}
                                          : std::array<double, 4>{x, x + length, base, base + size};
    ++values;
    for (const auto &p : inked_edges)
      EXPECT_FALSE(p[0] > box[0] + 0.1 && p[0] < box[1] - 0.1 && p[1] > box[2] + 0.1 &&
                   p[1] < box[3] - 0.1)
          << "a body edge at (" << p[0] << ", " << p[1] << ") under the value at " << x << " "
          << base;
  }
  EXPECT_GE(values, 6) << "the top and front views carry their ordinate values";
}

// Both pages are A3 landscape, and no text of the table crosses a cell's side: beside every
// vertical sheet line, 0.4 mm to its left and right, the page is not black, except in the rows
// whose notes the runner warns of (and there it is, so the warnings are what the page shows).
TEST_P(Sheet, TableTextsStayInTheirCellsButTheWarnedOnes) {
  const nlohmann::json dump = part();
  std::map<int, int> page_of; // drawing tag -> page number
  for (const nlohmann::json &object : dump["objects"])
    if (object.value("kind", "") == "drawing")
      page_of.emplace(object["tag"].get<int>(), static_cast<int>(page_of.size()) + 1);
  ASSERT_EQ(page_of.size(), 2u);
  // The rows of the warned notes: the total-time rows.
  std::map<int, std::vector<std::pair<double, double>>> warned_rows;
  for (const nlohmann::json &object : dump["objects"])
    if (object.value("kind", "") == "note") {
      const nlohmann::json &note = object["payload"];
      if (note["lines"][0].get<std::string>().find("总时间") != std::string::npos) {
        const double y = note["origin"][1], size = note["lettering"]["size"];
        warned_rows[note["drawing"].get<int>()].push_back({y - size, y + size});
      }
    }
  for (const auto &[drawing, page_number] : page_of) {
    SCOPED_TRACE("page " + std::to_string(page_number));
    const Raster page = rasterise(pdf(), page_number, run().out);
    // A3 landscape.
    EXPECT_NEAR(page.width, 420 * kPixelsPerMm, 2);
    EXPECT_NEAR(page.height, 297 * kPixelsPerMm, 2);
    ASSERT_GT(page.width, 0);
    // The page's lines as x0, y0, x1, y1; where a horizontal one meets the
    // side, the page is black by right.
    std::vector<std::array<double, 4>> lines;
    std::vector<std::array<double, 3>> rules; // y, x from, x to
    for (const nlohmann::json &object : dump["objects"])
      if (object.value("kind", "") == "sheet_line" && object["payload"]["drawing"] == drawing) {
        const nlohmann::json &line = object["payload"];
        lines.push_back({line["start"][0], line["start"][1], line["end"][0], line["end"][1]});
        const auto &[x0, y0, x1, y1] = lines.back();
        if (y0 == y1)
          rules.push_back({y0, std::min(x0, x1), std::max(x0, x1)});
      }
    const auto meets_a_rule = [&](double x, double y) {
      for (const auto &[ry, from, to] : rules)
        if (std::fabs(ry - y) < 0.4 && x >= from - 0.5 && x <= to + 0.5)
          return true;
      return false;
    };
    int crossings = 0, in_warned_rows = 0;
    for (const auto &[x, y0, x_end, y1] : lines) {
      if (x != x_end)
        continue;
      const double low = std::min(y0, y1), high = std::max(y0, y1);
      for (double y = low + 0.5; y < high - 0.5; y += 0.1) {
        if (meets_a_rule(x, y) ||
            (!page.black_near(x - 0.4, y, 297, 0) && !page.black_near(x + 0.4, y, 297, 0)))
          continue;
        ++crossings;
        for (const auto &[from, to] : warned_rows[drawing])
          if (y >= from && y <= to) {
            ++in_warned_rows;
            break;
          }
      }
    }
    EXPECT_EQ(crossings, in_warned_rows) << "text crosses a cell side outside the warned rows";
    EXPECT_GT(in_warned_rows, 0) << "the warned total-time notes cross their cell's side";
  }
}

INSTANTIATE_TEST_SUITE_P(Workpieces, Sheet,
                         ::testing::Values(Workpiece::Demo, Workpiece::BossHoleBlock),
                         [](const auto &info) { return std::string(name_of(info.param)); });

} // namespace
