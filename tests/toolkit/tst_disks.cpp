// The disk service: drive types from a mount's file system and its device's removable flag, the
// drive of a path, and labelling that fails with a reason where no disk service answers.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "toolkit/disks.h"
#include "toolkit/simulated_drive.h"

class TestDisks : public QObject {
  Q_OBJECT

 private slots:
  void driveTypes_data() {
    QTest::addColumn<QString>("fsType");
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("type");
    QTest::newRow("nfs") << "nfs4" << "server:/export" << int(dtRemote);
    QTest::newRow("sshfs") << "fuse.sshfs" << "me@host:" << int(dtRemote);
    QTest::newRow("whole removable disk") << "vfat" << "/dev/sdz" << int(dtRemovable);
    QTest::newRow("partition of a removable disk") << "vfat" << "/dev/sdz1" << int(dtRemovable);
    QTest::newRow("fixed disk") << "ext4" << "/dev/sdy1" << int(dtFixed);
    QTest::newRow("no device") << "tmpfs" << "tmpfs" << int(dtFixed);
  }
  void driveTypes() {
    QFETCH(QString, fsType);
    QFETCH(QString, device);
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
    QCOMPARE(int(DriveTypeOfMount(fsType.toStdString(), device.toStdString(), sys.path().toStdString())), type);
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
    // Without a removable disk to label (or without udisks2 at all) the answer is a reason, at once.
    std::string error;
    QVERIFY(!disks.SetVolumeLabel(root, "PKBACK# 001", error));
    QVERIFY(!error.empty());
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
