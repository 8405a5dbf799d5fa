// The two message tables: every caption, tool tip, log line and message of the
// program is fetched here by number. The product message table holds the
// program's own texts, the shared message table the texts common to the
// author's programs. An ID a table does not hold gives the empty text.
#pragma once

#include <QString>

namespace MessageCatalogue {

QString Product(int id);
QString Shared(int id);

}  // namespace MessageCatalogue
