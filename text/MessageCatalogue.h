// The two message tables: every caption, tool tip, log line and message of the
// program is fetched here by its name (text/MessageIds.h). The product message
// table holds the program's own texts, the shared message table the texts
// common to the author's programs. An ID a table does not hold gives the
// empty text.
#pragma once

#include <QString>

#include "text/MessageIds.h"

namespace MessageCatalogue {

QString Product(ProductMsg id);
QString Shared(SharedMsg id);

}  // namespace MessageCatalogue
