// Directory reading: the end record found at the archive's end (behind a comment, trailing bytes
// or a transfer's padding, or pointing to its Zip64 forms) and the central headers read into
// ZipContents. TZipBuilder's directory members are defined in zip_directory.cpp; what its other
// parts share of them is declared here.
#pragma once

#include "zip/zip_builder.h"
#include "zip/zip_codec.h"

namespace mirnax::zip_directory {

// The end record as the component's public record holds it, and back.
ZipEndOfCentral ToEndOfCentral(const zip_codec::TEndRecord& record);
zip_codec::TEndRecord FromEndOfCentral(const ZipEndOfCentral& eoc);
// One member as ZipContents lists it, before its name and comment are read.
ZipDirEntry EntryFrom(const zip_codec::TCentralHeader& header);

}  // namespace mirnax::zip_directory
