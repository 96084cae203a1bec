// step.cpp: STEP files on the kernel.  A file is read bare and checked
// before the kernel's session sees it; the translation makes edges
// same-parameter only, and the shape fixing that follows leaves out the
// kernel's checks of every pair of wires of a face, so that a file of
// 50,000 edges loads in time linear in its size, in the kernel's order.
#include "geometry/build.h"

#include "geometry/kernel_call.h"
#include "geometry/shape_impl.h"

#include <IFSelect_ReturnStatus.hxx>
#include <IFSelect_WorkLibrary.hxx>
#include <Interface_Check.hxx>
#include <Interface_EntityIterator.hxx>
#include <Interface_Graph.hxx>
#include <Interface_InterfaceModel.hxx>
#include <Interface_Protocol.hxx>
#include <Interface_Static.hxx>
#include <Precision.hxx>
#include <STEPControl_Reader.hxx>
#include <STEPControl_Writer.hxx>
#include <ShapeExtend_Status.hxx>
#include <ShapeFix_Face.hxx>
#include <ShapeFix_Shape.hxx>
#include <ShapeFix_Wire.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Wire.hxx>
#include <XSControl_WorkSession.hxx>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace sim::geo {

namespace {

/// The shape processing within a STEP translation, as a resource of the
/// kernel's shape processing: edges made same-parameter, nothing else; the
/// shape fixing runs afterwards with settings of its own (heal below).
constexpr const char *kResourceName = "NcsheetStepRead";
constexpr const char *kResourceText =
    "! Written by the simulated host: the shape processing after a STEP read.\n"
    "FromSTEP.exec.op : SameParameter\n"
    "FromSTEP.SameParameter.Force : 0\n"
    "FromSTEP.SameParameter.Tolerance3d : &Runtime.Tolerance\n";

/// Puts the resource in a folder of its own and points the kernel's
/// lookup for it there (an environment variable named for it, read when a
/// translation starts).  Once a process; false when the folder cannot be
/// written, and the kernel's default processing then stays.
bool install_read_resource() {
  static std::once_flag once;
  static bool installed = false;
  std::call_once(once, [] {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec) /
                            ("ncsheet-kernel-" + std::to_string(static_cast<long>(getuid())));
    fs::create_directories(folder, ec);
    const fs::path file = folder / kResourceName;
    const fs::path part = folder / (std::string(kResourceName) + "." + std::to_string(getpid()));
    {
      std::ofstream out(part, std::ios::binary);
      out << kResourceText;
      if (!out)
        return;
    }
    fs::rename(part, file, ec);
    if (ec)
      return;
    const std::string variable = std::string("CSF_") + kResourceName + "Defaults";
    installed = setenv(variable.c_str(), folder.c_str(), 1) == 0;
  });
  return installed;
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


/// shape after the kernel's shape fixing, as its STEP reader would run it
/// but without its checks of wire orientation and of crossing wires, which
/// compare every pair of wires of a face (minutes on a face of thousands of
/// holes); every other fix is linear and changes only what it finds wrong.
/// healed tells how many faces the fixing rebuilt ("4 faces healed"),
/// empty when none.
TopoDS_Shape heal(const TopoDS_Shape &shape, std::string &healed) {
  if (shape.IsNull())
    return shape;
  Handle(ShapeFix_Shape) fix = new ShapeFix_Shape(shape);
  fix->SetPrecision(Precision::Confusion());
  fix->SetMinTolerance(Precision::Confusion());
  fix->SetMaxTolerance(1.0);
  fix->FixFaceTool()->FixOrientationMode() = 0;
  fix->FixFaceTool()->FixIntersectingWiresMode() = 0;
  fix->FixWireTool()->FixSelfIntersectionMode() = 0;
  fix->FixFaceTool()->FixWireTool()->FixSelfIntersectionMode() = 0;
  fix->Perform();
  if (!fix->Status(ShapeExtend_DONE))
    return shape;
  TopTools_IndexedMapOfShape before;
  TopExp::MapShapes(shape, TopAbs_FACE, before);
  int rebuilt = 0;
  for (TopExp_Explorer f(fix->Shape(), TopAbs_FACE); f.More(); f.Next())
    rebuilt += before.Contains(f.Current()) ? 0 : 1;
  if (rebuilt > 0)
    healed = std::to_string(rebuilt) + (rebuilt == 1 ? " face healed" : " faces healed");
  else
    healed = "edges healed";
  return fix->Shape();
}

} // namespace

Result<Shape> read_step(const std::string &path, std::string *healed) {
  return guarded("STEP", [&] {
    quiet_kernel();
    STEPControl_Reader reader;
    // The reader's statics exist once a reader does.
    if (install_read_resource())
      Interface_Static::SetCVal("read.step.resource.name", kResourceName);
    read_step_model(reader, path);
    reader.TransferRoots();
    std::string what;
    TopoDS_Shape shape = heal(reader.OneShape(), what);
    if (healed)
      *healed = what;
    return shape;
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

} // namespace sim::geo
