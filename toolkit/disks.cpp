#include "toolkit/disks.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QVariantMap>

#include <sys/statvfs.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

TDiskService* installed = nullptr;

struct TMount {
  std::string point;  // ends in '/'
  std::string fsType;
  std::string device;
};

// Undoes the octal escapes (\040 for a space) of a mountinfo field.
std::string Unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && std::isdigit(static_cast<unsigned char>(field[i + 1]))) {
      out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

std::vector<TMount> Mounts() {
  std::vector<TMount> mounts;
  std::ifstream in("/proc/self/mountinfo");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, parent, devNo, root, point, word;
    fields >> id >> parent >> devNo >> root >> point;
    // Optional fields end with a lone "-"; the file system type and the source follow.
    while (fields >> word && word != "-") {
    }
    TMount m;
    fields >> m.fsType >> m.device;
    m.point = Unescape(point);
    if (m.point.empty() || m.point.back() != '/') m.point += '/';
    m.device = Unescape(m.device);
    mounts.push_back(std::move(m));
  }
  return mounts;
}

// The mount that holds path: the longest mount point that is a prefix of its resolved folder.
bool MountOf(const std::string& path, TMount& found) {
  std::error_code error;
  fs::path p = fs::absolute(path.empty() ? "." : path, error);
  if (error) return false;
  p = fs::weakly_canonical(p, error);
  if (error) return false;
  std::string s = p.string();
  if (s.empty() || s.back() != '/') s += '/';
  size_t best = 0;
  bool any = false;
  // A later mount on the same point hides the earlier one.
  for (const TMount& m : Mounts()) {
    if (s.compare(0, m.point.size(), m.point) == 0 && m.point.size() >= best) {
      best = m.point.size();
      found = m;
      any = true;
    }
  }
  return any;
}

bool ReadFlag(const fs::path& file) {
  std::ifstream in(file);
  int flag = 0;
  return (in >> flag) && flag == 1;
}

// The udisks2 object of the block device behind a drive root.
QString BlockObject(const std::string& root, std::string& error) {
  TMount m;
  if (!MountOf(root, m) || m.device.compare(0, 5, "/dev/") != 0) {
    error = "No block device holds " + root;
    return {};
  }
  std::error_code ec;
  const fs::path device = fs::canonical(m.device, ec);
  if (ec) {
    error = "The device " + m.device + " cannot be found";
    return {};
  }
  return "/org/freedesktop/UDisks2/block_devices/" + QString::fromStdString(device.filename().string());
}

constexpr const char* kUdisks = "org.freedesktop.UDisks2";

bool UdisksReachable(std::string& error) {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) {
    error = "The system bus is not reachable, so disks cannot be labelled or formatted";
    return false;
  }
  if (bus.interface() == nullptr || !bus.interface()->isServiceRegistered(kUdisks).value()) {
    error = "The disk service udisks2 is not running, so disks cannot be labelled or formatted";
    return false;
  }
  return true;
}

// Calls a udisks2 method; false with the bus's reason on failure.
bool Call(const QString& object, const char* interfaceName, const char* method, const QVariantList& args,
          int timeoutMs, std::string& error, QVariant* result = nullptr) {
  QDBusInterface iface(kUdisks, object, interfaceName, QDBusConnection::systemBus());
  iface.setTimeout(timeoutMs);
  const QDBusMessage reply = iface.callWithArgumentList(QDBus::Block, method, args);
  if (reply.type() == QDBusMessage::ErrorMessage) {
    error = reply.errorMessage().toStdString();
    return false;
  }
  if (result != nullptr && !reply.arguments().isEmpty()) *result = reply.arguments().first();
  return true;
}

}  // namespace

TDiskService& Disks() {
  if (installed != nullptr) return *installed;
  static TLinuxDisks platform;
  return platform;
}

TDiskService* SetDisks(TDiskService* service) {
  TDiskService* previous = installed;
  installed = service;
  return previous;
}

