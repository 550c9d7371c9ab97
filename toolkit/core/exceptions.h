// The platform's exception classes and their message texts.
#pragma once

#include <exception>
#include <string>

#include "mirnax/mirnax_export.h"

namespace mirnax {

/// Message texts of the platform, used with Format().
inline constexpr const char* SFOpenError = "Cannot open file %s";
inline constexpr const char* SFCreateError = "Cannot create file %s";
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SOutOfRange = "Value must be between %d and %d";
inline constexpr const char* SOutOfMemory = "Out of memory";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SGridIndexOutOfRange = "Grid index out of range";
inline constexpr const char* SDateEncodeError = "Invalid argument to date encode";
inline constexpr const char* SOutlineIndexError = "Outline index not found";
inline constexpr const char* SInvalidSelection = "Invalid selection";

/// Root of every error the toolkit and the system raise; carries the text shown to the user.
class MIRNAX_EXPORT Exception : public std::exception {
 public:
  explicit Exception(std::string message) : Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }

  std::string Message;
};

class MIRNAX_EXPORT EConvertError : public Exception { using Exception::Exception; };
class MIRNAX_EXPORT EListError : public Exception { using Exception::Exception; };
class MIRNAX_EXPORT EStringListError : public EListError { using EListError::EListError; };
class MIRNAX_EXPORT ERangeError : public Exception { using Exception::Exception; };
class MIRNAX_EXPORT EOutOfMemory : public Exception {
 public:
  EOutOfMemory() : Exception(SOutOfMemory) {}
};
class MIRNAX_EXPORT EInvalidGridOperation : public Exception { using Exception::Exception; };
class MIRNAX_EXPORT EOutlineError : public Exception { using Exception::Exception; };
class MIRNAX_EXPORT EStreamError : public Exception { using Exception::Exception; };
class MIRNAX_EXPORT EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class MIRNAX_EXPORT EFCreateError : public EStreamError { using EStreamError::EStreamError; };

/// An operating-system I/O failure; ErrorCode is the errno value (0 when none applies).
class MIRNAX_EXPORT EInOutError : public Exception {
 public:
  EInOutError(std::string message, int errorCode) : Exception(std::move(message)), ErrorCode(errorCode) {}
  int ErrorCode;
};

}  // namespace mirnax
