#include "zip/zip_builder.h"

#include "toolkit/core/dialogs.h"
#include "toolkit/core/disks.h"
#include "toolkit/core/paths.h"
#include "zip/zip_codec.h"
#include "zip/zip_desktop.h"
#include "zip/zip_directory.h"
#include "zip/zip_file_helpers.h"
#include "zip/zip_message_ids.h"
#include "zip/zip_messages.h"
#include "toolkit/core/palette.h"

#include <QCoreApplication>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <unordered_map>
#include <cerrno>
#include <cstring>
#include <new>
#include <deque>
#include <filesystem>

namespace mirnax {

using namespace zip_files;
using namespace zip_directory;

namespace {

namespace codec = zip_codec;

// Spanning and joining move whole archives: large blocks keep them near the speed of a plain copy.
constexpr int kSpanBufferSize = 1 << 20;
constexpr int64_t kKernelCopyBlock = 8 << 20;
constexpr int kZipRecordVersion = 158;
constexpr int kUnzipRecordVersion = 152;
constexpr int kLastLongZipVersion = 150;
constexpr int kLastLongUnzipVersion = 151;
constexpr auto kSfxHeaderSize = static_cast<int64_t>(codec::kSfxHeaderSize);


// The characters 0x80 to 0xFF of the OEM code page 437.
constexpr char16_t kCp437High[129] =
    u"ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒáíóúñÑªº¿⌐¬½¼¡«»░▒▓│┤╡╢╖╕╣║╗╝╜╛┐"
    u"└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00A0";

void AppendUtf8(std::string& out, char16_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string ExceptionText(int ident) {
  return ZipMessageText(ident).value_or(ZipMsgMissingPrefix + std::to_string(ident));
}

}  // namespace

// ---- EZipBuilder ----

EZipBuilder::EZipBuilder(int ident, bool displayMsg) : Exception(ExceptionText(ident)), DisplayMsg(displayMsg), ResId(ident) {}

EZipBuilder::EZipBuilder(int ident, int diskNo)
    : Exception(ZipMessageText(ident) ? FormatZipMessage(*ZipMessageText(ident), std::to_string(diskNo)) : ExceptionText(ident)),
      DisplayMsg(true),
      ResId(ident) {}

EZipBuilder::EZipBuilder(int ident, const std::string& drive)
    : Exception(ZipMessageText(ident) ? FormatZipMessage(*ZipMessageText(ident), drive) : ExceptionText(ident)),
      DisplayMsg(true),
      ResId(ident) {}

// ---- Construction and properties ----

struct TZipBuilder::TDll {
  const char* fileName;   // as the component names it
  const char* execName;
  const char* versionName;
  int loadedMsg, noExecMsg, noVersionMsg, noLoadMsg;
  TLibrary library;
  void* exec = nullptr;
  void* version = nullptr;
};

TZipBuilder::TZipBuilder(TComponent* owner)
    : TComponent(owner),
      handle_(QCoreApplication::instance()),
      zipDll_(new TDll{"ZIPDLL.DLL", "ZipDllExec", "GetZipDllVersion", zmZipLibraryLoaded, zmZipLibraryNoExec, zmZipLibraryNoVersion, zmZipLibraryNotLoaded, {}, nullptr, nullptr}),
      unzDll_(new TDll{"UNZDLL.DLL", "UnzDllExec", "GetUnzDllVersion", zmUnzipLibraryLoaded, zmUnzipLibraryNoExec, zmUnzipLibraryNoVersion, zmUnzipLibraryNotLoaded, {}, nullptr, nullptr}) {}

TZipBuilder::~TZipBuilder() {
  FreeZipDirEntryRecords();
  CloseArchiveFile();
}

void TZipBuilder::SetZipFileName(const std::string& value) {
  zipFileName_ = value;
  if (!Designing()) List();
}

void TZipBuilder::SetDLLDirectory(const std::string& value) {
  if (value == dllDirectory_) return;
  dllDirectory_ = value;
  if (!dllDirectory_.empty() && (dllDirectory_.back() == '\\' || dllDirectory_.back() == '/')) dllDirectory_.pop_back();
}

void TZipBuilder::SetKeepFreeOnDisk1(int64_t value) {
  if (value >= 0) keepFreeOnDisk1_ = value;
}

void TZipBuilder::SetMaxVolumeSize(int64_t value) {
  if (value >= 0) maxVolumeSize_ = value;
}

void TZipBuilder::SetMinFreeVolumeSize(int64_t value) {
  if (value >= 1) minFreeVolumeSize_ = value;
}

// ---- Libraries ----

bool TZipBuilder::LoadDll(TDll& dll) {
  try {
    if (!dll.library.Loaded()) {
      std::string name = dll.fileName;
      if (!dllDirectory_.empty()) {
        const std::string full = ToPlatformPath(dllDirectory_) + "/" + TLibrary::PlatformName(dll.fileName);
        if (FileExistsNative(full)) name = full;
      }
      if (!dll.library.Load(name)) {
        ShowZipMessage(dll.noLoadMsg, "\n" + dll.library.Error());
        return false;
      }
      if (trace_) ShowZipMessage(dll.loadedMsg, TLibrary::PlatformName(name));
      dll.exec = dll.library.Symbol(dll.execName);
      dll.version = dll.library.Symbol(dll.versionName);
      if (dll.exec == nullptr) ShowZipMessage(dll.noExecMsg, "");
      if (dll.version == nullptr) ShowZipMessage(dll.noVersionMsg, "");
    }
  } catch (...) {
  }
  return dll.library.Loaded();
}

void TZipBuilder::UnloadDll(TDll& dll) {
  dll.library.Unload();
  dll.exec = nullptr;
  dll.version = nullptr;
}

void TZipBuilder::Load_Zip_Dll() { LoadDll(*zipDll_); }
void TZipBuilder::Load_Unz_Dll() { LoadDll(*unzDll_); }
void TZipBuilder::Unload_Zip_Dll() { UnloadDll(*zipDll_); }
void TZipBuilder::Unload_Unz_Dll() { UnloadDll(*unzDll_); }

int TZipBuilder::GetVers(TDll& dll) {
  const bool wasLoaded = dll.library.Loaded();
  if (!wasLoaded && !LoadDll(dll)) return 0;
  int version = 0;
  if (dll.version != nullptr) version = reinterpret_cast<int32_t (*)()>(dll.version)();
  if (!wasLoaded) UnloadDll(dll);
  return version;
}

int TZipBuilder::GetZipVers() { return GetVers(*zipDll_); }
int TZipBuilder::GetUnzVers() { return GetVers(*unzDll_); }

// ---- Callback and messages ----

void TZipBuilder::ProcessMessages() const {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

int TZipBuilder::ZCallback(ZCallBackStruct* record) {
  auto* self = static_cast<TZipBuilder*>(record->Caller);
  if (self == nullptr) return 0;
  record->Text[sizeof record->Text - 1] = 0;
  const std::string text = record->Text;
  if (self->OnProgress) {
    switch (record->ActionCode) {
      case zaNewFile: self->OnProgress(self, ptNewFile, ReplaceForwardSlash(text), record->Size); break;
      case zaProgress: self->OnProgress(self, ptUpdate, "", record->Size); break;
      case zaEndOfBatch: self->OnProgress(self, ptEndOfBatch, "", 0); break;
      case zaTotalFiles: self->OnProgress(self, ptTotalFiles, "", record->Size); break;
      case zaTotalSize: self->OnProgress(self, ptTotalSize, "", record->Size); break;
      default: break;
    }
  }
  if (record->ActionCode == zaMessage) {
    std::string message = ReplaceForwardSlash(text);
    while (!message.empty() && static_cast<unsigned char>(message.back()) <= ' ') message.pop_back();
    self->message_ = message;
    // Only the low byte of a library's error code is kept, as a signed value.
    if (record->ErrorCode != 0) self->errCode_ = static_cast<int8_t>(record->ErrorCode & 0xFF);
    if (self->OnMessage) self->OnMessage(self, record->ErrorCode, message);
  }
  self->ProcessMessages();
  return self->cancel_ ? 1 : 0;
}

namespace {
// The caption of every box the component shows that has no caption of its own.
std::string OwnerTitle() { return ZipDesktop().BoxCaption(); }
}  // namespace

void TZipBuilder::Report(const std::string& text, bool show) {
  message_ = text;
  if (show && !unattended_) Dialogs().Message(text, OwnerTitle(), mtInformation);
  if (OnMessage) OnMessage(this, 0, text);
}

std::string TZipBuilder::LoadZipStr(int ident, const std::string& defaultText) const {
  return ZipMessageText(ident).value_or(defaultText);
}

void TZipBuilder::ShowZipMessage(int ident, const std::string& userStr) {
  const std::string text = LoadZipStr(ident, ZipMsgMissingPrefix + std::to_string(ident)) + userStr;
  errCode_ = ident;
  Report(text, true);
}

void TZipBuilder::ShowExceptionError(const EZipBuilder& error) {
  errCode_ = error.ResId;
  Report(error.Message, error.DisplayMsg);
}

// ---- Passwords ----

std::string TZipBuilder::GetPassword(int type) {
  std::string prompt = type == 0 ? "Confirm Password" : "Enter Password";
  if (type == 2) prompt += " for New Archive";
  std::string answer;
  if (!Dialogs().InputQuery("Password", prompt, answer)) return "";
  if (answer.size() > 80) return "";
  return answer;
}

std::string TZipBuilder::GetAddPassword() {
  if (unattended_) {
    ShowZipMessage(zmNoAddPasswordPrompt, "");
    return "";
  }
  password_.clear();
  const std::string first = GetPassword(2);
  if (first.empty()) return "";
  const std::string second = GetPassword(0);
  if (second.empty()) return "";
  if (first == second)
    password_ = first;
  else
    ShowZipMessage(zmPasswordsDiffer, "");
  return password_;
}

std::string TZipBuilder::GetExtrPassword() {
  if (unattended_) {
    ShowZipMessage(zmNoExtractPasswordPrompt, "");
    return "";
  }
  password_ = GetPassword(1);
  return password_;
}

// ---- Strings ----

void TZipBuilder::ConvertOem2Iso(std::string& text, bool utf8Flagged) const {
  if (utf8Flagged || codePage_ == cpNone) return;
  const bool convert = codePage_ == cpOEM ||
                       (codePage_ == cpAUTO && (hostNum_ == 0 || hostNum_ == 6 || (hostNum_ == 11 && hostVer_ == 50)));
  if (!convert) return;
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80)
      out += c;
    else
      AppendUtf8(out, kCp437High[b - 0x80]);
  }
  text.swap(out);
}

std::string TZipBuilder::AppendSlash(const std::string& s) {
  if (s.empty() || s.back() == '\\') return s;
  return s + "\\";
}

std::string TZipBuilder::ReplaceForwardSlash(const std::string& s) {
  std::string out = s;
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

// ---- Records ----

void TZipBuilder::SetZipSwitches(const std::string& archive) {
  ZipCommandHead& r = *zipRecord_;
  auto text = [this](const std::string& s) {
    recordTexts_.push_back(s);
    return recordTexts_.back().data();
  };
  r.Handle = handle_;
  r.Caller = this;
  r.Version = kZipRecordVersion;
  r.Callback = &TZipBuilder::ZCallback;
  r.fTraceEnabled = trace_;
  r.pZipPassword = text(password_);
  r.fEncrypt = addOptions_.Contains(AddEncrypt);
  r.fSystem = addOptions_.Contains(AddHiddenFiles);
  r.fNoDirEntries = !addOptions_.Contains(AddSeparateDirs);
  r.fVerbose = verbose_ || trace_;
  r.fQuiet = 1;
  r.fLevel = addCompLevel_;
  r.fJunkDir = !addOptions_.Contains(AddDirNames);
  r.fRecurse = addOptions_.Contains(AddRecurseDirs);
  r.fForce = 1;
  r.fForceDOS = addOptions_.Contains(AddForceDOS);
  r.fMove = addOptions_.Contains(AddMove);
  r.fUpdate = addOptions_.Contains(AddUpdate);
  r.fFreshen = addOptions_.Contains(AddFreshen) && !addOptions_.Contains(AddUpdate);
  r.fLatestTime = addOptions_.Contains(AddZipTime);
  r.pZipFN = text(archive);
}

void TZipBuilder::SetUnZipSwitches(const std::string& archive) {
  UnzipCommandHead& r = *unzRecord_;
  r.Handle = handle_;
  r.Caller = this;
  r.Version = kUnzipRecordVersion;
  r.Callback = &TZipBuilder::ZCallback;
  r.fTraceEnabled = trace_;
  r.fCodePage = static_cast<uint16_t>(codePage_);
  recordTexts_.push_back(password_);
  r.pZipPassword = recordTexts_.back().data();
  r.fTest = extrOptions_.Contains(ExtrTest);
  r.fQuiet = 1;
  r.fVerbose = verbose_ || trace_;
  r.fUpdate = extrOptions_.Contains(ExtrUpdate);
  r.fFreshen = extrOptions_.Contains(ExtrFreshen) && !extrOptions_.Contains(ExtrUpdate);
  r.fDirectories = extrOptions_.Contains(ExtrDirNames);
  r.fOverwrite = extrOptions_.Contains(ExtrOverWrite);
  recordTexts_.push_back(archive);
  r.pZipFN = recordTexts_.back().data();
}

std::string TZipBuilder::TempZipName() {
  std::string folder = tempDir_.empty() ? "" : ToPlatformPath(AppendSlash(tempDir_));
  if (folder.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    folder = std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/";
  }
  std::string name = folder + "zipXXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) throw EZipBuilder(zmNoTempName, true);
  ::close(fd);
  // The library is to start a new archive under this name.
  ::unlink(name.c_str());
  return name;
}

bool TZipBuilder::ArchiveEncrypted() const {
  return std::any_of(zipContents_.begin(), zipContents_.end(), [](const ZipDirEntry& e) { return (e.Flag & codec::kEncryptedFlag) != 0; });
}

namespace {

// The record of one library call, zero-filled, in the compact or the long form.
template <class Compact, class Long>
struct TRecord {
  std::unique_ptr<Compact> compact;
  std::unique_ptr<Long> longForm;
  explicit TRecord(bool useCompact) {
    if (useCompact)
      compact = std::make_unique<Compact>();
    else
      longForm = std::make_unique<Long>();
  }
  auto* Head() { return compact ? &compact->Head : &longForm->Head; }
};

// Puts the specifications into the record: an array of entries in the compact form, the
// addresses themselves in the long one.
template <class Spec, class Compact, class Long>
void FillSpecs(TRecord<Compact, Long>& record, std::vector<Spec>& entries, std::deque<std::string>& texts,
               const TStrings& specs) {
  if (record.compact) entries.resize(static_cast<size_t>(specs.Count()));
  for (int i = 0; i < specs.Count(); ++i) {
    texts.push_back(ToPlatformPath(specs.Get(i)));
    if (record.compact)
      entries[static_cast<size_t>(i)].FileSpec = texts.back().data();
    else if (i < ZIP_MAX_SPECS)
      record.longForm->FNV[i] = texts.back().data();
  }
  if (record.compact) {
    record.compact->FDefs = entries.data();
    record.compact->Seven = 7;
  } else {
    record.longForm->Seven = 7;
  }
  record.Head()->argc = specs.Count();
}

}  // namespace

int TZipBuilder::RunZipDll(const std::string& target, bool deleting) {
  const bool compact = GetZipVers() > kLastLongZipVersion;
  TRecord<ZipCommandCompact, ZipCommandLong> record(compact);
  zipRecord_ = record.Head();
  SetZipSwitches(target);
  if (deleting) {
    zipRecord_->fDeleteEntries = 1;
    zipRecord_->fForce = 0;
    zipRecord_->fJunkDir = 0;
    zipRecord_->fMove = 0;
    zipRecord_->fFreshen = 0;
    zipRecord_->fUpdate = 0;
    zipRecord_->fRecurse = 0;
    zipRecord_->fEncrypt = 0;
  }
  if (compact && !tempDir_.empty()) {
    recordTexts_.push_back(ToPlatformPath(tempDir_));
    record.compact->pTempDir = recordTexts_.back().data();
  }
  std::vector<ZipFileSpec> entries;
  FillSpecs(record, entries, recordTexts_, fSpecArgs_);
  const int count = reinterpret_cast<ZipDllExecFunc>(zipDll_->exec)(zipRecord_);
  zipRecord_ = nullptr;
  return count;
}

void TZipBuilder::ResetOutcome() {
  errCode_ = 0;
  successCnt_ = 0;
  message_.clear();
}

void TZipBuilder::Add() {
  ResetOutcome();
  if (fSpecArgs_.Count() == 0) return ShowZipMessage(zmNothingToAdd, "");
  if (zipFileName_.empty()) return ShowZipMessage(zmArchiveNotFound, "");
  if (unattended_ && addOptions_.Contains(AddEncrypt) && password_.empty()) return ShowZipMessage(zmNoEncryptionPassword, "");
  if (zipBusy_) return;
  cancel_ = false;
  if (HasExtension(zipFileName_, ".exe") && zipSOC_ == 0 && !FileExistsNative(zipFileName_) &&
      ConvertSFX(true) != 0)
    return;
  // Encryption without a password asks for one; no answer adds nothing.
  if (addOptions_.Contains(AddEncrypt) && password_.empty() && GetAddPassword().empty()) return;
  const bool unload = !zipDll_->library.Loaded();
  if (unload && !LoadDll(*zipDll_)) return;
  const bool spanning = addOptions_.Contains(AddDiskSpan) || addOptions_.Contains(AddDiskSpanErase);
  std::string target = ToPlatformPath(zipFileName_);
  std::string sfxPrefix;
  try {
    if (!spanning && HasExtension(zipFileName_, ".exe") && FileExistsNative(zipFileName_))
      sfxPrefix = TakeOutSfxArchive(target);
    if (spanning) {
      if (addOptions_.Contains(AddFreshen) || addOptions_.Contains(AddUpdate)) throw EZipBuilder(zmSpanWithFreshenOrUpdate, true);
      if (HasExtension(zipFileName_, ".exe")) throw EZipBuilder(zmSfxNotSpannable, true);
      target = TempZipName();
      if (verbose_ && OnMessage) OnMessage(this, 0, "Temporary zipfile: " + target);
    }
    if (zipDll_->exec != nullptr) {
      zipBusy_ = true;
      try {
        successCnt_ = RunZipDll(target, false);
        if (successCnt_ > 0 && spanning && WriteSpan(target, zipFileName_) != 0) successCnt_ = 0;
        if (successCnt_ > 0 && !sfxPrefix.empty() && !PutBehindPrefix(sfxPrefix, target, zipFileName_)) {
          successCnt_ = 0;
          ShowZipMessage(zmZipLibraryFailed, "");
        }
      } catch (...) {
        ShowZipMessage(zmZipLibraryFailed, "");
      }
      if (spanning || !sfxPrefix.empty()) ::unlink(target.c_str());
    }
  } catch (const EZipBuilder& e) {
    ShowExceptionError(e);
  }
  cancel_ = false;
  EndZipCall(unload);
}

void TZipBuilder::Delete() {
  ResetOutcome();
  if (fSpecArgs_.Count() == 0) return ShowZipMessage(zmNothingToDelete, "");
  if (!FileExistsNative(zipFileName_)) return ShowZipMessage(zmArchiveNotFound, "");
  if (zipBusy_) return;
  cancel_ = false;
  const bool unload = !zipDll_->library.Loaded();
  if (unload && !LoadDll(*zipDll_)) return;
  if (zipDll_->exec != nullptr) {
    zipBusy_ = true;
    try {
      successCnt_ = RunZipDll(ToPlatformPath(zipFileName_), true);
    } catch (...) {
      ShowZipMessage(zmZipLibraryFailed, "");
    }
  }
  EndZipCall(unload);
}

void TZipBuilder::EndZipCall(bool unload) {
  fSpecArgs_.Clear();
  zipRecord_ = nullptr;
  recordTexts_.clear();
  if (unload) UnloadDll(*zipDll_);
  zipBusy_ = false;
  if (successCnt_ > 0) List();
}

void TZipBuilder::Extract() {
  ResetOutcome();
  if (!FileExistsNative(zipFileName_)) return ShowZipMessage(zmArchiveNotFound, "");
  cancel_ = false;
  if (unzBusy_) return;
  if (unattended_ && addOptions_.Contains(AddEncrypt) && password_.empty()) {
    // A password no one would choose, so that the library never waits for one.
    password_ = std::string(79, static_cast<char>('A' + 6));
    ShowZipMessage(zmNoUnattendedPassword, "");
  } else if (!unattended_ && password_.empty() && ArchiveEncrypted()) {
    GetExtrPassword();
  }
  const bool unload = !unzDll_->library.Loaded();
  if (unload && !LoadDll(*unzDll_)) return;
  // The archive is named from the current folder, which the extraction may change.
  std::error_code error;
  std::string source = std::filesystem::absolute(ToPlatformPath(zipFileName_), error).string();
  if (error) source = ToPlatformPath(zipFileName_);
  std::string joined;
  bool ready = unzDll_->exec != nullptr;
  if (ready && totalDisks_ != 0) {
    joined = tempDir_.empty() ? std::string("/tmp/") : ToPlatformPath(AppendSlash(tempDir_));
    if (ReadSpan(zipFileName_, joined) != 0) ready = false;
    source = joined;
  }
  if (ready) {
    unzBusy_ = true;
    // The library extracts into the current folder; the caller's is given back afterwards, so
    // relative names (the archive's among them) keep meaning what they meant.
    const int callerFolder = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::string base = ToPlatformPath(extrBaseDir_);
    struct stat st;
    if (!base.empty() && ::stat(base.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::chdir(base.c_str()) != 0)
      ShowZipMessage(zmUnzipLibraryFailed, "\n" + base + ": " + std::strerror(errno));
    try {
      const bool compact = GetUnzVers() > kLastLongUnzipVersion;
      TRecord<UnzipCommandCompact, UnzipCommandLong> record(compact);
      unzRecord_ = record.Head();
      SetUnZipSwitches(source);
      std::vector<UnzipFileSpec> entries;
      FillSpecs(record, entries, recordTexts_, fSpecArgs_);
      successCnt_ = reinterpret_cast<UnzDllExecFunc>(unzDll_->exec)(unzRecord_);
    } catch (...) {
      ShowZipMessage(zmUnzipLibraryFailed, "");
    }
    if (!joined.empty()) ::unlink(joined.c_str());
    if (callerFolder >= 0) {
      if (::fchdir(callerFolder) != 0) ShowZipMessage(zmUnzipLibraryFailed, std::string("\n") + std::strerror(errno));
      ::close(callerFolder);
    }
  }
  fSpecArgs_.Clear();
  unzRecord_ = nullptr;
  recordTexts_.clear();
  if (unload) UnloadDll(*unzDll_);
  cancel_ = false;
  unzBusy_ = false;
}

void TZipBuilder::Progress(ProgressType type, const std::string& name, int64_t size) {
  if (OnProgress) OnProgress(this, type, name, size);
}

void zip_builder::Register() {
  RegisterComponents("Components",
                     {{.ClassName = "mirnax::TZipBuilder",
                       .Header = "zip/zip_builder.h",
                       .ToolTip = "Zip archive component (non-visual)",
                       .Description = "Lists, creates, updates and extracts zip archives through the archive "
                                      "libraries, spans archives over volumes and makes self-extracting archives.",
                       .Create = {}}});
}

}  // namespace mirnax
