// The disk service: drive types from a mount's file system, its device's removable flag and
// udisks2, the drive of a path, labels read by libblkid, and labelling and formatting through a
// udisks2 of our own on a private bus (so that no test needs the real one or root).
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include "toolkit/core/disk_probes.h"
#include "toolkit/core/disks.h"
#include "toolkit/core/simulated_drive.h"

using mirnax::BlkidLabel;
using mirnax::Disks;
using mirnax::DriveTypeOfMount;
using mirnax::TDiskService;
using mirnax::TLinuxDisks;
using mirnax::TSimulatedDrive;
using mirnax::UdisksDriveRemovable;
using mirnax::UdisksFormat;
using mirnax::UdisksSetLabel;
using mirnax::dtFixed;
using mirnax::dtRemote;
using mirnax::dtRemovable;

namespace {
const QString kBlock = "/org/freedesktop/UDisks2/block_devices/sdz1";
const QString kDrive = "/org/freedesktop/UDisks2/drives/Stick";

// udisks2 as far as the disk service uses it: one drive holding the block device sdz1. It answers
// on a thread of its own, since the service's calls block the test's thread.
class TFakeUdisks : public QDBusVirtualObject {
 public:
  bool removable = false, mediaRemovable = false;
  QByteArray mountedAt;      // empty: not mounted
  QByteArray mountTo;        // where Mount mounts it; empty: Mount fails
  bool desktopMounts = false;  // the desktop mounts a new file system at mountTo by itself
  QStringList calls;
  QVariantMap formatOptions;

  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& m, const QDBusConnection& bus) override {
    const QString member = m.member();
    const QList<QVariant> args = m.arguments();
    calls << m.path().section('/', -1) + "." + member;
    QDBusMessage reply = m.createReply();
    if (member == "Get") {
      const QString name = args.value(1).toString();
      QVariant value;
      if (name == "Drive") value = QVariant::fromValue(QDBusObjectPath(kDrive));
      else if (name == "IdType") value = QString("vfat");
      else if (name == "Removable") value = removable;
      else if (name == "MediaRemovable") value = mediaRemovable;
      else if (name == "MountPoints") {
        QDBusArgument points;
        points.beginArray(QMetaType::fromType<QByteArray>());
        if (!mountedAt.isEmpty()) points << mountedAt + '\0';
        points.endArray();
        value = QVariant::fromValue(points);
      }
      reply = m.createReply(QVariant::fromValue(QDBusVariant(value)));
    } else if (member == "Unmount") {
      mountedAt.clear();
    } else if (member == "Format") {
      formatOptions = qdbus_cast<QVariantMap>(args.value(1));
      if (desktopMounts) mountedAt = mountTo;
    } else if (member == "Mount") {
      if (mountTo.isEmpty()) {
        reply = m.createErrorReply("org.freedesktop.UDisks2.Error.Failed", "Not authorized to mount");
      } else {
        mountedAt = mountTo;
        reply = m.createReply(QString::fromUtf8(mountTo));
      }
    }
    bus.send(reply);
    return true;
  }
};
}  // namespace

class TestDisks : public QObject {
  Q_OBJECT

  QProcess bus_;
  QTemporaryDir busDir_;
  QThread serviceThread_;
  TFakeUdisks* udisks_ = nullptr;

  // The fake takes the service's name on the private bus (or gives it up).
  bool Serve(bool on) {
    QDBusConnection connection = QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS"), "udisks");
    return on ? connection.registerService("org.freedesktop.UDisks2")
              : connection.unregisterService("org.freedesktop.UDisks2");
  }

