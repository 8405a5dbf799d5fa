// The text of a settings file: "key=value" lines under "[General]", written
// as QSettings writes INI files, so that files of earlier builds read the same.
// Reading takes every line it understands and counts the others, so that a
// damaged line costs its own key and nothing after it.
#pragma once

#include <optional>

#include <QByteArray>
#include <QHash>
#include <QStringList>

class IniText {
 public:
  // Lines may end in LF, CR LF or CR. A line is understood when it is blank,
  // a comment (";", "#"), "[General]", or a key, "=" and a value, in UTF-8
  // without control characters. Any other section header counts as not
  // understood, and the keys after it stay top-level keys.
  static IniText parse(const QByteArray& bytes);
  QByteArray format() const;

  // The value as written in the file, or nullptr when the key is absent.
  const QByteArray* raw(const QString& key) const;
  void setText(const QString& key, const QString& value);
  // Takes every value of `changes` over, in its order.
  void merge(const IniText& changes);

  bool isEmpty() const { return m_keys.isEmpty(); }
  void clear() { *this = IniText(); }
  // Lines that were not understood when the text was parsed.
  int damagedLines() const { return m_damaged; }

 private:
  void setRaw(const QString& key, const QByteArray& raw);

  QStringList m_keys;  // in file order, then in the order of writing
  QHash<QString, QByteArray> m_values;
  int m_damaged = 0;
};

// The text a raw value stands for (quotes and escapes resolved); empty when it
// stands for a typed value ("@Variant(...)", "@Rect(...)" ...), not a text.
std::optional<QString> IniValueText(const QByteArray& raw);
