#include "toolkit/core/disks.h"
#include "toolkit/core/disk_probes.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QVariantMap>

#include <blkid/blkid.h>

#include <sys/statvfs.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

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
  // Under a root that is no mount point of its own (a chroot made in a folder), mountinfo lists
  // only the mounts inside it, "/" not among them: what lies outside them is on the root's file
  // system, a fixed disk of unknown type and device.
  found = TMount{"/", "", ""};
  size_t best = 0;
  // A later mount on the same point hides the earlier one.
  for (const TMount& m : Mounts()) {
    if (s.compare(0, m.point.size(), m.point) == 0 && m.point.size() >= best) {
      best = m.point.size();
      found = m;
    }
  }
  return true;
}

bool ReadFlag(const fs::path& file) {
  std::ifstream in(file);
  int flag = 0;
  return (in >> flag) && flag == 1;
}

// The name in /dev ("sdb1") of the block device behind a drive root.
std::string DeviceOf(const std::string& root, std::string& error) {
  TMount m;
  if (!MountOf(root, m) || m.device.compare(0, 5, "/dev/") != 0) {
    error =
        Format(ExceptionText(QT_TRANSLATE_NOOP("mirnax::Exception", "No block device holds %s")).c_str(), root.c_str());
    return {};
  }
  std::error_code ec;
  const fs::path device = fs::canonical(m.device, ec);
  if (ec) {
    error = Format(ExceptionText(QT_TRANSLATE_NOOP("mirnax::Exception", "The device %s cannot be found")).c_str(),
                   m.device.c_str());
    return {};
  }
  return device.filename().string();
}

constexpr const char* kUdisks = "org.freedesktop.UDisks2";
constexpr const char* kBlock = "org.freedesktop.UDisks2.Block";
constexpr const char* kFilesystem = "org.freedesktop.UDisks2.Filesystem";
// A question to a running service; a format's own steps get longer.
constexpr int kQuestionMs = 1000;
constexpr int kMountMs = 60000;

// udisks2 names a device's object after it, each character but a letter or digit as _ and its
// hex code.
QString BlockObject(const std::string& device) {
  QString path = "/org/freedesktop/UDisks2/block_devices/";
  for (const unsigned char c : device) {
    if (std::isalnum(c)) path += QChar(c);
    else path += QString::asprintf("_%02x", c);
  }
  return path;
}

bool UdisksReachable(std::string& error) {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) {
    error = ExceptionText(QT_TRANSLATE_NOOP(
        "mirnax::Exception", "The system bus is not reachable, so disks cannot be labelled or formatted"));
    return false;
  }
  // Asked of the bus itself, which answers at once; a service that is not running is not started.
  QDBusMessage ask = QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                    "org.freedesktop.DBus", "NameHasOwner");
  ask << QString(kUdisks);
  const QDBusMessage reply = bus.call(ask, QDBus::Block, kQuestionMs);
  if (reply.type() != QDBusMessage::ReplyMessage || !reply.arguments().value(0).toBool()) {
    error = ExceptionText(QT_TRANSLATE_NOOP(
        "mirnax::Exception", "The disk service udisks2 is not running, so disks cannot be labelled or formatted"));
    return false;
  }
  return true;
}

// Calls a udisks2 method; false with the service's reason on failure.
bool Call(const QString& object, const QString& interfaceName, const QString& method, const QVariantList& args,
          int timeoutMs, std::string& error, QVariant* result = nullptr) {
  QDBusMessage call = QDBusMessage::createMethodCall(kUdisks, object, interfaceName, method);
  call.setArguments(args);
  const QDBusMessage reply = QDBusConnection::systemBus().call(call, QDBus::Block, timeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage) {
    error = reply.errorMessage().toStdString();
    if (error.empty())
      error = Format(ExceptionText(QT_TRANSLATE_NOOP("mirnax::Exception", "udisks2 did not answer %s")).c_str(),
                     method.toUtf8().constData());
    return false;
  }
  if (result != nullptr && !reply.arguments().isEmpty()) *result = reply.arguments().first();
  return true;
}

bool Property(const QString& object, const char* interfaceName, const char* name, QVariant& value,
              std::string& error) {
  QVariant reply;
  if (!Call(object, "org.freedesktop.DBus.Properties", "Get", {QString(interfaceName), QString(name)}, kQuestionMs,
            error, &reply))
    return false;
  value = reply.value<QDBusVariant>().variant();
  return true;
}

// Where the file system is mounted (its first mount point, ending in '/'), or empty.
std::string MountPointOf(const QString& object, std::string& error) {
  QVariant value;
  if (!Property(object, kFilesystem, "MountPoints", value, error)) return {};
  QByteArrayList points;
  if (value.userType() == qMetaTypeId<QDBusArgument>()) {
    const QDBusArgument argument = value.value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd()) {
      QByteArray point;
      argument >> point;
      points << point;
    }
    argument.endArray();
  } else {
    points = value.value<QByteArrayList>();
  }
  // Each point is sent with its terminating zero.
  if (points.isEmpty() || points.first().isEmpty()) return {};
  return IncludeTrailingPathDelimiter(points.first().constData());
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

TDriveType DriveTypeOfMount(const std::string& fsType, const std::string& device, const std::string& sysRoot,
                            const std::function<bool(const std::string&)>& askRemovable) {
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
    // Card readers and USB sticks often show a fixed disk to the kernel; their drive knows better.
    if (askRemovable && askRemovable(name)) return dtRemovable;
  }
  return dtFixed;
}

