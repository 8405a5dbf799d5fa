// window_check: opens the main window and every dialog at each of the given
// font sizes on whatever screen the platform offers (an X server, a Wayland
// compositor, the offscreen platform) and checks from the widgets' geometry
// that no window leaves the screen, no control leaves its parent or lies on a
// sibling, and no caption is cut. Prints each fault and a closing count; the
// exit status is 1 when there was a fault. With --hold it checks nothing but
// opens every window, each dialog modal over the last, prints "holding" and
// waits to be ended, for a look from outside (tools/window-check/accessible_names.py).
//   window_check [--fonts 6,10,18,36,10] [--shots FOLDER] [--hold]
#include <QAbstractButton>
#include <QAccessible>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "dialogs/frmDefault.h"
#include "engine/Libraries.h"
#include "settings/SettingsStore.h"
#include "shell/frmRukasu.h"
#include "ui/AppContext.h"
#include "ui/DialogBase.h"

namespace {

struct Check {
  explicit Check(QString at) : where(std::move(at)) {}
  QString where;  // "frmOption 18pt"
  int passed = 0;
  QStringList faults;
  void expect(bool ok, const QString& what) {
    if (ok) {
      ++passed;
    } else {
      faults << where + QStringLiteral(": ") + what;
    }
  }
};

QString Name(const QWidget* w) { return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName(); }
QString Rect(const QRect& r) { return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()); }

// The program's own controls carry their names; Qt's parts have none or "qt_...".
bool IsControl(const QWidget* w) {
  return !w->objectName().isEmpty() && !w->objectName().startsWith(QStringLiteral("qt_")) && !w->isWindow();
}

// Inside a scrolled area a child may lie beyond the visible part.
bool InScrolledArea(const QWidget* w) {
  for (const QWidget* p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
    if (p->objectName() == QStringLiteral("qt_scrollarea_viewport")) return true;
  return false;
}

QString CaptionOf(const QWidget* w) {
  if (const auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text().remove(u'&');
  if (const auto* l = qobject_cast<const QLabel*>(w)) return l->pixmap().isNull() && !l->wordWrap() ? l->text() : QString();
  return {};
}

// The room a caption has inside its control.
int CaptionRoom(const QWidget* w) {
  const QStyle* style = w->style();
  if (qobject_cast<const QPushButton*>(w)) return w->width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) + 4;
  if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))
    return w->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) -
           style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
  return static_cast<const QLabel*>(w)->contentsRect().width();
}

void CheckControl(Check& check, QWidget* w) {
  const QWidget* parent = w->parentWidget();
  if (!InScrolledArea(w))
    check.expect(parent->rect().contains(w->geometry()),
                 QStringLiteral("%1 (%2) leaves %3 (%4)").arg(Name(w), Rect(w->geometry()), Name(parent), Rect(parent->rect())));
  const QFontMetrics fm = w->fontMetrics();
  const QString caption = CaptionOf(w);
  if (!caption.isEmpty()) {
    check.expect(fm.horizontalAdvance(caption) <= CaptionRoom(w),
                 QStringLiteral("%1 cuts its caption \"%2\" (%3 of %4 px)").arg(Name(w), caption).arg(fm.horizontalAdvance(caption)).arg(CaptionRoom(w)));
  }
  if (!caption.isEmpty() || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w))
    check.expect(w->height() >= fm.height(), QStringLiteral("%1 is lower (%2 px) than its text (%3 px)").arg(Name(w)).arg(w->height()).arg(fm.height()));
  // What a screen reader says: every control one can act on has a name.
  if (QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w)) {
    const QAccessible::Role role = accessible->role();
    const bool acts = role == QAccessible::Button || role == QAccessible::CheckBox || role == QAccessible::RadioButton ||
                      role == QAccessible::ComboBox || role == QAccessible::EditableText || role == QAccessible::List ||
                      role == QAccessible::Tree || role == QAccessible::Table;
    if (acts) check.expect(!accessible->text(QAccessible::Name).trimmed().isEmpty(), QStringLiteral("%1 has no accessible name").arg(Name(w)));
  }
  if (auto* list = qobject_cast<QAbstractItemView*>(w)) {
    const int row = list->model() && list->model()->rowCount() > 0 ? list->sizeHintForRow(0) : fm.height();
    check.expect(list->viewport()->height() >= row, QStringLiteral("%1 shows no whole row (%2 of %3 px)").arg(Name(w)).arg(list->viewport()->height()).arg(row));
  }
}

// The visible named controls under `window`, each checked, and no two
// siblings on each other.
void CheckWindow(Check& check, QWidget* window) {
  const QRect screen = window->screen()->availableGeometry();
  // Wayland tells no window its place: only the size can be checked.
  const bool placed = QGuiApplication::platformName() != QStringLiteral("wayland");
  const QRect frame = window->frameGeometry();
  check.expect(placed ? screen.contains(frame) : frame.width() <= screen.width() && frame.height() <= screen.height(),
               QStringLiteral("the window (%1) leaves the screen (%2)").arg(Rect(frame), Rect(screen)));
  if (qobject_cast<QDialog*>(window)) {
    const int title = QFontMetrics(QApplication::font()).horizontalAdvance(window->windowTitle());
    check.expect(window->width() >= title + 100, QStringLiteral("the title \"%1\" is cut (%2 px wide)").arg(window->windowTitle()).arg(window->width()));
  }
  const QList<QWidget*> all = window->findChildren<QWidget*>();
  for (QWidget* w : all) {
    if (!w->isVisible() || w->window() != window) continue;
    if (IsControl(w)) CheckControl(check, w);
    if (!IsControl(w)) continue;
    for (QWidget* other : all) {
      if (other <= w || other->parentWidget() != w->parentWidget() || !other->isVisible() || !IsControl(other)) continue;
      check.expect(!w->geometry().intersects(other->geometry()),
                   QStringLiteral("%1 (%2) lies on %3 (%4)").arg(Name(w), Rect(w->geometry()), Name(other), Rect(other->geometry())));
    }
  }
}

