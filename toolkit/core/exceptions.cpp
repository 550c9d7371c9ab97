#include "toolkit/core/exceptions.h"

#include "toolkit/core/translations.h"

namespace mirnax {

// Defined with the exception classes, in the library's public part: programs and the library
// share one copy.
std::string ExceptionText(const char* text) { return TrUtf8(ExceptionContext, text); }

}  // namespace mirnax
