// step.cpp: STEP files on the kernel.  A file is read bare and checked
// before the kernel's session sees it; the translation makes edges
// same-parameter only, and the shape fixing that follows leaves out the
// kernel's checks of every pair of wires of a face, so that a file of
// 50,000 edges loads in time linear in its size, in the kernel's order.
// The translation runs in a child process: the kernel's translator
// follows a reference of the wrong kind in a damaged file to a null
// object and crashes, and a crash there must be a refused file, not a
// lost session.  The shape comes back in the kernel's binary format,
// which keeps every number and the order of edges and faces.
#include "geometry/build.h"

#include "geometry/kernel_call.h"
#include "geometry/shape_impl.h"

#include <BinTools.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <IFSelect_WorkLibrary.hxx>
#include <Interface_Check.hxx>
#include <Interface_EntityIterator.hxx>
#include <Interface_GTool.hxx>
#include <Interface_GeneralModule.hxx>
#include <Interface_ReportEntity.hxx>
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

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string_view>
#include <system_error>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
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

/// Has the STEP readers made from now on use the resource, when it could
/// be installed.  The reader's settings exist once a reader does.
void use_read_resource() {
  if (install_read_resource())
    Interface_Static::SetCVal("read.step.resource.name", kResourceName);
}

/// The label of model entity number (1-based), as the file writes it.
std::string entity_label(const Handle(Interface_InterfaceModel) & model, Standard_Integer number) {
  const Handle(TCollection_HAsciiString) label = model->StringLabel(model->Value(number));
  return label.IsNull() ? "#?" : label->ToCString();
}

/// The first fault the file reader recorded in model, as "entity #N: what",
/// or "".
std::string first_load_fault(const Handle(Interface_InterfaceModel) & model) {
  const auto fault_of = [](const Handle(Interface_Check) & check) -> std::string {
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
std::string first_reference_cycle(const Handle(Interface_InterfaceModel) & model,
                                  const Handle(Interface_Protocol) & protocol) {
  const Handle(Interface_GTool) tool = new Interface_GTool(protocol);
  const auto shared_by = [&](Standard_Integer number) {
    Interface_EntityIterator shared;
    Handle(Standard_Transient) entity = model->Value(number);
    if (model->IsRedefinedContent(number))
      entity = model->ReportEntity(number)->Content();
    Handle(Interface_GeneralModule) module;
    Standard_Integer kind = 0;
    if (tool->Select(entity, module, kind))
      module->FillShared(model, kind, entity, shared);
    return shared;
  };
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
    path.push_back({number, shared_by(number)});
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

/// "entity #N is named twice" when two instances of the file's data share
/// a name, else "".  The kernel's reader looks such a name up by a walk of
/// every record for each reference to it, which takes minutes on a file of
/// a few hundred names; the exchange format has every name once.  Walks
/// the text once, past strings and comments.
std::string first_repeated_name(std::string_view text) {
  std::vector<std::uint64_t> names;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '\'') {
      at = text.find('\'', at + 1); // a doubled quote reads as two strings
      if (at == std::string_view::npos)
        break;
      continue;
    }
    if (c == '/' && at + 1 < text.size() && text[at + 1] == '*') {
      at = text.find("*/", at + 2);
      if (at == std::string_view::npos)
        break;
      ++at;
      continue;
    }
    if (c != '#')
      continue;
    std::size_t end = at + 1;
    std::uint64_t name = 0;
    while (end < text.size() && end - at <= 18 && text[end] >= '0' && text[end] <= '9')
      name = name * 10 + static_cast<std::uint64_t>(text[end++] - '0');
    if (end == at + 1 || (end < text.size() && text[end] >= '0' && text[end] <= '9'))
      continue;
    std::size_t next = end;
    while (next < text.size() &&
           (text[next] == ' ' || text[next] == '\t' || text[next] == '\r' || text[next] == '\n'))
      ++next;
    if (next < text.size() && text[next] == '=')
      names.push_back(name);
    at = end - 1;
  }
  std::sort(names.begin(), names.end());
  const auto twice = std::adjacent_find(names.begin(), names.end());
  if (twice == names.end())
    return {};
  return "entity #" + std::to_string(*twice) + " is named twice";
}

/// The bytes of the file at path; throws when it cannot be read.
std::string file_bytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in)
    throw Standard_Failure(("cannot read " + path).c_str());
  return std::move(bytes).str();
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
  if (std::string twice = first_repeated_name(file_bytes(path)); !twice.empty())
    throw Standard_Failure((path + ": " + twice).c_str());
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

