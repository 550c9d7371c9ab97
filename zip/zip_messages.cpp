#include "zip/zip_messages.h"

#include <QCoreApplication>

#include <algorithm>
#include <iterator>

namespace mirnax {

namespace {

struct TMessage {
  int ident;
  const char* text;
};

// Kept sorted by ID.
constexpr TMessage kMessages[] = {
    {10101, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The archive library failed unexpectedly")},
    {10102, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The archive file was not found, or no archive file name was given")},
    {10103, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Not enough memory")},
    {10104, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The two passwords do not match")},
    {10105, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Copying: ")},
    {10150, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A password is needed to add files, but no prompt may be shown")},
    {10151, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A password is needed to extract files, but no prompt may be shown")},
    {10201, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Seek error while reading the archive directory")},
    {10202, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while reading the archive directory")},
    {10203, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Warning: the central directory is not where the archive says; data was added in front of the archive")},
    {10204, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Warning: there are extra bytes after the end of the archive")},
    {10301, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Nothing to add: no file specifications were given")},
    {10302, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Encryption was asked for, but there is no password and no prompt may be shown")},
    {10303, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Freshen or update cannot be combined with spanning disks")},
    {10401, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Nothing to delete: no file specifications were given")},
    {10501, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The unzip library failed unexpectedly")},
    {10502, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "No password was given for an unattended extraction; encrypted members will fail")},
    {10601, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Zip library loaded: ")},
    {10602, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The zip library has no \"ZipDllExec\" entry point")},
    {10603, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The zip library has no \"GetZipDllVersion\" entry point")},
    {10604, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The zip library cannot be loaded")},
    {10701, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Unzip library loaded: ")},
    {10702, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The unzip library has no \"UnzDllExec\" entry point")},
    {10703, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The unzip library has no \"GetUnzDllVersion\" entry point")},
    {10704, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The unzip library cannot be loaded")},
    {10801, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The self-extractor texts are too long")},
    {10802, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The self-extractor program was not found")},
    {10803, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Only an archive with the extension .zip can be made self-extracting")},
    {10901, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The self-extracting archive was not found")},
    {10902, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Only a file with the extension .exe can be converted back to an archive")},
    {10903, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "There is no self-extractor in front of this archive")},
    {11001, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The archive cannot be opened")},
    {11002, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The archive cannot be opened")},
    {11003, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Not a valid drive: %s")},
    {11004, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The drive %s does not exist or is not ready")},
    {11005, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The volume label cannot be set")},
    {11006, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "No answer to the free space question")},
    {11007, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Cancelled by the user")},
    {11008, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Seek error at the end of the archive")},
    {11009, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The output file cannot be created")},
    {11010, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Write error on the output file")},
    {11011, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Read error at the end of the archive")},
    {11012, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A local header cannot be read")},
    {11013, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A central directory header cannot be read")},
    {11014, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A local header has a wrong signature")},
    {11015, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A central directory header has a wrong signature")},
    {11016, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The name in a local header cannot be read")},
    {11017, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The name in a central directory header cannot be read")},
    {11018, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying a local extra field")},
    {11019, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying a central extra field")},
    {11020, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying a data descriptor")},
    {11021, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying compressed data")},
    {11022, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A file comment cannot be read")},
    {11023, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying the archive comment")},
    {11024, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while spanning or joining the archive")},
    {11025, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A disk or a confirmation is needed, but no prompt may be shown")},
    {11026, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A member of the central directory was not found")},
    {11027, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "No temporary file name could be made")},
    {11028, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Write error on a local header of the joined archive")},
    {11029, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Write error on a central header of the joined archive")},
    {11030, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Write error on the end record of the joined archive")},
    {11031, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The first volume does not start with the spanning signature")},
    {11032, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "This disk has not enough free space available")},
    {11033, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Please insert last disk in set")},
    {11034, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Please insert disk volume %.1d of %.1d")},
    {11035, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "\nin drive: %s")},
    {11036, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "This is not a zip archive")},
    {11037, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "This is the first disk of a set; please insert the last disk")},
    {11038, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "This is disk %d of a set, not the last one")},
    {11039, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Overwrite previous file %s")},
    {11040, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Overwrite previous disk no %d")},
    {11041, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A self-extracting archive cannot be spread over disks")},
    {11042, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying a central directory entry")},
    {11043, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Seek error at the end record")},
    {11044, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying the archive comment")},
    {11045, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "This is the first disk of a set; please insert the last disk")},
    {11046, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Please insert disk volume %.1d")},
    {11047, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "central directory")},
};

}  // namespace

std::optional<std::string> ZipMessageText(int ident) {
  const auto* found = std::lower_bound(std::begin(kMessages), std::end(kMessages), ident,
                                       [](const TMessage& m, int id) { return m.ident < id; });
  if (found == std::end(kMessages) || found->ident != ident) return std::nullopt;
  return QCoreApplication::translate("mirnax::TZipBuilder", found->text).toStdString();
}

std::string FormatZipMessage(const std::string& text, const std::string& value) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (text[i + 1] == '%') {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.')) ++end;
    if (end < text.size() && (text[end] == 'd' || text[end] == 's' || text[end] == 'u'))
      return text.substr(0, i) + value + text.substr(end + 1);
  }
  return text;
}

}  // namespace mirnax