 private slots:
  // A bus daemon of our own stands in for the system bus, for this process only.
  void initTestCase() {
    const QString config = busDir_.filePath("bus.conf");
    QFile f(config);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(("<busconfig><type>system</type><listen>unix:path=" + busDir_.filePath("socket") +
             "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
             "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy></busconfig>").toUtf8());
    f.close();
    bus_.start("dbus-daemon", {"--config-file=" + config, "--nofork", "--print-address"});
    if (!bus_.waitForStarted() || !bus_.waitForReadyRead(5000)) return;  // the udisks2 cases skip
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus_.readLine().trimmed());
    udisks_ = new TFakeUdisks;
    QDBusConnection connection = QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS"), "udisks");
    QVERIFY(connection.isConnected());
    QVERIFY(connection.registerVirtualObject("/org/freedesktop/UDisks2", udisks_, QDBusConnection::SubPath));
    udisks_->moveToThread(&serviceThread_);
    serviceThread_.start();
    QVERIFY(Serve(true));
  }
  void init() {
    if (udisks_ == nullptr && QString(QTest::currentTestFunction()).contains("udisks", Qt::CaseInsensitive))
      QSKIP("no bus daemon to serve a udisks2 of our own");
  }
  void cleanupTestCase() {
    serviceThread_.quit();
    serviceThread_.wait();
    delete udisks_;
    bus_.kill();
    bus_.waitForFinished();
  }

  void driveTypes_data() {
    QTest::addColumn<QString>("fsType");
    QTest::addColumn<QString>("device");
    QTest::addColumn<bool>("udisksRemovable");
    QTest::addColumn<int>("type");
    QTest::newRow("nfs") << "nfs4" << "server:/export" << true << int(dtRemote);
    QTest::newRow("sshfs") << "fuse.sshfs" << "me@host:" << false << int(dtRemote);
    QTest::newRow("whole removable disk") << "vfat" << "/dev/sdz" << false << int(dtRemovable);
    QTest::newRow("partition of a removable disk") << "vfat" << "/dev/sdz1" << false << int(dtRemovable);
    QTest::newRow("fixed disk") << "ext4" << "/dev/sdy1" << false << int(dtFixed);
    QTest::newRow("fixed to the kernel, removable to udisks2") << "vfat" << "/dev/sdy1" << true << int(dtRemovable);
    QTest::newRow("no device") << "tmpfs" << "tmpfs" << true << int(dtFixed);
  }
  void driveTypes() {
    QFETCH(QString, fsType);
    QFETCH(QString, device);
    QFETCH(bool, udisksRemovable);
    QFETCH(int, type);
    // A /sys of our own: sdz is removable with its partition below it, sdy is not.
    QTemporaryDir sys;
    QDir().mkpath(sys.filePath("block/sdz/sdz1"));
    QDir().mkpath(sys.filePath("block/sdy/sdy1"));
    QDir().mkpath(sys.filePath("class/block"));
    for (const auto& [name, target] : {std::pair{"sdz", "sdz"}, {"sdz1", "sdz/sdz1"}, {"sdy", "sdy"}, {"sdy1", "sdy/sdy1"}})
      QVERIFY(QFile::link(sys.filePath(QString("block/") + target), sys.filePath(QString("class/block/") + name)));
    for (const auto& [file, flag] : {std::pair{"block/sdz/removable", "1\n"}, {"block/sdy/removable", "0\n"}}) {
      QFile f(sys.filePath(file));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(flag);
    }
    std::string asked;
    const auto ask = [&](const std::string& name) {
      asked = name;
      return udisksRemovable;
    };
    QCOMPARE(int(DriveTypeOfMount(fsType.toStdString(), device.toStdString(), sys.path().toStdString(), ask)), type);
    if (udisksRemovable && type == dtRemovable) QCOMPARE(asked, std::string("sdy1"));
  }

  void udisksRemovable_data() {
    QTest::addColumn<bool>("removable");
    QTest::addColumn<bool>("mediaRemovable");
    QTest::newRow("neither") << false << false;
    QTest::newRow("removable drive") << true << false;
    QTest::newRow("removable media") << false << true;
  }
  void udisksRemovable() {
    QFETCH(bool, removable);
    QFETCH(bool, mediaRemovable);
    udisks_->removable = removable;
    udisks_->mediaRemovable = mediaRemovable;
    QCOMPARE(UdisksDriveRemovable("sdz1"), removable || mediaRemovable);
  }

  // Without udisks2 every question is answered at once, and labelling says why it cannot.
  void udisksNotRunning() {
    QVERIFY(Serve(false));
    udisks_->removable = true;
    QElapsedTimer clock;
    clock.start();
    std::string error;
    QVERIFY(!UdisksDriveRemovable("sdz1"));
    QVERIFY(!UdisksSetLabel("sdz1", "PKBACK# 001", error));
    QVERIFY(!UdisksFormat("sdz1", "/media/stick/", "PKBACK# 001", true, error));
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(error, std::string("The disk service udisks2 is not running, so disks cannot be labelled or formatted"));
    QVERIFY(Serve(true));
    udisks_->removable = false;
  }

  // After a format the file system is mounted again where the span writes; anywhere else, or not
  // at all, is a failure that says so.
  void udisksFormatMountsAgain_data() {
    QTest::addColumn<QByteArray>("mountTo");
    QTest::addColumn<bool>("desktopMounts");
    QTest::addColumn<QString>("error");
    QTest::newRow("mounted again") << QByteArray("/media/stick") << false << "";
    QTest::newRow("the desktop mounted it") << QByteArray("/media/stick") << true << "";
    QTest::newRow("mounted elsewhere") << QByteArray("/media/me/PKBACK# 001") << false
                                       << "The disk was formatted but is now mounted at /media/me/PKBACK# 001/ "
                                          "instead of /media/stick/, so the span cannot go on there";
    QTest::newRow("not mounted") << QByteArray() << false
                                 << "The disk was formatted but cannot be mounted again: Not authorized to mount";
  }
  void udisksFormatMountsAgain() {
    QFETCH(QByteArray, mountTo);
    QFETCH(bool, desktopMounts);
    QFETCH(QString, error);
    udisks_->mountedAt = "/media/stick";
    udisks_->mountTo = mountTo;
    udisks_->desktopMounts = desktopMounts;
    udisks_->calls.clear();
    std::string reason;
    QCOMPARE(UdisksFormat("sdz1", "/media/stick/", "PKBACK# 001", true, reason), error.isEmpty());
    QCOMPARE(QString::fromStdString(reason), error);
    QCOMPARE(udisks_->calls.mid(0, 4), QStringList({"sdz1.Get", "sdz1.Unmount", "sdz1.Format", "sdz1.Get"}));
    QCOMPARE(udisks_->calls.contains("sdz1.Mount"), !desktopMounts);
    QCOMPARE(udisks_->formatOptions.value("label").toString(), QString("PKBACK# 001"));
    QVERIFY(!udisks_->formatOptions.contains("erase"));
  }

  // A label read from the file system itself: an ext2 superblock (magic 0xEF53 at 56, the
  // label at 120) in an image file; a file without one has no label to read.
  void blkidLabels() {
    QTemporaryDir dir;
    QByteArray image(4096, '\0');
    image[1024 + 56] = '\x53';
    image[1024 + 57] = '\xEF';
    image.replace(1024 + 120, 11, "PKBACK# 001");
    QFile f(dir.filePath("ext2.img"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(image);
    f.close();
    std::string label;
    QVERIFY(BlkidLabel(f.fileName().toStdString(), label));
    QCOMPARE(label, std::string("PKBACK# 001"));
    QFile blank(dir.filePath("blank.img"));
    QVERIFY(blank.open(QIODevice::WriteOnly));
    blank.write(QByteArray(4096, '\0'));
    blank.close();
    QVERIFY(!BlkidLabel(blank.fileName().toStdString(), label));
  }

  void platformDrive() {
    TLinuxDisks disks;
    const std::string root = disks.DriveRoot(QDir::tempPath().toStdString() + "/not/there/yet.zip");
    QVERIFY(!root.empty());
    QCOMPARE(root.back(), '/');
    QVERIFY((QDir::tempPath() + "/").startsWith(QString::fromStdString(root)) || root == "/");
    int64_t freeBytes = -1, size = -1;
    QVERIFY(disks.FreeAndSize(root, freeBytes, size));
    QVERIFY(freeBytes >= 0 && size > 0 && freeBytes <= size);
  }

  // A root made in a folder (a chroot) is no mount point of its own, and mountinfo lists only the
  // mounts inside it: platformDrive runs again under such a root, made in a user and mount
  // namespace of our own (no privileges needed), where its temporary folder is on no listed mount.
  void platformDriveUnderFolderRoot() {
    const QString unshare = QStandardPaths::findExecutable("unshare");
    if (unshare.isEmpty()) QSKIP("no unshare to make a root of our own");
    QTemporaryDir root;
    const QString script = QString::fromUtf8(R"sh(r="$1"; bin="$(dirname "$2")"; PATH="$PATH:/usr/sbin:/sbin"
mkdir -p "$r/usr" "$r/proc" "$r/dev" "$r/tmp" "$r$bin" || exit
for d in bin sbin lib lib64 lib32; do
  if [ -L "/$d" ]; then ln -s "$(readlink "/$d")" "$r/$d" || exit
  elif [ -d "/$d" ]; then mkdir "$r/$d" && mount --rbind "/$d" "$r/$d" || exit; fi
done
for d in /usr /proc /dev "$bin"; do mount --rbind "$d" "$r$d" || exit; done
echo "root ready"
exec chroot "$r" /usr/bin/env PATH=/nowhere "$2" tst_toolkit_disks platformDrive)sh");
    QProcess child;
    child.start(unshare, {"--user", "--map-root-user", "--mount", "/bin/sh", "-c", script, "sh", root.path(),
                          QCoreApplication::applicationFilePath()});
    QVERIFY(child.waitForFinished(60000));
    const QString out = child.readAllStandardOutput(), err = child.readAllStandardError();
    if (!out.startsWith("root ready")) QSKIP(qPrintable("no root of our own could be made: " + err.trimmed()));
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
                 out.contains("PASS   : TestDisks::platformDrive()"),
             qPrintable(out + err));
  }

  // The simulated drive serves its own folder and hands every other path on.
  void simulatedDrive() {
    QTemporaryDir dir;
    TDiskService* before = &Disks();
    {
      TSimulatedDrive drive(dir.filePath("floppy").toStdString(), "FIRST", 1000);
      QCOMPARE(&Disks(), static_cast<TDiskService*>(&drive));
      QCOMPARE(Disks().DriveType(drive.Root() + "a.zip"), dtRemovable);
      QCOMPARE(Disks().DriveType("/"), TLinuxDisks().DriveType("/"));
      QFile f(QString::fromStdString(drive.Root()) + "a.bin");
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(QByteArray(300, 'a'));
      f.close();
      int64_t freeBytes = 0, size = 0;
      QVERIFY(Disks().FreeAndSize(drive.Root(), freeBytes, size));
      QCOMPARE(freeBytes, int64_t{700});
      const int second = drive.AddMedium("SECOND", 2000);
      Disks().DiskPromptAnswered(drive.Root(), "SECOND");
      QCOMPARE(drive.Current(), second);
      QVERIFY(!QFile::exists(QString::fromStdString(drive.Root()) + "a.bin"));
      QVERIFY(QFile::exists(QString::fromStdString(drive.FilesOf(0)) + "a.bin"));
      drive.Eject();
      std::string label;
      QVERIFY(!Disks().VolumeLabel(drive.Root(), label));
      drive.Insert(0);
      QVERIFY(Disks().VolumeLabel(drive.Root(), label));
      QCOMPARE(label, std::string("FIRST"));
      QVERIFY(QFile::exists(QString::fromStdString(drive.Root()) + "a.bin"));
    }
    QCOMPARE(&Disks(), before);
  }
};

QTEST_GUILESS_MAIN(TestDisks)
#include "tst_disks.moc"
