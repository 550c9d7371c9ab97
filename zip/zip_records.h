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

/* Action codes of the callback record. */
enum {
  zaNewFile = 1,    /* Size: the file's size, Text: its name */
  zaProgress = 2,   /* Size: bytes done since the last report */
  zaEndOfBatch = 3,
  zaMessage = 4,    /* ErrorCode, Text: the message */
  zaTotalFiles = 5, /* Size: number of files to process */
  zaTotalSize = 6   /* Size: bytes to process */
};

/* Longest text the callback record carries, terminating zero included. */
#define ZCB_TEXT_SIZE 1024

typedef struct ZCallBackStruct {
  void* Handle;      /* the window handle of the command record */
  void* Caller;      /* the component that made the call */
  int32_t Reserved[2];
  int32_t ActionCode;
  int32_t ErrorCode; /* of a message */
  int32_t Size;
  char Text[ZCB_TEXT_SIZE]; /* zero-terminated file name or message */
} ZCallBackStruct;

/* Non-zero asks the library to stop. */
typedef int (*ZFunctionPtr)(ZCallBackStruct* record);

/* What both forms of the zip command record begin with. */
typedef struct ZipCommandHead {
  void* Handle;
  void* Caller;
  int32_t Version;         /* 158 */
  ZFunctionPtr Callback;
  int32_t fTraceEnabled;
  char* pZipPassword;
  int32_t Reserved24;
  int32_t fEncrypt;
  int32_t fSystem;         /* hidden files too */
  int32_t fVolume;
  int32_t fExtra;
  int32_t fNoDirEntries;   /* no entries of their own for folders */
  int32_t fDate;
  int32_t fVerbose;
  int32_t fQuiet;          /* 1 */
  int32_t fLevel;          /* compression level 0 to 9 */
  int32_t fComprSpecial;
  int32_t fCRLF_LF;
  int32_t fJunkDir;        /* store names without their folders */
  uint16_t fRecurse;
  uint16_t fGrow;
  int32_t fForce;          /* 1 for Add, 0 for Delete */
  int32_t fForceDOS;       /* 8.3 upper-case names */
  int32_t fMove;           /* delete the files once added */
  int32_t fDeleteEntries;  /* delete the named members instead of adding */
  int32_t fUpdate;         /* new files, and newer copies of members */
  int32_t fFreshen;        /* only newer copies of existing members */
  int32_t fJunkSFX;
  int32_t fLatestTime;     /* the archive gets its newest member's time */
  int32_t Reserved112[2];
  int32_t argc;            /* number of file specifications */
  char* pZipFN;            /* the archive to write */
} ZipCommandHead;

/* One file specification of the compact form. */
typedef struct ZipFileSpec {
  char* FileSpec;
  char Reserved[100];
} ZipFileSpec;

/* Compact form, for a zip library whose version is above 150. */
typedef struct ZipCommandCompact {
  ZipCommandHead Head;
  char* pTempDir;          /* 0: the system's temporary folder */
  int32_t Reserved132[2];
  ZipFileSpec* FDefs;      /* argc entries */
  char Reserved144[68];
  int32_t Seven;           /* 7 */
} ZipCommandCompact;

#define ZIP_MAX_SPECS 4097

/* Long form, for any other zip library. */
typedef struct ZipCommandLong {
  ZipCommandHead Head;
  int32_t Seven;           /* 7 */
  char* FNV[ZIP_MAX_SPECS];
} ZipCommandLong;

typedef struct UnzipCommandHead {
  void* Handle;
  void* Caller;
  int32_t Version;         /* 152 */
  ZFunctionPtr Callback;
  int32_t fTraceEnabled;
  uint16_t fCodePage;      /* 0 automatic, 1 none, 2 OEM */
  uint16_t Reserved22;
  char* pZipPassword;
  int32_t fTest;           /* check every member, write nothing */
  int32_t fComments;
  int32_t fConvert;
  int32_t fQuiet;          /* 1 */
  int32_t fVerbose;
  int32_t fUpdate;         /* new files, and newer copies of existing ones */
  int32_t fFreshen;        /* only newer copies of existing files */
  int32_t fDirectories;    /* recreate the stored folders */
  int32_t fOverwrite;      /* replace existing files */
  int32_t argc;
  char* pZipFN;            /* the archive to read */
} UnzipCommandHead;

typedef struct UnzipFileSpec {
  char* FileSpec;
  char Reserved[68];
} UnzipFileSpec;

/* Compact form, for an unzip library whose version is above 151. */
typedef struct UnzipCommandCompact {
  UnzipCommandHead Head;
  UnzipFileSpec* FDefs;
  char Reserved76[68];
  int32_t Seven;
} UnzipCommandCompact;

typedef struct UnzipCommandLong {
  UnzipCommandHead Head;
  int32_t Seven;
  char* FNV[ZIP_MAX_SPECS];
} UnzipCommandLong;

/* Entry points of the two libraries. */
typedef int32_t (*ZipDllExecFunc)(ZipCommandHead* record);
typedef int32_t (*GetZipDllVersionFunc)(void);
typedef int32_t (*UnzDllExecFunc)(UnzipCommandHead* record);
typedef int32_t (*GetUnzDllVersionFunc)(void);

#ifdef __cplusplus
}
#endif

#endif
