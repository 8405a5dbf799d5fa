// See SettingsValue.h. A decimal number here is an optional sign, digits with
// an optional fraction after a point, and blanks around it; no exponent, no
// thousands separator and no locale, so a value reads the same everywhere.
#include "settings/SettingsValue.h"

#include <cmath>
#include <limits>

namespace {

bool IsDecimalNumber(QStringView text) {
  qsizetype i = 0;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  qsizetype digits = 0;
  while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i, ++digits;
  if (i < text.size() && text[i] == u'.') {
    ++i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i, ++digits;
  }
  return digits > 0 && i == text.size();
}

// The number rounded to the nearest integer, halves to the even neighbour,
// when it lies within [low, high].
std::optional<int64_t> RoundedNumber(const QString& text, int64_t low, int64_t high) {
  const QString trimmed = text.trimmed();
  if (!IsDecimalNumber(trimmed)) return std::nullopt;
  bool ok = false;
  const double number = trimmed.toDouble(&ok);
  if (!ok || !std::isfinite(number)) return std::nullopt;
  // std::nearbyint rounds halves to even in the default rounding mode.
  const double rounded = std::nearbyint(number);
  if (rounded < static_cast<double>(low) || rounded > static_cast<double>(high)) return std::nullopt;
  return static_cast<int64_t>(rounded);
}

}  // namespace

QString BoolToText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

QString IntToText(int value) { return QString::number(value); }

std::optional<bool> BoolFromText(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
  if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
  if (!IsDecimalNumber(trimmed)) return std::nullopt;
  // Decided on the digits, so that no number is too long to be read.
  for (QChar c : trimmed)
    if (c >= u'1' && c <= u'9') return true;
  return false;
}

std::optional<int16_t> Int16FromText(const QString& text) {
  const auto number = RoundedNumber(text, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
  if (!number) return std::nullopt;
  return static_cast<int16_t>(*number);
}

std::optional<int32_t> Int32FromText(const QString& text) {
  const auto number = RoundedNumber(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
  if (!number) return std::nullopt;
  return static_cast<int32_t>(*number);
}
