// Volumes and disk prompts: the names of a set's volumes (the labels of removable disks, numbered
// files on other drives), the disk in the drive and the prompts that ask for the wanted one.
// TZipBuilder's volume members are defined in zip_volumes.cpp; what spanning and joining share
// of them is declared here.
#pragma once

#include "zip/zip_builder.h"

#include <string>

namespace mirnax::zip_volumes {

// Fixed and network drives hold a set as numbered files and never ask for a disk.
bool IsFixedOrNetwork(int driveType);
// A shown failure that also says what the disk service found wrong.
EZipBuilder Because(int ident, const std::string& reason);

}  // namespace mirnax::zip_volumes
