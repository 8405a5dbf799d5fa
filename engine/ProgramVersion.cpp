// See ProgramVersion.h.
#include "engine/ProgramVersion.h"

QString ProgramVersion() { return QStringLiteral(RUKASU2_VERSION_TEXT); }
