// Exception classes of the engine and the application, with their fixed messages.
#pragma once

#include <exception>
#include <string>

namespace qm {

// Fixed messages raised by the engine. They are shown to the user as they stand.
inline constexpr const char* kListIndexOutOfBounds = "List index out of bounds";
inline constexpr const char* kTextTooLong = "Text too long";
inline constexpr const char* kUndoSetTooHigh = "Undo set too high";
inline constexpr const char* kInternalPlusMemoError = "Internal PlusMemoU error";
inline constexpr const char* kNotAPlusMemo = "Internal error: component is not a TPlusMemoU";
inline constexpr const char* kNotAValidInteger = "'%s' is not a valid integer value";
inline constexpr const char* kUnableToWrite = "Unable to write to %s";
inline constexpr const char* kInvalidPropertyValue = "Invalid property value";

// Base of every failure the program raises; Message is UTF-8.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }

  std::string Message;
};

// A list was asked for something it cannot do ("Undo set too high").
class EListError : public Exception {
 public:
  using Exception::Exception;
};

// An index lies outside a list ("List index out of bounds").
class ERangeError : public Exception {
 public:
  using Exception::Exception;
  ERangeError() : Exception(kListIndexOutOfBounds) {}
};

// A text could not be converted to a value ("'x' is not a valid integer value").
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A stored property could not be read ("Invalid property value").
class EReadError : public Exception {
 public:
  using Exception::Exception;
};

// A stream could not be read or written.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

// Replaces the single "%s" of a fixed message with an argument.
std::string FormatMessage(const char* pattern, const std::string& argument);

}  // namespace qm
