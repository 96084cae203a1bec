// build.cpp: primitives, booleans, the hole plate and the native format on
// the kernel.
#include "geometry/build.h"

#include "geometry/kernel_call.h"
#include "geometry/shape_impl.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAlgoAPI_Common.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepFilletAPI_MakeChamfer.hxx>
#include <BRepFilletAPI_MakeFillet.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCone.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <BRepPrimAPI_MakeSphere.hxx>
#include <BRepPrimAPI_MakeTorus.hxx>
#include <BRepTools.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <Standard_Failure.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Vertex.hxx>
#include <gp_Ax2.hxx>
#include <gp_Circ.hxx>
#include <gp_Pln.hxx>

#include <cmath>
#include <fstream>

namespace sim::geo {

Result<Shape> make_block(Vec3 size) {
  return guarded("block", [&] { return BRepPrimAPI_MakeBox(size.x, size.y, size.z).Shape(); });
}

Result<Shape> make_cylinder(double r, double h) {
  // the seam at -X keeps it away from the axes the tests look along
  return guarded("cylinder", [&] {
    return BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(0, 0, 0), gp_Dir(0, 0, 1), gp_Dir(-1, 0, 0)), r,
                                    h)
        .Shape();
  });
}

Result<Shape> make_cone(double r1, double r2, double h) {
  return guarded("cone", [&] {
    return BRepPrimAPI_MakeCone(gp_Ax2(gp_Pnt(0, 0, 0), gp_Dir(0, 0, 1), gp_Dir(-1, 0, 0)), r1, r2,
                                h)
        .Shape();
  });
}

Result<Shape> make_sphere(double r) {
  return guarded("sphere", [&] { return BRepPrimAPI_MakeSphere(gp_Pnt(0, 0, 0), r).Shape(); });
}

Result<Shape> make_torus(double major, double minor) {
  return guarded("torus", [&] { return BRepPrimAPI_MakeTorus(major, minor).Shape(); });
}

Result<Shape> make_domed_block(Vec3 size, double rise) {
  return guarded("domed block", [&] {
    double d2 = size.x * size.x / 4 + size.y * size.y / 4;
    double a = (d2 - rise * rise) / (2 * rise); // centre below the top corners
    double radius = a + rise;
    gp_Pnt centre(size.x / 2, size.y / 2, size.z - a);
    // axis along Y so that the poles fall outside the block
    TopoDS_Shape ball =
        BRepPrimAPI_MakeSphere(gp_Ax2(centre, gp_Dir(0, 1, 0), gp_Dir(1, 0, 0)), radius).Shape();
    TopoDS_Shape block = BRepPrimAPI_MakeBox(size.x, size.y, size.z + rise).Shape();
    BRepAlgoAPI_Common common(block, ball);
    if (!common.IsDone())
      throw Standard_Failure("common failed");
    return common.Shape();
  });
}

Result<Shape> make_sheet(double x, double y) {
  return guarded("sheet", [&] {
    return BRepBuilderAPI_MakeFace(gp_Pln(gp_Pnt(0, 0, 0), gp_Dir(0, 0, 1)), 0, x, 0, y).Shape();
  });
}

Result<Shape> fillet_all(const Shape &s, double radius) {
  return guarded("fillet", [&] {
    BRepFilletAPI_MakeFillet mk(s.impl().shape);
    TopTools_IndexedMapOfShape edges;
    TopExp::MapShapes(s.impl().shape, TopAbs_EDGE, edges);
    for (int i = 1; i <= edges.Extent(); ++i)
      mk.Add(radius, TopoDS::Edge(edges(i)));
    mk.Build();
    if (!mk.IsDone())
      throw Standard_Failure("fillet failed");
    return mk.Shape();
  });
}

Result<Shape> chamfer_all(const Shape &s, double distance) {
  return guarded("chamfer", [&] {
    BRepFilletAPI_MakeChamfer mk(s.impl().shape);
    TopTools_IndexedMapOfShape edges;
    TopExp::MapShapes(s.impl().shape, TopAbs_EDGE, edges);
    for (int i = 1; i <= edges.Extent(); ++i)
      mk.Add(distance, TopoDS::Edge(edges(i)));
    mk.Build();
    if (!mk.IsDone())
      throw Standard_Failure("chamfer failed");
    return mk.Shape();
  });
}

