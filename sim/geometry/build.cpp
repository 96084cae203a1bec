// build.cpp: primitives, booleans, the hole plate and STEP files on the
// kernel.
#include "geometry/build.h"

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
#include <IFSelect_ReturnStatus.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_Printer.hxx>
#include <Interface_Check.hxx>
#include <Interface_CheckIterator.hxx>
#include <Interface_EntityIterator.hxx>
#include <Interface_Graph.hxx>
#include <Interface_Protocol.hxx>
#include <IFSelect_WorkLibrary.hxx>
#include <Interface_InterfaceModel.hxx>
#include <STEPControl_Reader.hxx>
#include <XSControl_WorkSession.hxx>
#include <STEPControl_Writer.hxx>
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
#include <vector>

namespace sim::geo {

namespace {

Shape wrap(const TopoDS_Shape &s) { return Shape(std::make_shared<Shape::Impl>(s)); }

// Runs a kernel construction, turning its exceptions and failures into a
// Result with the operation's name.
template <class F> Result<Shape> guarded(const char *what, F &&make) {
  try {
    TopoDS_Shape s = make();
    if (s.IsNull())
      return Result<Shape>::failure(std::string(what) + ": the kernel made no shape");
    return wrap(s);
  } catch (const Standard_Failure &f) {
    return Result<Shape>::failure(std::string(what) + ": " + f.GetMessageString());
  }
}

// The kernel's data exchange prints statistics; keep them off the output.
void quiet_kernel() {
  const auto &printers = Message::DefaultMessenger()->Printers();
  for (auto it = printers.cbegin(); it != printers.cend(); ++it)
    (*it)->SetTraceLevel(Message_Fail);
}

/// The label of model entity number (1-based), as the file writes it.
std::string entity_label(const Handle(Interface_InterfaceModel) &model, Standard_Integer number) {
  const Handle(TCollection_HAsciiString) label = model->StringLabel(model->Value(number));
  return label.IsNull() ? "#?" : label->ToCString();
}

/// The first fault the file reader recorded in model, as "entity #N: what",
/// or "".
std::string first_load_fault(const Handle(Interface_InterfaceModel) &model) {
  const auto fault_of = [](const Handle(Interface_Check) &check) -> std::string {
    if (check.IsNull() || !check->HasFailed())
      return {};
    const Handle(TCollection_HAsciiString) message = check->Fail(1, Standard_True);
    return message.IsNull() ? "damaged" : message->ToCString();
  };
  if (std::string what = fault_of(model->GlobalCheck(Standard_True)); !what.empty())
    return "the file: " + what;
  for (Standard_Integer number = 1; number <= model->NbEntities(); ++number) {
    std::string what = fault_of(model->Check(number, Standard_True));
    if (what.empty() && model->IsErrorEntity(number))
      what = "damaged";
    if (!what.empty())
      return "entity " + entity_label(model, number) + ": " + what;
  }
  return {};
}

/// "entity #N refers back to itself" when the model's references go round
/// in a circle (the kernel's checks and its translator follow them until
/// the stack runs out), else "".  Walks every reference once.
std::string first_reference_cycle(const Handle(Interface_InterfaceModel) &model,
                                  const Handle(Interface_Protocol) &protocol) {
  const Interface_Graph graph(model, protocol, Standard_False);
  const Standard_Integer count = model->NbEntities();
  enum : unsigned char { kUnseen, kOnPath, kDone };
  std::vector<unsigned char> state(static_cast<std::size_t>(count) + 1, kUnseen);
  struct Step {
    Standard_Integer number;
    Interface_EntityIterator shared;
  };
  std::vector<Step> path;
  const auto enter = [&](Standard_Integer number) {
    state[static_cast<std::size_t>(number)] = kOnPath;
    path.push_back({number, graph.Shareds(model->Value(number))});
    path.back().shared.Start();
  };
  for (Standard_Integer root = 1; root <= count; ++root) {
    if (state[static_cast<std::size_t>(root)] != kUnseen)
      continue;
    enter(root);
    while (!path.empty()) {
      Step &top = path.back();
      if (!top.shared.More()) {
        state[static_cast<std::size_t>(top.number)] = kDone;
        path.pop_back();
        continue;
      }
      const Standard_Integer next = model->Number(top.shared.Value());
      top.shared.Next();
      if (next < 1 || next > count)
        continue;
      if (state[static_cast<std::size_t>(next)] == kOnPath)
        return "entity " + entity_label(model, next) + " refers back to itself";
      if (state[static_cast<std::size_t>(next)] == kUnseen)
        enter(next);
    }
  }
  return {};
}

/// Reads path into the reader's session.  The file is read bare first and
/// refused, with its first fault, when the reader could not make an entity
/// sound (cut short, a parameter of the wrong kind: the kernel would later
/// follow the null reference left) or when references go round in a
/// circle; only a sound model is handed to the session, whose own checks
/// trust every reference.
void read_step_model(STEPControl_Reader &reader, const std::string &path) {
  const Handle(XSControl_WorkSession) &session = reader.WS();
  Handle(Interface_InterfaceModel) model;
  if (session->WorkLibrary().IsNull() ||
      session->WorkLibrary()->ReadFile(path.c_str(), model, session->Protocol()) != 0 ||
      model.IsNull())
    throw Standard_Failure(("cannot read " + path).c_str());
  std::string fault = first_load_fault(model);
  if (fault.empty())
    fault = first_reference_cycle(model, session->Protocol());
  if (!fault.empty())
    throw Standard_Failure((path + ": " + fault).c_str());
  session->SetModel(model);
  session->SetLoadedFile(path.c_str());
}

} // namespace

Result<Shape> make_block(Vec3 size) {
  return guarded("block", [&] { return BRepPrimAPI_MakeBox(size.x, size.y, size.z).Shape(); });
}

Result<Shape> make_cylinder(double r, double h) {
  // the seam at -X keeps it away from the axes the tests look along
  return guarded("cylinder", [&] {
    return BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(0, 0, 0), gp_Dir(0, 0, 1), gp_Dir(-1, 0, 0)), r, h)
        .Shape();
  });
}

Result<Shape> make_cone(double r1, double r2, double h) {
  return guarded("cone", [&] {
    return BRepPrimAPI_MakeCone(gp_Ax2(gp_Pnt(0, 0, 0), gp_Dir(0, 0, 1), gp_Dir(-1, 0, 0)), r1, r2, h)
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

Result<Shape> read_step(const std::string &path) {
  return guarded("STEP", [&] {
    quiet_kernel();
    STEPControl_Reader reader;
    read_step_model(reader, path);
    reader.TransferRoots();
    return reader.OneShape();
  });
}

Result<bool> write_step(const Shape &s, const std::string &path) {
  try {
    quiet_kernel();
    STEPControl_Writer writer;
    if (writer.Transfer(s.impl().shape, STEPControl_AsIs) != IFSelect_RetDone ||
        writer.Write(path.c_str()) != IFSelect_RetDone)
      return Result<bool>::failure("cannot write " + path);
    return true;
  } catch (const Standard_Failure &f) {
    return Result<bool>::failure(std::string("STEP: ") + f.GetMessageString());
  }
}

Result<Shape> read_brep(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return Result<Shape>::failure("cannot open " + path);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return Shape::from_brep(text);
}

Result<bool> write_brep(const Shape &s, const std::string &path) {
  std::ofstream out(path, std::ios::binary);
  out << s.to_brep();
  if (!out)
    return Result<bool>::failure("cannot write " + path);
  return true;
}

Box kernel_exact_box(const Shape &s) { return exact_box(s.impl().shape); }

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
