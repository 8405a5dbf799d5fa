// See RunNotice.h. The call is Notify of org.freedesktop.Notifications
// (the freedesktop.org desktop notifications interface, version 1.2).
#include "shell/RunNotice.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include "text/MessageCatalogue.h"

bool RunNotice::Deserved(const BatchRun::Tally& tally, bool failuresToo) {
  if (tally.milliseconds >= std::chrono::milliseconds(kLongRun).count()) return true;
  return failuresToo && (tally.failed > 0 || tally.stopped);
}

bool RunNotice::showRun(const BatchRun::Tally& tally, std::chrono::milliseconds wait) {
  QString body = QStringLiteral("%1 個の圧縮ファイルを解凍しました。").arg(tally.extracted);
  if (tally.failed > 0) body += QStringLiteral("%1 個は解凍できませんでした。").arg(tally.failed);
  // "中断しました" or "全て終了しました", as the result log ends.
  return show(MessageCatalogue::Shared(tally.stopped ? SharedMsg::RunStopped : SharedMsg::RunFinished), body, wait);
}

bool RunNotice::show(const QString& summary, const QString& body, std::chrono::milliseconds wait) {
  if (!m_bus.isConnected()) return false;
  QDBusMessage call =
      QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
                                     QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  QVariantMap hints;
  // Lets the desktop group the notice with the program's menu entry and icon.
  hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("org.example.Rukasu2"));
  call << QStringLiteral("Rukasu2") << 0u << QStringLiteral("rukasu2") << summary << body << QStringList() << hints
       << -1;
  if (wait.count() <= 0) return m_bus.send(call);
  return m_bus.call(call, QDBus::Block, static_cast<int>(wait.count())).type() == QDBusMessage::ReplyMessage;
}
