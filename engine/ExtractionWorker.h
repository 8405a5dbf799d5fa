// Runs the extraction of one archive on a worker thread of its own, one at a
// time, while the calling thread keeps handling its events (a window keeps
// painting and its Cancel button answers). Everything the engine reports — log
// lines, extracted folders, the busy notice — is delivered on the calling
// thread, in the engine's order, and the engine waits for each delivery, so
// the result reads exactly as if the call had run on the calling thread.
#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <memory>

class ExtractedVolumes;
class ExtractionListener;
class Libraries;
struct Settings;

class ExtractionWorker : public QObject {
  Q_OBJECT

 public:
  ExtractionWorker(const Settings& settings, Libraries& libraries, ExtractionListener& listener,
                   QObject* parent = nullptr);
  ~ExtractionWorker() override;

  // Archive_Extract on the worker thread; returns its result. Meanwhile the
  // calling thread handles its events; it returns only once the extraction
  // has ended, even when the application quits meanwhile. Not re-entrant.
  int16_t extract(const QString& arc, const QString& dest, int16_t mode, ExtractedVolumes* volumes = nullptr);
  bool isExtracting() const { return m_extracting; }

 signals:
  // Bytes of the current archive read so far and its size, a few times a second.
  void progress(qint64 done, qint64 total);

 private:
  class Job;
  class Forwarder;

  static void ProgressCallback(void* context, uint64_t done, uint64_t total);
  void jobEnded(int16_t result);

  Libraries& m_libraries;
  QThread m_thread;
  std::unique_ptr<Forwarder> m_forwarder;
  Job* m_job = nullptr;  // lives on m_thread
  bool m_extracting = false;
  bool m_jobEnded = false;
  int16_t m_result = -1;
};