Result<Shape> fillet_vertical(const Shape &s, double radius) {
  return guarded("fillet", [&] {
    BRepFilletAPI_MakeFillet mk(s.impl().shape);
    TopTools_IndexedMapOfShape edges;
    TopExp::MapShapes(s.impl().shape, TopAbs_EDGE, edges);
    int added = 0;
    for (int i = 1; i <= edges.Extent(); ++i) {
      const TopoDS_Edge &e = TopoDS::Edge(edges(i));
      BRepAdaptor_Curve c(e);
      if (c.GetType() != GeomAbs_Line || !c.Line().Direction().IsParallel(gp::DZ(), 1e-9))
        continue;
      mk.Add(radius, e);
      ++added;
    }
    if (added == 0)
      return s.impl().shape;
    mk.Build();
    if (!mk.IsDone())
      throw Standard_Failure("fillet failed");
    return mk.Shape();
  });
}

Result<Shape> boolean(BooleanOp op, const Shape &a, const Shape &b) {
  return guarded("boolean", [&]() -> TopoDS_Shape {
    const TopoDS_Shape &x = a.impl().shape, &y = b.impl().shape;
    switch (op) {
    case BooleanOp::Fuse: {
      BRepAlgoAPI_Fuse f(x, y);
      if (!f.IsDone())
        throw Standard_Failure("fuse failed");
      return f.Shape();
    }
    case BooleanOp::Cut: {
      BRepAlgoAPI_Cut f(x, y);
      if (!f.IsDone())
        throw Standard_Failure("cut failed");
      return f.Shape();
    }
    case BooleanOp::Common:
    default: {
      BRepAlgoAPI_Common f(x, y);
      if (!f.IsDone())
        throw Standard_Failure("common failed");
      return f.Shape();
    }
    }
  });
}

Result<Shape> make_hole_plate(int n, double pitch, double r, double t) {
  return guarded("hole plate", [&] {
    double side = n * pitch;
    gp_Pln plane(gp_Pnt(0, 0, 0), gp_Dir(0, 0, 1));
    BRepBuilderAPI_MakeFace face(plane, 0, side, 0, side);
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        gp_Circ c(gp_Ax2(gp_Pnt((i + 0.5) * pitch, (j + 0.5) * pitch, 0), gp_Dir(0, 0, 1),
                         gp_Dir(-1, 0, 0)),
                  r);
        TopoDS_Wire w = BRepBuilderAPI_MakeWire(BRepBuilderAPI_MakeEdge(c).Edge()).Wire();
        face.Add(TopoDS::Wire(w.Reversed()));
      }
    }
    return BRepPrimAPI_MakePrism(face.Face(), gp_Vec(0, 0, t)).Shape();
  });
}

Result<Shape> read_brep(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return Result<Shape>::failure("cannot open " + path);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return Shape::from_brep(text);
}

Result<void> write_brep(const Shape &s, const std::string &path) {
  std::ofstream out(path, std::ios::binary);
  out << s.to_brep();
  if (!out)
    return Result<void>::failure("cannot write " + path);
  return {};
}

Shape located(const Shape &s, const Frame &frame) {
  if (s.is_null())
    return s;
  return Shape(
      std::make_shared<Shape::Impl>(s.impl().shape.Moved(TopLoc_Location(placement(frame)))));
}

Shape compound_of(const std::vector<Shape> &shapes) {
  return Shape(std::make_shared<Shape::Impl>(kernel_compound(shapes)));
}

Box kernel_exact_box(const Shape &s) { return exact_box(s.impl().shape); }

Box kernel_exact_box_in(const Shape &s, const Mat3 &axes) {
  return exact_box(s.impl().shape.Moved(TopLoc_Location(into_frame(axes))));
}

double kernel_edge_loop(const Shape &s) {
  double sum = 0;
  for (const TopoDS_Edge &e : s.impl().edges) {
    BRepAdaptor_Curve c(e);
    sum += static_cast<int>(c.GetType());
    TopoDS_Vertex v1, v2;
    TopExp::Vertices(e, v1, v2, Standard_True);
    if (!v1.IsNull() && !v1.IsSame(v2))
      sum += BRep_Tool::Pnt(v1).X() + BRep_Tool::Pnt(v2).X();
  }
  return sum;
}

double kernel_edge_boxes(const Shape &s) {
  double sum = 0;
  for (const TopoDS_Edge &e : s.impl().edges) {
    const Box box = exact_box(e);
    sum += box.max.x - box.min.x;
  }
  return sum;
}

} // namespace sim::geo
