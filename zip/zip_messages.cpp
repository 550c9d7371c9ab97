#include "zip/zip_messages.h"

#include "zip/zip_message_ids.h"

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
    {zmZipLibraryFailed, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The archive library failed unexpectedly")},
    {zmArchiveNotFound, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The archive file was not found, or no archive file name was given")},
    {zmNoMemory, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Not enough memory")},
    {zmPasswordsDiffer, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The two passwords do not match")},
    {zmCopying, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Copying: ")},
    {zmNoAddPasswordPrompt, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A password is needed to add files, but no prompt may be shown")},
    {zmNoExtractPasswordPrompt, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A password is needed to extract files, but no prompt may be shown")},
    {zmDirectorySeekError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Seek error while reading the archive directory")},
    {zmDirectoryReadError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while reading the archive directory")},
    {zmDirectoryMoved, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Warning: the central directory is not where the archive says; data was added in front of the archive")},
    {zmExtraBytesAtEnd, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Warning: there are extra bytes after the end of the archive")},
    {zmNothingToAdd, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Nothing to add: no file names or masks were given")},
    {zmNoEncryptionPassword, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Encryption was asked for, but there is no password and no prompt may be shown")},
    {zmSpanWithFreshenOrUpdate, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Freshen or update cannot be combined with spanning disks")},
    {zmNothingToDelete, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Nothing to delete: no file names or masks were given")},
    {zmUnzipLibraryFailed, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The unzip library failed unexpectedly")},
    {zmNoUnattendedPassword, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "No password was given for an unattended extraction; encrypted members will fail")},
    {zmZipLibraryLoaded, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Zip library loaded: ")},
    {zmZipLibraryNoExec, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The zip library has no \"ZipDllExec\" entry point")},
    {zmZipLibraryNoVersion, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The zip library has no \"GetZipDllVersion\" entry point")},
    {zmZipLibraryNotLoaded, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The zip library cannot be loaded")},
    {zmUnzipLibraryLoaded, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Unzip library loaded: ")},
    {zmUnzipLibraryNoExec, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The unzip library has no \"UnzDllExec\" entry point")},
    {zmUnzipLibraryNoVersion, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The unzip library has no \"GetUnzDllVersion\" entry point")},
    {zmUnzipLibraryNotLoaded, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The unzip library cannot be loaded")},
    {zmSfxTextsTooLong, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The self-extractor texts are too long")},
    {zmSfxStubNotFound, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The self-extractor program was not found")},
    {zmSfxNeedsZipExtension, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Only an archive with the extension .zip can be made self-extracting")},
    {zmSfxArchiveNotFound, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The self-extracting archive was not found")},
    {zmSfxNeedsExeExtension, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Only a file with the extension .exe can be converted back to an archive")},
    {zmNoSfxInFront, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "There is no self-extractor in front of this archive")},
    {zmArchiveCannotOpen, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The archive cannot be opened")},
    {zmArchiveCannotOpenNoted, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The archive cannot be opened")},
    {zmNotValidDrive, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Not a valid drive: %s")},
    {zmDriveNotReady, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The drive %s does not exist or is not ready")},
    {zmLabelNotSet, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The volume label cannot be set")},
    {zmNoFreeSpaceAnswer, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "No answer to the free space question")},
    {zmCancelled, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Cancelled by the user")},
    {zmEndSeekError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Seek error at the end of the archive")},
    {zmOutputNotCreated, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The output file cannot be created")},
    {zmOutputWriteError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Write error on the output file")},
    {zmEndReadError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Read error at the end of the archive")},
    {zmLocalHeaderUnreadable, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A local header cannot be read")},
    {zmCentralHeaderUnreadable, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A central directory header cannot be read")},
    {zmLocalHeaderBadSignature, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A local header has a wrong signature")},
    {zmCentralHeaderBadSignature, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A central directory header has a wrong signature")},
    {zmLocalNameUnreadable, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The name in a local header cannot be read")},
    {zmCentralNameUnreadable, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The name in a central directory header cannot be read")},
    {zmLocalExtraCopyError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying a local extra field")},
    {zmCentralExtraCopyError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying a central extra field")},
    {zmDescriptorCopyError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying a data descriptor")},
    {zmDataCopyError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying compressed data")},
    {zmFileCommentUnreadable, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A file comment cannot be read")},
    {zmArchiveCommentCopyError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying the archive comment")},
    {zmSpanError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while spanning or joining the archive")},
    {zmPromptNotAllowed, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A disk or a confirmation is needed, but no prompt may be shown")},
    {zmMemberNotFound, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A member of the central directory was not found")},
    {zmNoTempName, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "No temporary file name could be made")},
    {zmJoinLocalWriteError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Write error on a local header of the joined archive")},
    {zmJoinCentralWriteError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Write error on a central header of the joined archive")},
    {zmJoinEndWriteError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Write error on the end record of the joined archive")},
    {zmNoSpanSignature, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The first volume does not start with the spanning signature")},
    {zmNotEnoughFreeSpace, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "This disk has not enough free space available")},
    {zmInsertLastDisk, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Please insert last disk in set")},
    {zmInsertDiskOf, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Please insert disk volume %.1d of %.1d")},
    {zmInDrive, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "\nin drive: %s")},
    {zmNotAZipArchive, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "This is not a zip archive")},
    {zmFirstDiskOfSet, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "This is the first disk of a set; please insert the last disk")},
    {zmNotLastDisk, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "This is disk %d of a set, not the last one")},
    {zmOverwriteFile, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Overwrite previous file %s")},
    {zmOverwriteDisk, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Overwrite previous disk no %d")},
    {zmSfxNotSpannable, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "A self-extracting archive cannot be spread over disks")},
    {zmCentralEntryCopyError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying a central directory entry")},
    {zmEndRecordSeekError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Seek error at the end record")},
    {zmSfxCommentCopyError, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Error while copying the archive comment")},
    {zmFirstDiskOfSetUnlabelled, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "This is the first disk of a set; please insert the last disk")},
    {zmInsertDisk, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "Please insert disk volume %.1d")},
    {zmCentralDirectoryName, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "central directory")},
    {zmOldFileNotErased, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "%s cannot be erased; the new file is kept as %s")},
    {zmNewFileNotRenamed, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "The new file cannot be renamed to %s; it is kept as %s")},
    {zmDeletedDirectoryUnread, QT_TRANSLATE_NOOP("mirnax::TZipBuilder", "%s member(s) deleted from %s, but its directory cannot be read again")},
};

}  // namespace

std::optional<std::string> ZipMessageText(int ident) {
  const auto* found = std::lower_bound(std::begin(kMessages), std::end(kMessages), ident,
                                       [](const TMessage& m, int id) { return m.ident < id; });
  if (found == std::end(kMessages) || found->ident != ident) return std::nullopt;
  return QCoreApplication::translate("mirnax::TZipBuilder", found->text).toStdString();
}

std::string ZipMessageOrNotice(int ident) {
  return ZipMessageText(ident).value_or(ZipMsgMissingPrefix + std::to_string(ident));
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
