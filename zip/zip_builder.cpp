// The frame of the component: construction and properties, the libraries' callback, messages and
// boxes, passwords, names read from archives. Its other parts live in files named for them:
// zip_libraries (the two archive libraries), zip_operations (Add, Delete, Extract),
// zip_directory (List), zip_file_helpers, zip_volumes (disks and prompts), zip_span_writer and
// zip_span_joiner (spanning and joining), zip_sfx_conversion (self-extracting archives).
#include "zip/zip_builder.h"

#include "toolkit/core/dialogs.h"
#include "toolkit/core/palette.h"
#include "zip/zip_codec.h"
#include "zip/zip_desktop.h"
#include "zip/zip_libraries.h"
#include "zip/zip_message_ids.h"
#include "zip/zip_messages.h"

#include <QCoreApplication>

#include <algorithm>

namespace mirnax {

namespace {

namespace codec = zip_codec;

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

// The longest password a prompt takes.
constexpr size_t kMaxPasswordLength = 80;

}  // namespace

// ---- EZipBuilder ----

EZipBuilder::EZipBuilder(int ident, bool displayMsg) : Exception(ZipMessageOrNotice(ident)), DisplayMsg(displayMsg), ResId(ident) {}

EZipBuilder::EZipBuilder(int ident, int diskNo)
    : Exception(ZipMessageText(ident) ? FormatZipMessage(*ZipMessageText(ident), std::to_string(diskNo)) : ZipMessageOrNotice(ident)),
      DisplayMsg(true),
      ResId(ident) {}

EZipBuilder::EZipBuilder(int ident, const std::string& drive)
    : Exception(ZipMessageText(ident) ? FormatZipMessage(*ZipMessageText(ident), drive) : ZipMessageOrNotice(ident)),
      DisplayMsg(true),
      ResId(ident) {}

// ---- Construction and properties ----

TZipBuilder::TZipBuilder(TComponent* owner)
    : TComponent(owner),
      handle_(QCoreApplication::instance()),
      zipDll_(new TDll{"ZIPDLL.DLL", "ZipDllExec", "GetZipDllVersion", zmZipLibraryLoaded, zmZipLibraryNoExec,
                       zmZipLibraryNoVersion, zmZipLibraryNotLoaded, {}, nullptr, nullptr}),
      unzDll_(new TDll{"UNZDLL.DLL", "UnzDllExec", "GetUnzDllVersion", zmUnzipLibraryLoaded, zmUnzipLibraryNoExec,
                       zmUnzipLibraryNoVersion, zmUnzipLibraryNotLoaded, {}, nullptr, nullptr}) {}

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
    // Messages name files as this platform writes them; only progress names and the contents keep backslashes.
    std::string message = text;
    while (!message.empty() && static_cast<unsigned char>(message.back()) <= ' ') message.pop_back();
    self->message_ = message;
    // Only the low byte of a library's error code is kept, as a signed value.
    if (record->ErrorCode != 0) self->errCode_ = static_cast<int8_t>(record->ErrorCode & 0xFF);
    if (self->OnMessage) self->OnMessage(self, record->ErrorCode, message);
  }
  self->ProcessMessages();
  return self->cancel_ ? 1 : 0;
}

void TZipBuilder::Report(const std::string& text, bool show) {
  message_ = text;
  if (show && !unattended_) Dialogs().Message(text, ZipDesktop().BoxCaption(), mtInformation);
  if (OnMessage) OnMessage(this, 0, text);
}

std::string TZipBuilder::LoadZipStr(int ident, const std::string& defaultText) const {
  return ZipMessageText(ident).value_or(defaultText);
}

void TZipBuilder::ShowZipMessage(int ident, const std::string& userStr) {
  const std::string text = ZipMessageOrNotice(ident) + userStr;
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
  if (answer.size() > kMaxPasswordLength) return "";
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
  // Names from DOS, OS/2 and the NTFS of the 5.0 tools are in the OEM code page.
  const bool oemHost = hostNum_ == codec::kHostMsDos || hostNum_ == codec::kHostHpfs ||
                       (hostNum_ == codec::kHostNtfs && hostVer_ == 50);
  const bool convert = codePage_ == cpOEM || (codePage_ == cpAUTO && oemHost);
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
