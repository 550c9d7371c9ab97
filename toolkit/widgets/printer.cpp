#include "toolkit/widgets/printer.h"

#include <QCoreApplication>
#include <memory>

namespace mirnax {

QPrinter& Printer() {
  static std::unique_ptr<QPrinter> printer;
  if (!printer) {
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The printer's paint engine must go before the application object does.
    if (QCoreApplication::instance()) qAddPostRoutine([] { printer.reset(); });
  }
  return *printer;
}

}  // namespace mirnax
