// See Locale.h.
#include "platform/Locale.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <langinfo.h>

void EnsureUtf8Locale() {
  std::setlocale(LC_ALL, "");
  const char* codeset = nl_langinfo(CODESET);
  if (codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0)) return;
  // Qt takes its file-name encoding from LC_CTYPE when the application object
  // is made, so the variable is set for it as well as for this process.
  for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
    if (std::setlocale(LC_CTYPE, name)) {
      setenv("LC_CTYPE", name, 1);
      if (const char* all = std::getenv("LC_ALL"); all && *all) setenv("LC_ALL", name, 1);
      return;
    }
  }
}