/// Hands deliver the shape of the STEP file at path with what its fixing
/// healed, as the bytes a translation hands back: "S", the length of
/// healed, a newline, healed and the shape in the binary format; or "E"
/// and the reason the file was refused.  deliver is called once, while
/// the kernel's model is still alive: the child process ends in it, so
/// that the model of a large file, which takes seconds to free, never is.
void translate(const std::string &path, const std::function<void(std::string_view)> &deliver) {
  try {
    quiet_kernel();
    STEPControl_Reader reader;
    use_read_resource();
    read_step_model(reader, path);
    reader.TransferRoots();
    std::string healed;
    const TopoDS_Shape shape = heal(reader.OneShape(), healed);
    if (shape.IsNull())
      return deliver("Ethe kernel made no shape");
    std::ostringstream out;
    out << 'S' << healed.size() << '\n' << healed;
    BinTools::Write(shape, out);
    if (!out)
      return deliver("Ecannot pass the shape on");
    return deliver(std::move(out).str());
  } catch (const Standard_Failure &f) {
    return deliver(std::string("E") + f.GetMessageString());
  }
}

/// Writes bytes to fd whole; false when the pipe is gone.
bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

/// Everything fd gives until its end.
std::string read_all(int fd) {
  std::string bytes;
  char chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return bytes;
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
}

/// translate(path) in a child process: its bytes, or a failure that says
/// how the child ended when it gave none.
Result<std::string> translate_apart(const std::string &path) {
  int ends[2];
  if (::pipe(ends) != 0)
    return Result<std::string>::failure(std::string("no pipe: ") + std::strerror(errno));
  const pid_t child = ::fork();
  if (child < 0) {
    const int error = errno;
    ::close(ends[0]);
    ::close(ends[1]);
    return Result<std::string>::failure(std::string("no child process: ") + std::strerror(error));
  }
  if (child == 0) {
    // A crash ends the child at once: the handlers it inherited (a
    // runtime's, a sanitizer's) belong to the process it was forked from.
    for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
      std::signal(signal, SIG_DFL);
    ::close(ends[0]);
    translate(path, [&](std::string_view bytes) { ::_exit(write_all(ends[1], bytes) ? 0 : 1); });
    ::_exit(1);
  }
  ::close(ends[1]);
  std::string bytes = read_all(ends[0]);
  ::close(ends[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status))
    return Result<std::string>::failure("the kernel's translator crashed on " + path + " (" +
                                        strsignal(WTERMSIG(status)) + ")");
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || bytes.empty())
    return Result<std::string>::failure("the translation of " + path + " ended without a shape");
  return bytes;
}

/// The shape and healed text of the bytes of a translation.
Result<Shape> shape_of(const std::string &bytes, std::string *healed) {
  if (bytes[0] == 'E')
    return Result<Shape>::failure("STEP: " + bytes.substr(1));
  std::istringstream in(bytes);
  in.get();
  std::size_t length = 0;
  in >> length;
  if (!in || in.get() != '\n' || length > bytes.size())
    return Result<Shape>::failure("STEP: the translation's bytes are damaged");
  std::string what(length, '\0');
  in.read(what.data(), static_cast<std::streamsize>(length));
  return guarded("STEP", [&] {
    TopoDS_Shape shape;
    BinTools::Read(shape, in);
    if (healed)
      *healed = what;
    return shape;
  });
}

} // namespace

Result<Shape> read_step(const std::string &path, std::string *healed) {
  // The resource's folder and variable are made here, once, for every
  // child to inherit.
  install_read_resource();
  Result<std::string> bytes = translate_apart(path);
  if (!bytes.ok())
    return Result<Shape>::failure("STEP: " + bytes.error());
  return shape_of(*bytes, healed);
}

int kernel_step_read(const std::string &path) {
  try {
    quiet_kernel();
    STEPControl_Reader reader;
    use_read_resource();
    if (reader.ReadFile(path.c_str()) != IFSelect_RetDone)
      return 0;
    reader.TransferRoots();
    TopTools_IndexedMapOfShape edges;
    TopExp::MapShapes(reader.OneShape(), TopAbs_EDGE, edges);
    return edges.Extent();
  } catch (const Standard_Failure &) {
    return 0;
  }
}

Result<void> write_step(const Shape &s, const std::string &path) {
  try {
    quiet_kernel();
    STEPControl_Writer writer;
    if (writer.Transfer(s.impl().shape, STEPControl_AsIs) != IFSelect_RetDone ||
        writer.Write(path.c_str()) != IFSelect_RetDone)
      return Result<void>::failure("cannot write " + path);
    return {};
  } catch (const Standard_Failure &f) {
    return Result<void>::failure(std::string("STEP: ") + f.GetMessageString());
  }
}

} // namespace sim::geo
