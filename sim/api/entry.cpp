//===- entry.cpp - Bookkeeping shared by every C entry --------------------===//
#include "api/entry.h"

#include "objects/object_store.h"

#include <string>

namespace sim::api::detail {

Session *enter(Call call, int &injected) noexcept {
  Session *session = Session::current();
  if (!session)
    return nullptr;
  injected = session->calls().enter(call);
  try {
    if (session->bracket_depth() == 0 && call_needs_bracket(call))
      session->note_outside_bracket(call);
    if (injected != 0)
      session->transcript().add(EventKind::FaultInjected, {},
                                std::string(call_name(call)) + " #" +
                                    std::to_string(session->calls().count(call)),
                                injected);
  } catch (...) {
    // Out of memory while recording: the call itself still goes on.
  }
  return session;
}

int caught(Session &session, Call call, const char *what) noexcept {
  try {
    const std::string reason = std::string("host exception in ") + std::string(call_name(call)) +
                               ": " + (what ? what : "unknown exception");
    session.transcript().add(EventKind::HostException, {}, reason);
    session.fail_run(reason);
  } catch (...) {
  }
  return status::kInternal;
}

} // namespace sim::api::detail

namespace sim::api {

int wrong_kind_status(Session &session, tag_t tag) noexcept {
  return session.objects().find(tag) ? status::kWrongType : status::kBadTag;
}

} // namespace sim::api
