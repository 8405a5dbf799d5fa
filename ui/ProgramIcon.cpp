// See ProgramIcon.h.
#include "ui/ProgramIcon.h"

// The resources live in a static library: naming them here keeps the linker
// from dropping them. Q_INIT_RESOURCE must stand outside every namespace,
// hence a static function rather than one in an unnamed namespace.
static void RegisterResources() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(rukasu2);
    return true;
  }();
  (void)registered;
}

QIcon ProgramIcon() {
  RegisterResources();
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/rukasu2-%1.png").arg(size), QSize(size, size));
  return icon;
}
