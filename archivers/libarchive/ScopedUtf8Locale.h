// Makes the calling thread use the C.UTF-8 locale while libarchive works.
// libarchive converts names to the thread's locale; under "C" it drops
// UTF-8 and UTF-16 names it cannot convert. The process locale is left alone.
#pragma once

#include <locale.h>

namespace rkarc {

class ScopedUtf8Locale {
 public:
  ScopedUtf8Locale() : m_locale(newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(0))) {
    if (m_locale) m_previous = uselocale(m_locale);
  }
  ~ScopedUtf8Locale() {
    if (!m_locale) return;
    uselocale(m_previous);
    freelocale(m_locale);
  }
  ScopedUtf8Locale(const ScopedUtf8Locale&) = delete;
  ScopedUtf8Locale& operator=(const ScopedUtf8Locale&) = delete;

 private:
  locale_t m_locale;
  locale_t m_previous = static_cast<locale_t>(0);
};

}  // namespace rkarc
