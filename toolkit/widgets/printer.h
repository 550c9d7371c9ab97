// The printer object of the process: the printer a program prints to unless it picks another.
// A test or a program sends the output to a PDF file by setting the printer's output file name.
#pragma once

#include <QPrinter>

#include "mirnax/mirnax_export.h"

namespace mirnax {

MIRNAX_EXPORT QPrinter& Printer();  ///< The printer of the process, made on first use.

}  // namespace mirnax
