/* The records that pass between TZipBuilder and its two archive libraries (libzipdll.so,
 * libunzdll.so). Plain C, shared by both sides. Every field is 32 bits unless its type says
 * otherwise; addresses are pointers, so on a 64-bit build each one takes 8 bytes and the fields
 * behind it move accordingly (a 32-bit build has the classic offsets). */
#ifndef MIRNAX_ZIP_RECORDS_H
#define MIRNAX_ZIP_RECORDS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/** Action codes of the callback record. */
enum {
  zaNewFile = 1,    /**< Size: the file's size, Text: its name */
  zaProgress = 2,   /**< Size: bytes done since the last report */
  zaEndOfBatch = 3,
  zaMessage = 4,    /**< ErrorCode, Text: the message */
  zaTotalFiles = 5, /**< Size: number of files to process */
  zaTotalSize = 6   /**< Size: bytes to process */
};

/** Longest text the callback record carries, terminating zero included. */
#define ZCB_TEXT_SIZE 1024

/** What a library reports through the callback: progress, a file, a message. */
typedef struct ZCallBackStruct {
  void* Handle;      /**< the window handle of the command record */
  void* Caller;      /**< the component that made the call */
  int32_t Reserved[2];  /**< unused, 0 */
  int32_t ActionCode;  /**< one of the action codes */
  int32_t ErrorCode; /**< of a message */
  int32_t Size;  /**< a size or count, as the action code says */
  char Text[ZCB_TEXT_SIZE]; /**< zero-terminated file name or message */
} ZCallBackStruct;

/** The callback a library calls with each report; non-zero asks it to stop. */
typedef int (*ZFunctionPtr)(ZCallBackStruct* record);

/** What both forms of the zip command record begin with. */
typedef struct ZipCommandHead {
  void* Handle;  /**< a window handle for the library's boxes */
  void* Caller;  /**< the component, handed back in every callback record */
  int32_t Version;         /**< 158 */
  ZFunctionPtr Callback;  /**< called for progress and messages */
  int32_t fTraceEnabled;  /**< trace the work */
  char* pZipPassword;  /**< the password of encrypted members */
  int32_t Reserved24;  /**< unused, 0 */
  int32_t fEncrypt;  /**< encrypt the members added */
  int32_t fSystem;         /**< hidden files too */
  int32_t fVolume;  /**< not read by the libraries; 0 */
  int32_t fExtra;  /**< not read by the libraries; 0 */
  int32_t fNoDirEntries;   /**< no entries of their own for folders */
  int32_t fDate;  /**< not read by the libraries; 0 */
  int32_t fVerbose;  /**< report every step */
  int32_t fQuiet;          /**< 1 */
  int32_t fLevel;          /**< compression level 0 to 9 */
  int32_t fComprSpecial;  /**< not read by the libraries; 0 */
  int32_t fCRLF_LF;  /**< not read by the libraries; 0 */
  int32_t fJunkDir;        /**< store names without their folders */
  uint16_t fRecurse;  /**< walk down the folders */
  uint16_t fGrow;  /**< not read by the libraries; 0 */
  int32_t fForce;          /**< 1 for Add, 0 for Delete */
  int32_t fForceDOS;       /**< 8.3 upper-case names */
  int32_t fMove;           /**< delete the files once added */
  int32_t fDeleteEntries;  /**< delete the named members instead of adding */
  int32_t fUpdate;         /**< new files, and newer copies of members */
  int32_t fFreshen;        /**< only newer copies of existing members */
  int32_t fJunkSFX;  /**< not read by the libraries; 0 */
  int32_t fLatestTime;     /**< the archive gets its newest member's time */
  int32_t Reserved112[2];  /**< unused, 0 */
  int32_t argc;            /**< number of file names or masks */
  char* pZipFN;            /**< the archive to write */
} ZipCommandHead;

/** One file mask of the compact form. */
typedef struct ZipFileSpec {
  char* FileSpec;  /**< a file name or wildcard */
  char Reserved[100];  /**< unused, 0 */
} ZipFileSpec;

/** Compact form, for a zip library whose version is above 150. */
typedef struct ZipCommandCompact {
  ZipCommandHead Head;  /**< the common part */
  char* pTempDir;          /**< 0: the system's temporary folder */
  int32_t Reserved132[2];  /**< unused, 0 */
  ZipFileSpec* FDefs;      /**< argc entries */
  char Reserved144[68];  /**< unused, 0 */
  int32_t Seven;           /**< 7 */
} ZipCommandCompact;

#define ZIP_MAX_SPECS 4097

/** Long form, for any other zip library. */
typedef struct ZipCommandLong {
  ZipCommandHead Head;  /**< the common part */
  int32_t Seven;           /**< 7 */
  char* FNV[ZIP_MAX_SPECS]; /**< argc file names or masks */
} ZipCommandLong;

/** What both forms of the unzip command record begin with. */
typedef struct UnzipCommandHead {
  void* Handle;  /**< a window handle for the library's boxes */
  void* Caller;  /**< the component, handed back in every callback record */
  int32_t Version;         /**< 152 */
  ZFunctionPtr Callback;  /**< called for progress and messages */
  int32_t fTraceEnabled;  /**< trace the work */
  uint16_t fCodePage;      /**< 0 automatic, 1 none, 2 OEM */
  uint16_t Reserved22;  /**< unused, 0 */
  char* pZipPassword;  /**< the password of encrypted members */
  int32_t fTest;           /**< check every member, write nothing */
  int32_t fComments;  /**< not read by the libraries; 0 */
  int32_t fConvert;  /**< not read by the libraries; 0 */
  int32_t fQuiet;          /**< 1 */
  int32_t fVerbose;  /**< report every step */
  int32_t fUpdate;         /**< new files, and newer copies of existing ones */
  int32_t fFreshen;        /**< only newer copies of existing files */
  int32_t fDirectories;    /**< recreate the stored folders */
  int32_t fOverwrite;      /**< replace existing files */
  int32_t argc;            /**< number of member names or masks */
  char* pZipFN;            /**< the archive to read */
} UnzipCommandHead;

/** One member name or mask of the compact form. */
typedef struct UnzipFileSpec {
  char* FileSpec;  /**< a member name or wildcard */
  char Reserved[68];  /**< unused, 0 */
} UnzipFileSpec;

/** Compact form, for an unzip library whose version is above 151. */
typedef struct UnzipCommandCompact {
  UnzipCommandHead Head;  /**< the common part */
  UnzipFileSpec* FDefs;  /**< argc entries */
  char Reserved76[68];  /**< unused, 0 */
  int32_t Seven;  /**< 7 */
} UnzipCommandCompact;

/** Long form, for any other unzip library. */
typedef struct UnzipCommandLong {
  UnzipCommandHead Head;  /**< the common part */
  int32_t Seven;  /**< 7 */
  char* FNV[ZIP_MAX_SPECS]; /**< argc member names or masks */
} UnzipCommandLong;

/** Entry points of the two libraries. */
typedef int32_t (*ZipDllExecFunc)(ZipCommandHead* record);
typedef int32_t (*GetZipDllVersionFunc)(void);
typedef int32_t (*UnzDllExecFunc)(UnzipCommandHead* record);
typedef int32_t (*GetUnzDllVersionFunc)(void);

#ifdef __cplusplus
}
#endif

#endif
