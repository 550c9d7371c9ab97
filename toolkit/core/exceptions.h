// The platform's exception classes and their message texts.
#pragma once

#include <QtGlobal>
#include <exception>
#include <string>

#include "mirnax/mirnax_export.h"

namespace mirnax {

// The toolkit's message texts are translated in this context, these below and those written where
// they are raised.
inline constexpr const char* ExceptionContext = "mirnax::Exception";

// A message text of the toolkit in the user's language, as UTF-8; used before Format().
std::string ExceptionText(const char* text);

// Message texts of the platform, used with ExceptionText() and Format().
inline constexpr const char* SFOpenError = QT_TRANSLATE_NOOP("mirnax::Exception", "Cannot open file %s");
inline constexpr const char* SFCreateError = QT_TRANSLATE_NOOP("mirnax::Exception", "Cannot create file %s");
inline constexpr const char* SNotRegularFile = QT_TRANSLATE_NOOP("mirnax::Exception", "it is not a regular file");
inline constexpr const char* SReadOnlyFile = QT_TRANSLATE_NOOP("mirnax::Exception", "the file is read-only");
// "<error> on <file>: <the system's reason>"
inline constexpr const char* SReadError = QT_TRANSLATE_NOOP("mirnax::Exception", "Read error on %s: %s");
inline constexpr const char* SWriteError = QT_TRANSLATE_NOOP("mirnax::Exception", "Write error on %s: %s");
inline constexpr const char* SInvalidInteger =
    QT_TRANSLATE_NOOP("mirnax::Exception", "'%s' is not a valid integer value");
inline constexpr const char* SListIndexError = QT_TRANSLATE_NOOP("mirnax::Exception", "List index out of bounds (%d)");
inline constexpr const char* SOutOfRange = QT_TRANSLATE_NOOP("mirnax::Exception", "Value must be between %d and %d");
inline constexpr const char* SOutOfMemory = QT_TRANSLATE_NOOP("mirnax::Exception", "Out of memory");
inline constexpr const char* SSortedListError =
    QT_TRANSLATE_NOOP("mirnax::Exception", "Operation not allowed on sorted list");
inline constexpr const char* SDuplicateString =
    QT_TRANSLATE_NOOP("mirnax::Exception", "String list does not allow duplicates");
inline constexpr const char* SGridIndexOutOfRange = QT_TRANSLATE_NOOP("mirnax::Exception", "Grid index out of range");
inline constexpr const char* SDateEncodeError =
    QT_TRANSLATE_NOOP("mirnax::Exception", "Invalid argument to date encode");
inline constexpr const char* SOutlineIndexError = QT_TRANSLATE_NOOP("mirnax::Exception", "Outline index not found");
inline constexpr const char* SInvalidSelection = QT_TRANSLATE_NOOP("mirnax::Exception", "Invalid selection");

// Root of every error the toolkit and the system raise; carries the text shown to the user.
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
  EOutOfMemory() : Exception(ExceptionText(SOutOfMemory)) {}
};
class MIRNAX_EXPORT EInvalidGridOperation : public Exception { using Exception::Exception; };
class MIRNAX_EXPORT EOutlineError : public Exception { using Exception::Exception; };
class MIRNAX_EXPORT EStreamError : public Exception { using Exception::Exception; };
class MIRNAX_EXPORT EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class MIRNAX_EXPORT EFCreateError : public EStreamError { using EStreamError::EStreamError; };

// An operating-system I/O failure; ErrorCode is the errno value (0 when none applies).
class MIRNAX_EXPORT EInOutError : public Exception {
 public:
  EInOutError(std::string message, int errorCode) : Exception(std::move(message)), ErrorCode(errorCode) {}
  int ErrorCode;
};

}  // namespace mirnax
