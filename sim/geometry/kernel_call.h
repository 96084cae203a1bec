// kernel_call.h: calling the kernel from the geometry files: its exceptions
// turned into results, its messages kept off the output.  Private to
// sim/geometry.
#ifndef NCSHEET_SIM_GEOMETRY_KERNEL_CALL_H
#define NCSHEET_SIM_GEOMETRY_KERNEL_CALL_H

#include "geometry/shape_impl.h"

#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_Printer.hxx>
#include <Standard_Failure.hxx>

#include <memory>
#include <string>

namespace sim::geo {

inline Shape wrap(const TopoDS_Shape &s) { return Shape(std::make_shared<Shape::Impl>(s)); }

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
inline void quiet_kernel() {
  const auto &printers = Message::DefaultMessenger()->Printers();
  for (auto it = printers.cbegin(); it != printers.cend(); ++it)
    (*it)->SetTraceLevel(Message_Fail);
}

} // namespace sim::geo

#endif
