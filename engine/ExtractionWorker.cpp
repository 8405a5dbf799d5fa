// See ExtractionWorker.h.
#include "engine/ExtractionWorker.h"

#include <QCoreApplication>

#include "engine/ExtractionListener.h"
#include "engine/Libraries.h"
#include "engine/basRukasu.h"

// Hands the engine's reports to the real listener on the owning thread and
// waits until each is handled.
class ExtractionWorker::Forwarder : public ExtractionListener {
 public:
  Forwarder(QObject* owner, ExtractionListener& target) : m_owner(owner), m_target(target) {}
  void logLine(const QString& line) override {
    deliver([this, line] { m_target.logLine(line); });
  }
  void extractedFolder(const QString& folder) override {
    deliver([this, folder] { m_target.extractedFolder(folder); });
  }
  void busyNotice(const QString& text) override {
    deliver([this, text] { m_target.busyNotice(text); });
  }
  // The book is used by one thread at a time: the window thread waits while the engine runs.
  PasswordBook* passwords() override { return m_target.passwords(); }
  PasswordAnswer askPassword(const QString& archive, bool wrong) override {
    PasswordAnswer answer;
    deliver([&] { answer = m_target.askPassword(archive, wrong); });
    return answer;
  }

 private:
  template <typename F>
  void deliver(F f) {
    if (QThread::currentThread() == m_owner->thread())
      f();
    else
      QMetaObject::invokeMethod(m_owner, f, Qt::BlockingQueuedConnection);
  }
  QObject* m_owner;
  ExtractionListener& m_target;
};

// The engine's side, living on the worker thread.
class ExtractionWorker::Job : public QObject {
 public:
  Job(const Settings& settings, Libraries& libraries, ExtractionListener& listener)
      : m_engine(settings, libraries, listener) {}
  int16_t run(const QString& arc, const QString& dest, int16_t mode, ExtractedVolumes* volumes) {
    return m_engine.Archive_Extract(arc, dest, mode, volumes);
  }

 private:
  basRukasu m_engine;
};

ExtractionWorker::ExtractionWorker(const Settings& settings, Libraries& libraries, ExtractionListener& listener,
                                   QObject* parent)
    : QObject(parent), m_libraries(libraries), m_forwarder(std::make_unique<Forwarder>(this, listener)) {
  m_thread.setObjectName(QStringLiteral("extraction"));
  m_job = new Job(settings, libraries, *m_forwarder);
  m_job->moveToThread(&m_thread);
  connect(&m_thread, &QThread::finished, m_job, &QObject::deleteLater);
  m_thread.start();
}

ExtractionWorker::~ExtractionWorker() {
  m_thread.quit();
  m_thread.wait();
  for (int i = 0; i < kLibraryCount; ++i)
    if (ArchiverLibrary* library = m_libraries.library(LibraryId(i))) library->setProgress(nullptr, nullptr);
}

void ExtractionWorker::ProgressCallback(void* context, uint64_t done, uint64_t total) {
  auto* self = static_cast<ExtractionWorker*>(context);
  emit self->progress(static_cast<qint64>(done), static_cast<qint64>(total));  // queued to the owner
}

void ExtractionWorker::jobEnded(int16_t result) {
  m_result = result;
  m_jobEnded = true;
}

int16_t ExtractionWorker::extract(const QString& arc, const QString& dest, int16_t mode, ExtractedVolumes* volumes) {
  for (int i = 0; i < kLibraryCount; ++i)
    if (ArchiverLibrary* library = m_libraries.library(LibraryId(i))) library->setProgress(ProgressCallback, this);
  m_extracting = true;
  m_jobEnded = false;
  m_result = -1;
  QMetaObject::invokeMethod(
      m_job,
      [this, arc, dest, mode, volumes] {
        const int16_t r = m_job->run(arc, dest, mode, volumes);
        QMetaObject::invokeMethod(this, [this, r] { jobEnded(r); });
      },
      Qt::QueuedConnection);
  // Not an event loop of its own: an application quit ends every event loop
  // at once, and the archive being extracted must still be finished first.
  while (!m_jobEnded) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  m_extracting = false;
  return m_result;
}
