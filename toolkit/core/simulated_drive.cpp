#include "toolkit/core/simulated_drive.h"

#include <filesystem>

#include "toolkit/core/exceptions.h"

namespace mirnax {

namespace fs = std::filesystem;

namespace {
void MoveContents(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const auto& entry : fs::directory_iterator(from)) fs::rename(entry.path(), to / entry.path().filename());
}
}  // namespace

TSimulatedDrive::TSimulatedDrive(const std::string& folder, const std::string& label, int64_t capacity)
    : blankCapacity_(capacity), fallback_(&Disks()), previous_(SetDisks(this)) {
  fs::path p = fs::absolute(folder);
  fs::remove_all(p);
  fs::create_directories(p);
  root_ = fs::canonical(p).string() + "/";
  shelf_ = root_.substr(0, root_.size() - 1) + ".media";
  fs::remove_all(shelf_);
  media_.push_back({label, capacity});
}

TSimulatedDrive::~TSimulatedDrive() {
  SetDisks(previous_);
  std::error_code ec;
  fs::remove_all(shelf_, ec);
}

int TSimulatedDrive::AddMedium(const std::string& label, int64_t capacity) {
  media_.push_back({label, capacity});
  return MediumCount() - 1;
}

std::string TSimulatedDrive::FilesOf(int medium) const {
  return medium == current_ ? root_ : shelf_ + "/" + std::to_string(medium) + "/";
}

void TSimulatedDrive::Eject() {
  if (current_ >= 0) MoveContents(root_, shelf_ + "/" + std::to_string(current_));
  current_ = -1;
}

void TSimulatedDrive::Insert(int medium) {
  if (current_ >= 0) MoveContents(root_, shelf_ + "/" + std::to_string(current_));
  current_ = medium;
  const fs::path stored = shelf_ + "/" + std::to_string(medium);
  if (fs::exists(stored)) {
    MoveContents(stored, root_);
    fs::remove(stored);
  }
}

void TSimulatedDrive::DiskPromptAnswered(const std::string& root, const std::string& wantedLabel) {
  if (!Mine(root)) return fallback_->DiskPromptAnswered(root, wantedLabel);
  ++prompts_;
  if (!order_.empty()) {
    const int next = order_.front();
    order_.pop_front();
    return Insert(next);
  }
  // The user finds the disk asked for in the box, or the highest numbered one of a set when the
  // last disk is wanted; failing that, a blank one.
  int chosen = -1;
  for (int i = 0; i < MediumCount(); ++i) {
    const std::string& label = media_[static_cast<size_t>(i)].label;
    if (wantedLabel.empty() ? (label.compare(0, 8, "PKBACK# ") == 0 && (chosen < 0 || label > Label(chosen)))
                            : label == wantedLabel)
      chosen = i;
  }
  if (chosen < 0) chosen = AddMedium("", blankCapacity_);
  if (chosen != current_) Insert(chosen);
}

bool TSimulatedDrive::Mine(const std::string& path) const {
  std::error_code ec;
  std::string p = fs::weakly_canonical(fs::absolute(path.empty() ? "." : path, ec), ec).string();
  if (p.empty() || p.back() != '/') p += '/';
  return p.compare(0, root_.size(), root_) == 0;
}

int64_t TSimulatedDrive::Used() const {
  int64_t used = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root_))
    if (entry.is_regular_file()) used += static_cast<int64_t>(entry.file_size());
  return used;
}

std::string TSimulatedDrive::DriveRoot(const std::string& path) {
  return Mine(path) ? root_ : fallback_->DriveRoot(path);
}

TDriveType TSimulatedDrive::DriveType(const std::string& root) {
  return Mine(root) ? dtRemovable : fallback_->DriveType(root);
}

bool TSimulatedDrive::FreeAndSize(const std::string& root, int64_t& freeBytes, int64_t& sizeBytes) {
  if (!Mine(root)) return fallback_->FreeAndSize(root, freeBytes, sizeBytes);
  if (current_ < 0) return false;
  sizeBytes = media_[static_cast<size_t>(current_)].capacity;
  freeBytes = std::max<int64_t>(0, sizeBytes - Used());
  return true;
}

bool TSimulatedDrive::VolumeLabel(const std::string& root, std::string& label) {
  if (!Mine(root)) return fallback_->VolumeLabel(root, label);
  if (current_ < 0) return false;
  label = media_[static_cast<size_t>(current_)].label;
  return true;
}

bool TSimulatedDrive::SetVolumeLabel(const std::string& root, const std::string& label, std::string& error) {
  if (!Mine(root)) return fallback_->SetVolumeLabel(root, label, error);
  if (current_ < 0) {
    error = ExceptionText(QT_TRANSLATE_NOOP("mirnax::Exception", "No disk in the drive"));
    return false;
  }
  media_[static_cast<size_t>(current_)].label = label;
  return true;
}

bool TSimulatedDrive::Format(const std::string& root, const std::string& label, bool quick, std::string& error) {
  (void)quick;
  if (!Mine(root)) return fallback_->Format(root, label, quick, error);
  if (current_ < 0) {
    error = ExceptionText(QT_TRANSLATE_NOOP("mirnax::Exception", "No disk in the drive"));
    return false;
  }
  for (const auto& entry : fs::directory_iterator(root_)) fs::remove_all(entry.path());
  media_[static_cast<size_t>(current_)].label = label;
  ++formats_;
  return true;
}

}  // namespace mirnax
