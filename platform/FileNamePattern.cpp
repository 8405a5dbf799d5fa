// See FileNamePattern.h.
#include "platform/FileNamePattern.h"

namespace {

// Iterative wildcard match: on a mismatch after a "*", the star takes one more
// character and the match resumes. Linear in practice, never exponential.
bool WildcardMatch(const QString& wildcard, const QString& name) {
  qsizetype w = 0, n = 0, starW = -1, starN = 0;
  while (n < name.size()) {
    if (w < wildcard.size() && (wildcard[w] == u'?' || wildcard[w] == name[n])) {
      ++w;
      ++n;
    } else if (w < wildcard.size() && wildcard[w] == u'*') {
      starW = w++;
      starN = n;
    } else if (starW >= 0) {
      w = starW + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (w < wildcard.size() && wildcard[w] == u'*') ++w;
  return w == wildcard.size();
}

}  // namespace

FileNamePattern::FileNamePattern(const QString& text) : m_text(text) {
  for (const QString& part : text.split(u';', Qt::SkipEmptyParts)) {
    const QString trimmed = part.trimmed();
    if (!trimmed.isEmpty()) m_folded << trimmed.toCaseFolded();
  }
}

bool FileNamePattern::matches(const QString& name) const {
  if (m_folded.isEmpty()) return true;
  const QString folded = name.toCaseFolded();
  for (const QString& wildcard : m_folded)
    if (WildcardMatch(wildcard, folded)) return true;
  return false;
}