bool UdisksDriveRemovable(const std::string& device) {
  std::string error;
  if (!UdisksReachable(error)) return false;
  QVariant drive;
  if (!Property(BlockObject(device), kBlock, "Drive", drive, error)) return false;
  const QString driveObject = drive.value<QDBusObjectPath>().path();
  if (driveObject.isEmpty() || driveObject == "/") return false;
  for (const char* name : {"Removable", "MediaRemovable"}) {
    QVariant flag;
    if (Property(driveObject, "org.freedesktop.UDisks2.Drive", name, flag, error) && flag.toBool()) return true;
  }
  return false;
}

bool UdisksSetLabel(const std::string& device, const std::string& label, std::string& error) {
  if (!UdisksReachable(error)) return false;
  return Call(BlockObject(device), kFilesystem, "SetLabel", {QString::fromStdString(label), QVariantMap()}, kMountMs,
              error);
}

bool UdisksFormat(const std::string& device, const std::string& mountPoint, const std::string& label, bool quick,
                  std::string& error) {
  if (!UdisksReachable(error)) return false;
  const QString object = BlockObject(device);
  // The file system keeps its type; one udisks2 cannot tell is made FAT, what removable disks carry.
  QVariant type;
  if (!Property(object, kBlock, "IdType", type, error)) return false;
  const QString fsType = type.toString().isEmpty() ? QString("vfat") : type.toString();
  if (!Call(object, kFilesystem, "Unmount", {QVariantMap()}, kMountMs, error)) return false;
  QVariantMap options{{"label", QString::fromStdString(label)}};
  if (!quick) options.insert("erase", "zero");
  // A whole format may take long; the caller runs it off the user-interface thread.
  if (!Call(object, kBlock, "Format", {fsType, options}, 24 * 3600 * 1000, error)) return false;
  // The span goes on where the disk was: mounted again, unless the desktop already did.
  std::string mounted = MountPointOf(object, error);
  if (mounted.empty()) {
    QVariant path;
    std::string mountError;
    if (Call(object, kFilesystem, "Mount", {QVariantMap()}, kMountMs, mountError, &path))
      mounted = IncludeTrailingPathDelimiter(path.toString().toStdString());
    else
      mounted = MountPointOf(object, error);  // mounted meanwhile by someone else
    if (mounted.empty()) {
      error = Format(ExceptionText(QT_TRANSLATE_NOOP("mirnax::Exception",
                                                     "The disk was formatted but cannot be mounted again: %s"))
                         .c_str(),
                     mountError.c_str());
      return false;
    }
  }
  if (const std::string wanted = IncludeTrailingPathDelimiter(mountPoint); mounted != wanted) {
    error = Format(ExceptionText(QT_TRANSLATE_NOOP("mirnax::Exception",
                                                   "The disk was formatted but is now mounted at %s instead of "
                                                   "%s, so the span cannot go on there"))
                       .c_str(),
                   mounted.c_str(), wanted.c_str());
    return false;
  }
  return true;
}

bool BlkidLabel(const std::string& devicePath, std::string& label) {
  label.clear();
  if (blkid_probe probe = blkid_new_probe_from_filename(devicePath.c_str())) {
    blkid_probe_enable_superblocks(probe, 1);
    blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_LABEL | BLKID_SUBLKS_TYPE);
    const char* value = nullptr;
    const bool probed = blkid_do_safeprobe(probe) == 0;
    if (probed && blkid_probe_lookup_value(probe, "LABEL", &value, nullptr) == 0) label = value;
    blkid_free_probe(probe);
    if (probed) return true;
  }
  // Without read access to the device, blkid's cache of the last probe (made by a privileged
  // blkid run) may still know it; only looked up, never updated from here.
  blkid_cache cache = nullptr;
  if (blkid_get_cache(&cache, nullptr) != 0) return false;
  bool known = false;
  if (blkid_dev dev = blkid_get_dev(cache, devicePath.c_str(), BLKID_DEV_FIND)) {
    known = true;
    blkid_tag_iterate tags = blkid_tag_iterate_begin(dev);
    const char* type = nullptr;
    const char* value = nullptr;
    while (blkid_tag_next(tags, &type, &value) == 0)
      if (std::strcmp(type, "LABEL") == 0) label = value;
    blkid_tag_iterate_end(tags);
  }
  blkid_put_cache(cache);
  return known;
}

std::string TLinuxDisks::DriveRoot(const std::string& path) {
  TMount m;
  return MountOf(path, m) ? m.point : std::string();
}

TDriveType TLinuxDisks::DriveType(const std::string& root) {
  TMount m;
  if (!MountOf(root, m)) return dtNoRootDir;
  return DriveTypeOfMount(m.fsType, m.device, "/sys", UdisksDriveRemovable);
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
    return true;
  }
  // No link: a label udev did not publish, or none; the file system itself says which.
  BlkidLabel(device.string(), label);
  return true;
}

bool TLinuxDisks::SetVolumeLabel(const std::string& root, const std::string& label, std::string& error) {
  const std::string device = DeviceOf(root, error);
  return !device.empty() && UdisksSetLabel(device, label, error);
}

bool TLinuxDisks::Format(const std::string& root, const std::string& label, bool quick, std::string& error) {
  const std::string device = DeviceOf(root, error);
  return !device.empty() && UdisksFormat(device, DriveRoot(root), label, quick, error);
}

}  // namespace mirnax
