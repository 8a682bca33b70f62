#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace flinder {

// Why something the user asked for could not be done: the text the user
// sees, and the system's error number when one says why (0 otherwise).
struct Failure {
  std::string Message;
  int Errno = 0;
};

// The outcome of work that can fail in ordinary use (a missing file, a full
// disk, a picture too large): its value, or the Failure to tell the user.
// Exceptions are kept for programming errors.
template <typename T = void>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

  bool Ok() const { return state_.index() == 0; }
  explicit operator bool() const { return Ok(); }

  T& operator*() { return Value(); }
  const T& operator*() const { return Value(); }
  T* operator->() { return &Value(); }
  const T* operator->() const { return &Value(); }
  T& Value() {
    assert(Ok());
    return std::get<0>(state_);
  }
  const T& Value() const {
    assert(Ok());
    return std::get<0>(state_);
  }

  const Failure& Error() const {
    assert(!Ok());
    return std::get<1>(state_);
  }
  const std::string& Message() const { return Error().Message; }

 private:
  std::variant<T, Failure> state_;
};

// Work that gives nothing but success or a Failure.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failure_(std::move(failure)) {}

  bool Ok() const { return !failure_; }
  explicit operator bool() const { return Ok(); }

  const Failure& Error() const {
    assert(!Ok());
    return *failure_;
  }
  const std::string& Message() const { return Error().Message; }

 private:
  std::optional<Failure> failure_;
};

}  // namespace flinder
