// hidden_lines.cpp: hidden-line removal on the kernel.
#include "geometry/hidden_lines.h"

#include "geometry/kernel_call.h"
#include "geometry/sampled_lines.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepBuilderAPI_Copy.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <HLRAlgo_Projector.hxx>
#include <IntCurvesFace_ShapeIntersector.hxx>
#include <gp_Lin.hxx>
#include <HLRBRep_Algo.hxx>
#include <HLRBRep_HLRToShape.hxx>
#include <HLRBRep_PolyAlgo.hxx>
#include <HLRBRep_PolyHLRToShape.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <Precision.hxx>
#include <gp_Ax2.hxx>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>
#include <thread>

namespace sim::geo {
namespace {

/// A view whose lines could not be computed, and why.
Result<ViewLines> failed(const char *why) {
  return Result<ViewLines>::failure(std::string("hidden lines: ") + why);
}

/// Angular deflection of curve discretisation and of the mesh, radians.
constexpr double kAngularDeflection = 0.2;
constexpr double kMeshAngle = 0.5;

bool along_model_axis(const Vec3 &out) {
  const double a[3] = {std::fabs(out.x), std::fabs(out.y), std::fabs(out.z)};
  return std::count_if(a, a + 3, [](double c) { return c > 1 - 1e-12; }) == 1;
}

/// Appends the edges of compound as polylines of one kind and visibility,
/// joining a piece to the one before when it starts where that one ends
/// (the polygonal method gives one edge per segment).
void add_lines(const TopoDS_Shape &compound, ViewLineKind kind, bool visible, double tolerance,
               std::vector<ViewLine> &out) {
  if (compound.IsNull())
    return;
  const std::size_t first_of_these = out.size();
  for (TopExp_Explorer it(compound, TopAbs_EDGE); it.More(); it.Next()) {
    const TopoDS_Edge &edge = TopoDS::Edge(it.Current());
    BRepAdaptor_Curve curve(edge);
    std::vector<std::array<double, 2>> points;
    if (curve.GetType() == GeomAbs_Line) {
      const gp_Pnt a = curve.Value(curve.FirstParameter()), b = curve.Value(curve.LastParameter());
      points = {{a.X(), a.Y()}, {b.X(), b.Y()}};
    } else {
      GCPnts_TangentialDeflection sampled(curve, kAngularDeflection, tolerance);
      for (int i = 1; i <= sampled.NbPoints(); ++i) {
        const gp_Pnt p = sampled.Value(i);
        points.push_back({p.X(), p.Y()});
      }
    }
    if (edge.Orientation() == TopAbs_REVERSED)
      std::reverse(points.begin(), points.end());
    if (points.size() < 2)
      continue;
    if (out.size() > first_of_these) {
      std::vector<std::array<double, 2>> &last = out.back().points;
      const auto &end = last.back();
      if (std::hypot(end[0] - points.front()[0], end[1] - points.front()[1]) < 1e-9) {
        last.insert(last.end(), points.begin() + 1, points.end());
        continue;
      }
    }
    out.push_back({kind, visible, std::move(points)});
  }
}

template <class Extract> void add_all(Extract &h, double tolerance, std::vector<ViewLine> &out) {
  add_lines(h.VCompound(), ViewLineKind::Sharp, true, tolerance, out);
  add_lines(h.Rg1LineVCompound(), ViewLineKind::Smooth, true, tolerance, out);
  add_lines(h.OutLineVCompound(), ViewLineKind::Outline, true, tolerance, out);
  add_lines(h.HCompound(), ViewLineKind::Sharp, false, tolerance, out);
  add_lines(h.Rg1LineHCompound(), ViewLineKind::Smooth, false, tolerance, out);
  add_lines(h.OutLineHCompound(), ViewLineKind::Outline, false, tolerance, out);
}

/// Runs the method's algorithm on shape seen along axes and hands its
/// extractor, which gives the six line sets, to use.
template <class Use>
void run_kernel(const TopoDS_Shape &shape, const Mat3 &axes, double tolerance,
                HiddenLineMethod method, Use use) {
  const Vec3 out = axes.row[2], right = axes.row[0];
  const HLRAlgo_Projector projector(
      gp_Ax2(gp_Pnt(0, 0, 0), gp_Dir(out.x, out.y, out.z), gp_Dir(right.x, right.y, right.z)));
  if (method == HiddenLineMethod::Exact) {
    Handle(HLRBRep_Algo) algo = new HLRBRep_Algo();
    algo->Add(shape);
    algo->Projector(projector);
    algo->Update();
    algo->Hide();
    HLRBRep_HLRToShape extract(algo);
    use(extract);
    return;
  }
  // The mesh goes onto a copy: the bodies themselves stay as they were.
  BRepBuilderAPI_Copy copy(shape, true, false);
  const TopoDS_Shape meshed = copy.Shape();
  BRepMesh_IncrementalMesh mesh(meshed, tolerance, false, kMeshAngle, true);
  Handle(HLRBRep_PolyAlgo) algo = new HLRBRep_PolyAlgo();
  algo->Load(meshed);
  algo->Projector(projector);
  algo->Update();
  HLRBRep_PolyHLRToShape extract;
  extract.Update(algo);
  use(extract);
}

} // namespace

HiddenLineMethod hidden_line_method(const Mat3 &axes, int edge_count) {
  if (edge_count > kHiddenLineEdgeLimit)
    return HiddenLineMethod::Sampled;
  return along_model_axis(axes.row[2]) ? HiddenLineMethod::Exact : HiddenLineMethod::Polygonal;
}

Result<ViewLines> view_lines(const std::vector<Shape> &bodies, const Mat3 &axes, double tolerance,
                             HiddenLineMethod method) {
  ViewLines result;
  result.method = method;
  if (bodies.empty())
    return result;
  if (!(tolerance > 0))
    return failed("the tolerance must be positive");
  try {
    if (method == HiddenLineMethod::Sampled)
      return sampled_view_lines(bodies, axes, tolerance);
    run_kernel(kernel_compound(bodies), axes, tolerance, method,
               [&](auto &extract) { add_all(extract, tolerance, result.lines); });
  } catch (const Standard_Failure &f) {
    return failed(f.GetMessageString());
  }
  return result;
}

std::vector<Result<ViewLines>> view_lines(const std::vector<Shape> &bodies,
                                          const std::vector<ViewRequest> &views) {
  std::vector<std::optional<Result<ViewLines>>> done(views.size());
  // The threads must find the curved faces' data made (their outlines ask
  // it, and their boxes take the faces' parameter bounds from it): it is
  // otherwise filled on first use.
  const bool any_sampled = std::any_of(views.begin(), views.end(), [](const ViewRequest &view) {
    return view.method == HiddenLineMethod::Sampled;
  });
  bool ready = true;
  for (const Shape &body : bodies)
    ready = (!any_sampled || body.is_null() || prepare_curved_faces(body.impl())) && ready;
  // The sampled views, each with what it shares with the views of the
  // same tolerance.
  std::vector<std::unique_ptr<SampledBodies>> shared;
  std::vector<std::pair<std::size_t, const SampledBodies *>> sampled;
  for (std::size_t i = 0; i < views.size(); ++i) {
    const ViewRequest &view = views[i];
    if (view.method != HiddenLineMethod::Sampled || bodies.empty() || !(view.tolerance > 0)) {
      done[i].emplace(view_lines(bodies, view.axes, view.tolerance, view.method));
      continue;
    }
    const auto same = std::find_if(shared.begin(), shared.end(), [&](const auto &model) {
      return model->tolerance() == view.tolerance;
    });
    if (same != shared.end()) {
      sampled.emplace_back(i, same->get());
      continue;
    }
    try {
      shared.push_back(std::make_unique<SampledBodies>(bodies, view.tolerance));
      sampled.emplace_back(i, shared.back().get());
    } catch (const Standard_Failure &f) {
      done[i].emplace(failed(f.GetMessageString()));
    }
  }
  // Pictorial views, the longest, go first.
  std::stable_partition(sampled.begin(), sampled.end(), [&](const auto &view) {
    return !along_model_axis(views[view.first].axes.row[2]);
  });
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t threads = std::min(sampled.size(), ready ? cores : 1);
  std::atomic<std::size_t> next = 0;
  const auto work = [&] {
    for (std::size_t k; (k = next++) < sampled.size();) {
      const auto [index, model] = sampled[k];
      try {
        done[index].emplace(sampled_view_lines(*model, views[index].axes));
      } catch (const Standard_Failure &f) {
        done[index].emplace(failed(f.GetMessageString()));
      } catch (const std::exception &e) {
        done[index].emplace(failed(e.what()));
      }
    }
  };
  {
    std::vector<std::jthread> pool;
    for (std::size_t t = 1; t < threads; ++t)
      pool.emplace_back(work);
    work();
  }
  std::vector<Result<ViewLines>> out;
  out.reserve(views.size());
  for (std::optional<Result<ViewLines>> &slot : done)
    out.push_back(std::move(*slot));
  return out;
}

int kernel_hidden_lines(const Shape &body, const Mat3 &axes, double tolerance,
                        HiddenLineMethod method) {
  int count = 0;
  run_kernel(body.impl().shape, axes, tolerance, method, [&](auto &extract) {
    for (const TopoDS_Shape &set :
         {extract.VCompound(), extract.Rg1LineVCompound(), extract.OutLineVCompound(),
          extract.HCompound(), extract.Rg1LineHCompound(), extract.OutLineHCompound()})
      for (TopExp_Explorer it(set, TopAbs_EDGE); !set.IsNull() && it.More(); it.Next())
        ++count;
  });
  return count;
}

struct PointOcclusion::Faces {
  IntCurvesFace_ShapeIntersector intersector;
};

PointOcclusion::PointOcclusion(const std::vector<Shape> &bodies) {
  for (const Shape &body : bodies)
    if (!body.is_null()) {
      faces_.push_back(std::make_unique<Faces>());
      faces_.back()->intersector.Load(body.impl().shape, Precision::Confusion());
    }
}

PointOcclusion::~PointOcclusion() = default;

bool PointOcclusion::hidden(Vec3 p, Vec3 toward_eye) const {
  // Faces through p itself (it lies on an edge) are not in front of it.
  constexpr double kLeaveTheEdge = 1e-3;
  const gp_Lin ray(gp_Pnt(p.x, p.y, p.z), gp_Dir(toward_eye.x, toward_eye.y, toward_eye.z));
  for (const auto &faces : faces_) {
    faces->intersector.Perform(ray, kLeaveTheEdge, 1e9);
    if (faces->intersector.IsDone() && faces->intersector.NbPnt() > 0)
      return true;
  }
  return false;
}

} // namespace sim::geo
