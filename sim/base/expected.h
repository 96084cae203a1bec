//===- expected.h - A value, or the reason there is none -------------------===//
//
// The one way an operation of the simulated host or the runner fails: it
// returns an Expected<T>, holding the value or the reason, in words a
// person reads ("STEP: entity #22 is named twice").  Each layer that hands
// a failure on puts what it was doing in front (in_context), so that the
// message the runner prints reads from the outside in.
//
//   Expected<Shape> shape = read_step(path);
//   if (!shape)
//     return Expected<Body>::failure(shape.error());
//
// Header only, and below every area: it includes nothing of the project.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_BASE_EXPECTED_H
#define NCSHEET_SIM_BASE_EXPECTED_H

#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace sim {

namespace detail {
struct Failure {
  std::string why;
};
} // namespace detail

template <class T> class [[nodiscard]] Expected {
public:
  Expected(T value) : v_(std::move(value)) {}
  /// A failure for the reason why.
  static Expected failure(std::string why) { return Expected(detail::Failure{std::move(why)}); }

  [[nodiscard]] bool ok() const noexcept { return v_.index() == 0; }
  explicit operator bool() const noexcept { return ok(); }
  T &value() { return std::get<0>(v_); }
  const T &value() const { return std::get<0>(v_); }
  T &operator*() { return value(); }
  const T &operator*() const { return value(); }
  T *operator->() { return &value(); }
  const T *operator->() const { return &value(); }
  /// Why it failed; only for a failure.
  [[nodiscard]] const std::string &error() const { return std::get<1>(v_).why; }
  /// The same failure as "context: why"; a value stays as it is.
  Expected in_context(std::string_view context) && {
    if (!ok())
      std::get<1>(v_).why.insert(0, std::string(context) + ": ");
    return std::move(*this);
  }

private:
  explicit Expected(detail::Failure f) : v_(std::move(f)) {}
  std::variant<T, detail::Failure> v_;
};

/// An operation that gives nothing but can fail.
template <> class [[nodiscard]] Expected<void> {
public:
  Expected() = default;
  static Expected failure(std::string why) {
    Expected e;
    e.ok_ = false;
    e.why_ = std::move(why);
    return e;
  }

  [[nodiscard]] bool ok() const noexcept { return ok_; }
  explicit operator bool() const noexcept { return ok_; }
  [[nodiscard]] const std::string &error() const noexcept { return why_; }
  Expected in_context(std::string_view context) && {
    if (!ok_)
      why_.insert(0, std::string(context) + ": ");
    return std::move(*this);
  }

private:
  bool ok_ = true;
  std::string why_;
};

} // namespace sim

#endif
