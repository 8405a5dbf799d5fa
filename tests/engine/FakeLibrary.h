// A stand-in archiver library for what a real module cannot show on demand:
// a library that reports itself busy, or a result code such as a full disk or
// a cancellation, or lines for the host that no module writes yet. It records
// the commands it was given.
#pragma once

#include <QByteArrayList>
#include <functional>

#include "engine/ArchiverLibrary.h"

class FakeLibrary : public ArchiverLibrary {
 public:
  explicit FakeLibrary(int32_t result = 0, int32_t version = 100) : m_result(result), m_version(version) {}

  int32_t command(const QByteArray& text, char* report, uint32_t size) override {
    commands << text;
    if (duringCommand) duringCommand();
    const QByteArray lines = reportFor ? reportFor(text) : QByteArray();
    if (size > 0) qstrncpy(report, lines.constData(), size);
    return m_result;
  }
  int32_t checkArchive(const QByteArray& path, int32_t) override {
    probes << path;
    return checkAnswer;
  }
  int32_t getRunning() override { return busy ? 1 : 0; }
  int32_t getVersion() override { return m_version; }
  void setProgress(RkProgressFn, void*) override {}

  bool busy = false;
  std::function<void()> duringCommand;  // runs inside the command call
  std::function<QByteArray(const QByteArray&)> reportFor;  // the report buffer, from the command
  int32_t checkAnswer = 0;
  QByteArrayList commands;
  QByteArrayList probes;

 private:
  int32_t m_result;
  int32_t m_version;
};
