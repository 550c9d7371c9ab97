// The platform's exception classes and their message texts.
#pragma once

#include <QtGlobal>
#include <exception>
#include <string>

#include "mirnax/mirnax_export.h"

namespace mirnax {

/// The context in which the toolkit's message texts are translated, these below and those written
/// where they are raised.
inline constexpr const char* ExceptionContext = "mirnax::Exception";

/// A message text of the toolkit in the user's language, as UTF-8; used before Format().
MIRNAX_EXPORT std::string ExceptionText(const char* text);

/// Message texts of the platform, used with ExceptionText() and Format(): a file that cannot be opened.
inline constexpr const char* SFOpenError = QT_TRANSLATE_NOOP("mirnax::Exception", "Cannot open file %s");
/// A file that cannot be created.
inline constexpr const char* SFCreateError = QT_TRANSLATE_NOOP("mirnax::Exception", "Cannot create file %s");
/// A name that is no plain file.
inline constexpr const char* SNotRegularFile = QT_TRANSLATE_NOOP("mirnax::Exception", "it is not a regular file");
/// A file that may not be written.
inline constexpr const char* SReadOnlyFile = QT_TRANSLATE_NOOP("mirnax::Exception", "the file is read-only");
/// A failed read: "Read error on <file>: <the system's reason>".
inline constexpr const char* SReadError = QT_TRANSLATE_NOOP("mirnax::Exception", "Read error on %s: %s");
/// A failed write: "Write error on <file>: <the system's reason>".
inline constexpr const char* SWriteError = QT_TRANSLATE_NOOP("mirnax::Exception", "Write error on %s: %s");
/// A text that is no integer.
inline constexpr const char* SInvalidInteger =
    QT_TRANSLATE_NOOP("mirnax::Exception", "'%s' is not a valid integer value");
/// A list index outside the list.
inline constexpr const char* SListIndexError = QT_TRANSLATE_NOOP("mirnax::Exception", "List index out of bounds (%d)");
/// A value outside its range.
inline constexpr const char* SOutOfRange = QT_TRANSLATE_NOOP("mirnax::Exception", "Value must be between %d and %d");
/// Memory that could not be had.
inline constexpr const char* SOutOfMemory = QT_TRANSLATE_NOOP("mirnax::Exception", "Out of memory");
/// An operation a sorted list does not allow.
inline constexpr const char* SSortedListError =
    QT_TRANSLATE_NOOP("mirnax::Exception", "Operation not allowed on sorted list");
/// A duplicate in a list that takes none.
inline constexpr const char* SDuplicateString =
    QT_TRANSLATE_NOOP("mirnax::Exception", "String list does not allow duplicates");
/// A grid index outside the grid.
inline constexpr const char* SGridIndexOutOfRange = QT_TRANSLATE_NOOP("mirnax::Exception", "Grid index out of range");
/// Year, month or day that make no date.
inline constexpr const char* SDateEncodeError =
    QT_TRANSLATE_NOOP("mirnax::Exception", "Invalid argument to date encode");
/// An outline index that no item has.
inline constexpr const char* SOutlineIndexError = QT_TRANSLATE_NOOP("mirnax::Exception", "Outline index not found");
/// A selection that cannot be made.
inline constexpr const char* SInvalidSelection = QT_TRANSLATE_NOOP("mirnax::Exception", "Invalid selection");

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
  EOutOfMemory() : Exception(ExceptionText(SOutOfMemory)) {}  ///< An error with the platform's out-of-memory text.
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
