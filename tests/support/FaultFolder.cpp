// See FaultFolder.h.
#include "tests/support/FaultFolder.h"

#include "tests/support/MountNamespace.h"
#include "tests/support/TestSupport.h"

namespace testing_support {

std::string FaultFolder(FaultMount mount) {
  static const char kVariable[] = "RUKASU2_FAULT_FOLDER";
  if (InMountNamespace()) return qEnvironmentVariable(kVariable).toStdString();
  TempFolder tmp;
  const QString out = "'" + tmp.mkdir("out") + "'";
  QString setup, teardown;
  switch (mount) {
    case FaultMount::TinyTmpfs:
      setup = "mount -t tmpfs -o size=1m tmpfs " + out;
      break;
    case FaultMount::ReadOnlyBind:
      setup = "mount --bind " + out + " " + out + " && mount -o remount,bind,ro " + out;
      break;
    case FaultMount::HiddenProc:
      setup = "mount -t tmpfs tmpfs /proc";
      break;
    case FaultMount::EmptyProcFd:
      // $$ is the shell that then becomes the test process.
      setup = "mount -t tmpfs tmpfs /proc/$$/fd";
      break;
    case FaultMount::ExFat:
      // A loop device and the FUSE driver; both go again after the test.
      setup = "img='" + tmp.file("exfat.img") + "' && truncate -s 64M \"$img\" && mkfs.exfat \"$img\" &&" +
              " dev=$(losetup -f --show \"$img\") && mount.exfat-fuse \"$dev\" " + out;
      teardown = "umount " + out + "; losetup -d \"$dev\"";
      break;
  }
  RunTestInMountNamespace(setup, {QString(kVariable) + "=" + tmp.file("out")}, teardown);
  return {};
}

}  // namespace testing_support
