//===- entry.h - The one way into the session for every C entry -----------===//
//
// Each host function is a thin C-linkage entry:
//
//   extern "C" int UF_OBJ_ask_name(tag_t object, char name[31]) {
//     return sim::api::call(sim::Call::UF_OBJ_ask_name, [&](sim::Session &s) {
//       ...
//       return sim::status::kOk;
//     });
//   }
//
// The entry finds the current session (none: a status, never a crash),
// counts the call, flags it when no API bracket is open, fails it when the
// fault injector says so (the body then does not run, so outputs stay
// untouched, or are poisoned when the session asks for it), and turns any
// exception into a status recorded in the transcript.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_API_ENTRY_H
#define NCSHEET_SIM_API_ENTRY_H

#include "session/calls.h"
#include "host/defs.h"
#include "session/session.h"
#include "session/status.h"

#include <cstddef>
#include <exception>
#include <limits>
#include <utility>

namespace sim::api {

namespace detail {
/// Finds the session and does the bookkeeping of a call; sets injected to
/// the status to fail it with (0: go on).  Null when no session is current.
[[nodiscard]] Session *enter(Call call, int &injected) noexcept;
/// Records an exception that reached the entry; returns status::kInternal.
int caught(Session &session, Call call, const char *what) noexcept;
} // namespace detail

/// The status for a tag that is not an object of the kind a call wants:
/// kWrongType when the tag names some other object, kBadTag when none.
[[nodiscard]] int wrong_kind_status(Session &session, tag_t tag) noexcept;

// Poison for the outputs of a failed call (Session::poison_outputs()).
inline constexpr tag_t kPoisonTag = 0xBADBAD01u;
inline constexpr int kPoisonInt = -0x21524111; // 0xDEADBEEF
inline void poison(tag_t &out) noexcept { out = kPoisonTag; }
inline void poison(int &out) noexcept { out = kPoisonInt; }
inline void poison(double &out) noexcept { out = std::numeric_limits<double>::quiet_NaN(); }
/// Fills a text buffer with '?' and terminates it.
inline void poison(char *out, std::size_t size) noexcept {
  if (size == 0)
    return;
  for (std::size_t i = 0; i + 1 < size; ++i)
    out[i] = '?';
  out[size - 1] = '\0';
}

namespace detail {

/// body(), with an exception turned into a recorded host exception (see
/// caught()): then on_throw(the status caught() gives) instead.
template <class Body, class OnThrow>
auto guarded(Session &session, Call id, Body &&body, OnThrow &&on_throw) noexcept
    -> decltype(body()) {
  try {
    return body();
  } catch (const std::exception &e) {
    return on_throw(caught(session, id, e.what()));
  } catch (...) {
    return on_throw(caught(session, id, nullptr));
  }
}

inline int same_status(int status) noexcept { return status; }

} // namespace detail

/// A call returning a status: body(Session&) -> int.  On an injected
/// failure poison_outputs() runs when the session poisons outputs.
template <class Body, class Poison>
int call(Call id, Body &&body, Poison &&poison_outputs) noexcept {
  int injected = 0;
  Session *session = detail::enter(id, injected);
  if (!session)
    return status::kNoSession;
  if (injected != 0) {
    if (session->poison_outputs())
      poison_outputs();
    return injected;
  }
  return detail::guarded(
      *session, id, [&] { return body(*session); }, detail::same_status);
}

/// A call returning a status whose outputs are not poisoned.
template <class Body> int call(Call id, Body &&body) noexcept {
  return call(id, std::forward<Body>(body), [] {});
}

/// A call whose body runs even when it is made to fail: body(Session&, int
/// injected) -> int; the injected status wins over the body's.
template <class Body> int call_always(Call id, Body &&body) noexcept {
  int injected = 0;
  Session *session = detail::enter(id, injected);
  if (!session)
    return status::kNoSession;
  return detail::guarded(
      *session, id,
      [&] {
        const int result = body(*session, injected);
        return injected != 0 ? injected : result;
      },
      detail::same_status);
}

/// A call returning a value: body(Session&) -> T; fallback when there is
/// no session, the call is made to fail (File kind: a null FILE, -1) or the
/// body throws.
template <class T, class Body> T value_call(Call id, T fallback, Body &&body) noexcept {
  int injected = 0;
  Session *session = detail::enter(id, injected);
  if (!session || injected != 0)
    return fallback;
  return detail::guarded(
      *session, id, [&]() -> T { return body(*session); }, [&](int) { return fallback; });
}

/// A call returning nothing: body(Session&).
template <class Body> void void_call(Call id, Body &&body) noexcept {
  int injected = 0;
  Session *session = detail::enter(id, injected);
  if (!session)
    return;
  detail::guarded(
      *session, id, [&] { body(*session); }, [](int) {});
}

} // namespace sim::api

#endif