void Settle(int ms = 300) { QTest::qWait(ms); }

void Shoot(const QString& folder, QWidget* window, const QString& name) {
  if (folder.isEmpty()) return;
  window->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
  // The whole screen too, with the window manager's frames, where the platform can take it.
  const QPixmap screen = window->screen()->grabWindow(0);
  if (!screen.isNull()) screen.save(QDir(folder).filePath(name + QStringLiteral("-screen.png")));
}

// Shows the dialog modally as the program does and checks it once it is up.
void CheckDialog(QList<Check>& checks, const QString& where, const QString& shots, DialogBase* dialog, const std::function<void()>& show) {
  if (!dialog) return;
  Check check{where};
  QTimer::singleShot(0, dialog, [&, dialog] {
    // A loaded machine may take a while to map and size the window.
    // (a window that never comes fails the checks that follow)
    (void)(QTest::qWaitForWindowExposed(dialog) && QTest::qWaitFor([dialog] { return !dialog->frameGeometry().isEmpty(); }));
    Settle();
    CheckWindow(check, dialog);
    Shoot(shots, dialog, QString(where).replace(u' ', u'-'));
    dialog->reject();
  });
  show();
  checks << check;
}

// Opens the dialogs one over the other: each opener blocks in its dialog's own
// event loop, where the next one is started.
void HoldOpen(const QList<std::function<void()>>& openers, int next) {
  if (next == openers.size()) {
    std::printf("holding\n");
    std::fflush(stdout);
    return;
  }
  QTimer::singleShot(300, qApp, [openers, next] { HoldOpen(openers, next + 1); });
  openers[next]();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QList<int> fonts{6, 10, 18, 36, 10};
  QString shots;
  const QStringList args = QApplication::arguments();
  for (int i = 1; i + 1 < args.size(); ++i) {
    if (args[i] == QStringLiteral("--fonts")) {
      fonts.clear();
      for (const QString& size : args[i + 1].split(u',')) fonts << size.toInt();
    }
    if (args[i] == QStringLiteral("--shots")) shots = args[i + 1];
  }
  QTemporaryDir storeFolder;
  SettingsStore store(storeFolder.path());
  Libraries libraries;
  Dll_Check(libraries);
  AppContext context(store, libraries);
  frmRukasu main(context);
  if (main.MDIForm_Load({}) != frmRukasu::Start::ShowWindow) return 2;
  main.show();
  Settle(800);

  const AppWindows& w = context.windows;
  if (args.contains(QStringLiteral("--hold"))) {
    HoldOpen({[&w] { dynamic_cast<DialogBase*>(w.option)->showModal(); },
              [&w] { dynamic_cast<frmDefault*>(w.defaults)->Edit(frmDefault::Use::OutDir); },
              [&w] { dynamic_cast<DialogBase*>(w.about)->showModal(); },
              [&w] { w.menuMente->ShowModal(QStringLiteral("/tmp")); }},
             0);
    return 0;
  }
  QList<Check> checks;
  for (int size : fonts) {
    main.chooseFont = [size](QFont& font) {
      font.setPointSize(size);
      return true;
    };
    main.mnuFont_Click();
    Settle();
    const QString at = QStringLiteral(" %1pt").arg(size);
    Check check{QStringLiteral("frmRukasu") + at};
    CheckWindow(check, &main);
    Shoot(shots, &main, QStringLiteral("frmRukasu-%1pt").arg(size));
    checks << check;
    auto* option = dynamic_cast<DialogBase*>(w.option);
    CheckDialog(checks, QStringLiteral("frmOption") + at, shots, option, [option] { option->showModal(); });
    auto* defaults = dynamic_cast<frmDefault*>(w.defaults);
    CheckDialog(checks, QStringLiteral("frmDefault") + at, shots, defaults, [defaults] { defaults->Edit(frmDefault::Use::OutDir); });
    auto* about = dynamic_cast<DialogBase*>(w.about);
    CheckDialog(checks, QStringLiteral("frmAbout") + at, shots, about, [about] { about->showModal(); });
    auto* menuMente = dynamic_cast<DialogBase*>(w.menuMente);
    CheckDialog(checks, QStringLiteral("frmMenuMente") + at, shots, menuMente, [&w] { w.menuMente->ShowModal(QStringLiteral("/tmp")); });
  }
  int passed = 0, failed = 0;
  for (const Check& check : checks) {
    passed += check.passed;
    failed += static_cast<int>(check.faults.size());
    for (const QString& fault : check.faults) std::printf("%s\n", fault.toUtf8().constData());
  }
  std::printf("window_check on %s %dx%d: %d passed, %d failed\n", qPrintable(QGuiApplication::platformName()),
              main.screen()->size().width(), main.screen()->size().height(), passed, failed);
  main.close();
  return failed == 0 ? 0 : 1;
}
