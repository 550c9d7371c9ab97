// The zip component's message numbers, as its string resources are numbered. ErrCode, the
// ResId of EZipBuilder and the message table (zip_messages.cpp) all speak of them by these names.
#pragma once

namespace mirnax {

/// The component's message numbers.
enum TZipMessageId : int {
  /// General.
  zmZipLibraryFailed = 10101,
  zmArchiveNotFound = 10102,
  zmNoMemory = 10103,
  zmPasswordsDiffer = 10104,
  zmCopying = 10105,
  zmNoAddPasswordPrompt = 10150,
  zmNoExtractPasswordPrompt = 10151,
  /// Reading the directory.
  zmDirectorySeekError = 10201,
  zmDirectoryReadError = 10202,
  zmDirectoryMoved = 10203,
  zmExtraBytesAtEnd = 10204,
  /// Add, Delete, Extract.
  zmNothingToAdd = 10301,
  zmNoEncryptionPassword = 10302,
  zmSpanWithFreshenOrUpdate = 10303,
  zmNothingToDelete = 10401,
  zmUnzipLibraryFailed = 10501,
  zmNoUnattendedPassword = 10502,
  /// Loading the two libraries.
  zmZipLibraryLoaded = 10601,
  zmZipLibraryNoExec = 10602,
  zmZipLibraryNoVersion = 10603,
  zmZipLibraryNotLoaded = 10604,
  zmUnzipLibraryLoaded = 10701,
  zmUnzipLibraryNoExec = 10702,
  zmUnzipLibraryNoVersion = 10703,
  zmUnzipLibraryNotLoaded = 10704,
  /// Self-extracting archives.
  zmSfxTextsTooLong = 10801,
  zmSfxStubNotFound = 10802,
  zmSfxNeedsZipExtension = 10803,
  zmSfxArchiveNotFound = 10901,
  zmSfxNeedsExeExtension = 10902,
  zmNoSfxInFront = 10903,
  /// Volumes, spanning and joining.
  zmArchiveCannotOpen = 11001,
  zmArchiveCannotOpenNoted = 11002,  // the same text, reported where the caller goes on
  zmNotValidDrive = 11003,
  zmDriveNotReady = 11004,
  zmLabelNotSet = 11005,
  zmNoFreeSpaceAnswer = 11006,
  zmCancelled = 11007,
  zmEndSeekError = 11008,
  zmOutputNotCreated = 11009,
  zmOutputWriteError = 11010,
  zmEndReadError = 11011,
  zmLocalHeaderUnreadable = 11012,
  zmCentralHeaderUnreadable = 11013,
  zmLocalHeaderBadSignature = 11014,
  zmCentralHeaderBadSignature = 11015,
  zmLocalNameUnreadable = 11016,
  zmCentralNameUnreadable = 11017,
  zmLocalExtraCopyError = 11018,
  zmCentralExtraCopyError = 11019,
  zmDescriptorCopyError = 11020,
  zmDataCopyError = 11021,
  zmFileCommentUnreadable = 11022,
  zmArchiveCommentCopyError = 11023,
  zmSpanError = 11024,
  zmPromptNotAllowed = 11025,
  zmMemberNotFound = 11026,
  zmNoTempName = 11027,
  zmJoinLocalWriteError = 11028,
  zmJoinCentralWriteError = 11029,
  zmJoinEndWriteError = 11030,
  zmNoSpanSignature = 11031,
  zmNotEnoughFreeSpace = 11032,
  zmInsertLastDisk = 11033,
  zmInsertDiskOf = 11034,
  zmInDrive = 11035,
  zmNotAZipArchive = 11036,
  zmFirstDiskOfSet = 11037,
  zmNotLastDisk = 11038,
  zmOverwriteFile = 11039,
  zmOverwriteDisk = 11040,
  zmSfxNotSpannable = 11041,
  zmCentralEntryCopyError = 11042,
  zmEndRecordSeekError = 11043,
  zmSfxCommentCopyError = 11044,
  zmFirstDiskOfSetUnlabelled = 11045,  // the same text, for a first volume without a label
  zmInsertDisk = 11046,
  zmCentralDirectoryName = 11047,
  zmOldFileNotErased = 11048,
  zmNewFileNotRenamed = 11049,
  zmDeletedDirectoryUnread = 11050,
};

}  // namespace mirnax
