// Builds small LZH archives byte by byte for the reader tests: stored
// (-lh0-) members with level-0 and level-2 headers, whose fields a test can
// then damage on purpose.
#pragma once

#include <QByteArray>

namespace testing_support {

struct LzhTestMember {
  QByteArray name;      // level 0: the whole path; level 2: the file name (0x01)
  QByteArray data;
  char os = 0;          // level 2 OS id
  QByteArray extra;     // level 2: further extended headers, each "size(2) id data"
  int padding = 0;      // level 2: bytes counted in the header size after the chain
  const char* method = "-lh0-";  // data is stored as given whatever the method says
};

QByteArray LzhLevel0(const LzhTestMember& member);
QByteArray LzhLevel2(const LzhTestMember& member);
// An extended header record (size, id, data) for LzhTestMember::extra; the
// size field written is that of the record itself.
QByteArray LzhExtended(char id, const QByteArray& data);

// Executable stubs whose image ends at `imageEnd` (the stub is that long).
QByteArray MzStub(int imageEnd);
QByteArray PeStub(int imageEnd);
QByteArray HuStub(int imageEnd);

}  // namespace testing_support
