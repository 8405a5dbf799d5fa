// A second program for the drag-and-drop tests, standing where a file manager
// would. "target X Y W H" shows a window that takes a drop, prints the local
// path of every URL it got, one a line, then "END", and ends. "source X Y W H
// FILE..." shows a window from which a mouse drag carries FILE... as a file
// list (copy only) and prints "DROPPED" when the drag is over. Both print
// "READY" once their window is on the screen; both are filled with kColour.
// "find [#RRGGBB]", on an X server, prints where that colour (kColour) is on
// the screen, as "X Y W H": a Wayland compositor tells no program where its
// windows are, but one that draws into an X window shows them there.
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

const QColor kColour(255, 0, 255);

void Say(const QString& line) {
  std::printf("%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

class Target : public QWidget {
 public:
  Target() { setAcceptDrops(true); }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
  }
  void dropEvent(QDropEvent* event) override {
    for (const QUrl& url : event->mimeData()->urls()) Say(url.toLocalFile());
    Say(QStringLiteral("END"));
    event->acceptProposedAction();
    QTimer::singleShot(0, qApp, &QApplication::quit);
  }
};

class Source : public QWidget {
 public:
  explicit Source(QStringList files) : m_files(std::move(files)) {}

 protected:
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!(event->buttons() & Qt::LeftButton) || m_dragging) return;
    m_dragging = true;
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& file : m_files) urls << QUrl::fromLocalFile(file);
    data->setUrls(urls);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
    Say(QStringLiteral("DROPPED"));
  }

 private:
  QStringList m_files;
  bool m_dragging = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments().mid(1);
  if (args.value(0) == u"find") {
    const QColor colour(args.size() > 1 ? QColor(args[1]) : kColour);
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    QRect found;
    for (int y = 0; y < screen.height(); ++y)
      for (int x = 0; x < screen.width(); ++x)
        if (screen.pixelColor(x, y) == colour) found |= QRect(x, y, 1, 1);
    Say(QStringLiteral("%1 %2 %3 %4").arg(found.x()).arg(found.y()).arg(found.width()).arg(found.height()));
    return 0;
  }
  if (args.size() < 5 || (args[0] != u"target" && args[0] != u"source")) {
    std::fprintf(stderr, "usage: drop_probe target|source X Y W H [FILE...]\n");
    return 64;
  }
  std::unique_ptr<QWidget> window;
  if (args[0] == u"target")
    window = std::make_unique<Target>();
  else
    window = std::make_unique<Source>(args.mid(5));
  window->setWindowTitle(QStringLiteral("drop_probe ") + args[0]);
  QPalette palette;
  palette.setColor(QPalette::Window, kColour);
  window->setPalette(palette);
  window->setAutoFillBackground(true);
  window->setGeometry(args[1].toInt(), args[2].toInt(), args[3].toInt(), args[4].toInt());
  window->show();
  QTimer::singleShot(200, [] { Say(QStringLiteral("READY")); });
  return QApplication::exec();
}
