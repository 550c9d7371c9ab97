// The platform's exception classes and their message texts.
#pragma once

#include <exception>
#include <string>

#include "mirnax/mirnax_export.h"

namespace mirnax {

// Message texts of the platform, used with Format().
/// Message texts of the platform, used with Format(): a file that cannot be opened.
inline constexpr const char* SFOpenError = "Cannot open file %s";
inline constexpr const char* SFCreateError = "Cannot create file %s";  ///< A file that cannot be created.
/// A text that is no integer.
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
/// A list index outside the list.
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SOutOfRange = "Value must be between %d and %d";  ///< A value outside its range.
inline constexpr const char* SOutOfMemory = "Out of memory";  ///< Memory that could not be had.
/// A duplicate in a list that takes none.
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
/// A grid index outside the grid.
inline constexpr const char* SGridIndexOutOfRange = "Grid index out of range";
/// Year, month or day that make no date.
inline constexpr const char* SDateEncodeError = "Invalid argument to date encode";
/// An outline index that no item has.
inline constexpr const char* SOutlineIndexError = "Outline index not found";
inline constexpr const char* SInvalidSelection = "Invalid selection";  ///< A selection that cannot be made.

/// Root of every error the toolkit and the system raise; carries the text shown to the user.
class MIRNAX_EXPORT Exception : public std::exception {
 public:
  /// An error with the text shown to the user.
  explicit Exception(std::string message) : Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }  ///< The text shown to the user.

  std::string Message;  ///< The text shown to the user.
};

/// A text that could not be converted: a number, a date.
class MIRNAX_EXPORT EConvertError : public Exception { using Exception::Exception; };
/// An index outside a list.
class MIRNAX_EXPORT EListError : public Exception { using Exception::Exception; };
/// An error of a string list: an index or a duplicate.
class MIRNAX_EXPORT EStringListError : public EListError { using EListError::EListError; };
/// A value outside its range.
class MIRNAX_EXPORT ERangeError : public Exception { using Exception::Exception; };
/// Memory that could not be had.
class MIRNAX_EXPORT EOutOfMemory : public Exception {
 public:
  EOutOfMemory() : Exception(SOutOfMemory) {}  ///< An error with the platform's out-of-memory text.
};
/// An operation a grid cannot do: an index outside it.
class MIRNAX_EXPORT EInvalidGridOperation : public Exception { using Exception::Exception; };
/// An operation an outline cannot do: an index no item has, a folder that cannot be listed.
class MIRNAX_EXPORT EOutlineError : public Exception { using Exception::Exception; };
/// A stream that could not be read or written.
class MIRNAX_EXPORT EStreamError : public Exception { using Exception::Exception; };
/// A file that could not be opened.
class MIRNAX_EXPORT EFOpenError : public EStreamError { using EStreamError::EStreamError; };
/// A file that could not be created.
class MIRNAX_EXPORT EFCreateError : public EStreamError { using EStreamError::EStreamError; };

/// An operating-system I/O failure; ErrorCode is the errno value (0 when none applies).
class MIRNAX_EXPORT EInOutError : public Exception {
 public:
  /// An error with its text and errno value.
  EInOutError(std::string message, int errorCode) : Exception(std::move(message)), ErrorCode(errorCode) {}
  int ErrorCode;  ///< The errno value, 0 when none applies.
};

}  // namespace mirnax
