#include "zip/zip_libraries.h"

#include "zip/zip_file_helpers.h"

#include <deque>
#include <memory>
#include <vector>

namespace mirnax {

using namespace zip_files;

namespace {
constexpr int kZipRecordVersion = 158;
constexpr int kUnzipRecordVersion = 152;
constexpr int kLastLongZipVersion = 150;
constexpr int kLastLongUnzipVersion = 151;
}  // namespace

bool TZipBuilder::LoadDll(TDll& dll) {
  try {
    if (!dll.library.Loaded()) {
      // DLLDirectory when it holds the library, else the program's folder, else the component
      // library's private folder, which the error names when no folder holds it.
      const std::string file = TLibrary::PlatformName(dll.fileName);
      const std::string privateFolder = PrivateFolder();
      std::string name = privateFolder.empty() ? file : privateFolder + "/" + file;
      for (const std::string& folder : {ToPlatformPath(dllDirectory_), ProgramFolder(), privateFolder}) {
        if (!folder.empty() && FileExistsNative(folder + "/" + file)) {
          name = folder + "/" + file;
          break;
        }
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

// ---- Command records ----

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

// Puts the file masks into the record: an array of entries in the compact form, the
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

int TZipBuilder::RunUnzipDll(const std::string& archive) {
  const bool compact = GetUnzVers() > kLastLongUnzipVersion;
  TRecord<UnzipCommandCompact, UnzipCommandLong> record(compact);
  unzRecord_ = record.Head();
  SetUnZipSwitches(archive);
  std::vector<UnzipFileSpec> entries;
  FillSpecs(record, entries, recordTexts_, fSpecArgs_);
  return reinterpret_cast<UnzDllExecFunc>(unzDll_->exec)(unzRecord_);
}

}  // namespace mirnax
