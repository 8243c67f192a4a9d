#pragma once
// Result<T>: the one way files and parsers say "it failed, here is why, and where".
//
// Device operations keep their small signed result codes (the protocol fixes them); everything
// that reads or writes a file, or parses text or bytes from outside, returns a Result. Nothing
// throws across modules.
//
//   Result<Image> r = ReadImage(path);
//   if (!r) Trace(r.error().ToString());   // "In file /x/a.pro, line 3: count is not a number"
//   Use(r.value());

#include <cstddef>
#include <string>
#include <utility>
#include <variant>

namespace korva {

struct Error {
  std::string file;        // the file that failed; empty when the input was not a file
  std::size_t line = 0;    // 1-based; 0 when the failure has no line
  std::size_t column = 0;  // 1-based; 0 when unknown
  std::size_t offset = 0;  // byte offset for binary inputs; used when `line` is 0 and `hasOffset`
  bool hasOffset = false;
  std::string message;  // what is wrong, without the place

  // "In file F, line L, column C: message", "In file F: message", "at byte N: message" or
  // "message", depending on what is known.
  std::string ToString() const;

  static Error InFile(std::string file, std::string message, std::size_t line = 0);
  static Error AtByte(std::size_t offset, std::string message);
  static Error Plain(std::string message);
};

template <class T = void>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit on purpose
  Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}  // NOLINT

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // Only when ok().
  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  // Only when !ok().
  const Error& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, Error> state_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : error_(std::move(error)), ok_(false) {}  // NOLINT: implicit on purpose

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const Error& error() const { return error_; }

 private:
  Error error_;
  bool ok_ = true;
};

}  // namespace korva