TDriveType DriveTypeOfMount(const std::string& fsType, const std::string& device, const std::string& sysRoot) {
  static constexpr std::array kNetwork{"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "sshfs", "9p",
                                       "afs", "ncpfs", "fuse.rclone", "davfs", "fuse.davfs2", "ceph", "glusterfs"};
  if (std::find(kNetwork.begin(), kNetwork.end(), fsType) != kNetwork.end()) return dtRemote;
  if (device.compare(0, 5, "/dev/") == 0) {
    std::error_code ec;
    const fs::path real = fs::canonical(device, ec);
    const std::string name = ec ? fs::path(device).filename().string() : real.filename().string();
    // A partition's flag lives with its whole disk, the folder above the partition's own.
    const fs::path block = fs::path(sysRoot) / "class/block" / name;
    const fs::path resolved = fs::canonical(block, ec);
    if (!ec && (ReadFlag(resolved / "removable") || ReadFlag(resolved.parent_path() / "removable"))) return dtRemovable;
  }
  return dtFixed;
}

std::string TLinuxDisks::DriveRoot(const std::string& path) {
  TMount m;
  return MountOf(path, m) ? m.point : std::string();
}

TDriveType TLinuxDisks::DriveType(const std::string& root) {
  TMount m;
  if (!MountOf(root, m)) return dtNoRootDir;
  return DriveTypeOfMount(m.fsType, m.device, "/sys");
}

bool TLinuxDisks::FreeAndSize(const std::string& root, int64_t& freeBytes, int64_t& sizeBytes) {
  struct statvfs st {};
  if (::statvfs(root.c_str(), &st) != 0) return false;
  freeBytes = static_cast<int64_t>(st.f_bavail) * static_cast<int64_t>(st.f_frsize);
  sizeBytes = static_cast<int64_t>(st.f_blocks) * static_cast<int64_t>(st.f_frsize);
  return true;
}

bool TLinuxDisks::VolumeLabel(const std::string& root, std::string& label) {
  label.clear();
  TMount m;
  if (!MountOf(root, m)) return false;
  std::error_code ec;
  const fs::path device = fs::canonical(m.device, ec);
  if (ec) return true;  // not a block device: a medium without a label
  // udev keeps one link per labelled file system, its name the label with \xNN escapes.
  for (const auto& entry : fs::directory_iterator("/dev/disk/by-label", ec)) {
    std::error_code linkError;
    if (fs::canonical(entry.path(), linkError) != device || linkError) continue;
    const std::string name = entry.path().filename().string();
    for (size_t i = 0; i < name.size(); ++i) {
      if (name.compare(i, 2, "\\x") == 0 && i + 3 < name.size()) {
        label += static_cast<char>(std::stoi(name.substr(i + 2, 2), nullptr, 16));
        i += 3;
      } else {
        label += name[i];
      }
    }
    break;
  }
  return true;
}

bool TLinuxDisks::SetVolumeLabel(const std::string& root, const std::string& label, std::string& error) {
  if (!UdisksReachable(error)) return false;
  const QString object = BlockObject(root, error);
  if (object.isEmpty()) return false;
  return Call(object, "org.freedesktop.UDisks2.Filesystem", "SetLabel",
              {QString::fromStdString(label), QVariantMap()}, 30000, error);
}

bool TLinuxDisks::Format(const std::string& root, const std::string& label, bool quick, std::string& error) {
  if (!UdisksReachable(error)) return false;
  const QString object = BlockObject(root, error);
  if (object.isEmpty()) return false;
  // The file system keeps its type; one udisks2 cannot tell is made FAT, what removable disks carry.
  QDBusInterface block(kUdisks, object, "org.freedesktop.UDisks2.Block", QDBusConnection::systemBus());
  QString type = block.property("IdType").toString();
  if (type.isEmpty()) type = "vfat";
  if (!Call(object, "org.freedesktop.UDisks2.Filesystem", "Unmount", {QVariantMap()}, 60000, error)) return false;
  QVariantMap options{{"label", QString::fromStdString(label)}};
  if (!quick) options.insert("erase", "zero");
  // A whole format may take long; the caller runs it off the user-interface thread.
  if (!Call(object, "org.freedesktop.UDisks2.Block", "Format", {type, options}, 24 * 3600 * 1000, error))
    return false;
  return Call(object, "org.freedesktop.UDisks2.Filesystem", "Mount", {QVariantMap()}, 60000, error);
}
