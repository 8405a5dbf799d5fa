// Builds small LZH archives byte by byte for the reader tests: stored
// (-lh0-) members with level-0 and level-2 headers, whose fields a test can
// then damage on purpose, and -lz5- / -lzs- data, which no tool here makes.
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
  QByteArray packed{};  // when set, stored instead of data: data's compressed form
};

QByteArray LzhLevel0(const LzhTestMember& member);
QByteArray LzhLevel2(const LzhTestMember& member);
// An extended header record (size, id, data) for LzhTestMember::extra; the
// size field written is that of the record itself.
QByteArray LzhExtended(char id, const QByteArray& data);

// The LArc methods' streams as a plain encoder makes them: literals, and
// copies (as long as the method allows) from `distance` bytes back wherever
// the data repeats there. -lz5- keeps a 4 KiB history and groups eight
// commands behind a flag byte; -lzs- keeps 2 KiB and flags each command with
// a bit.
QByteArray Lz5Stream(const QByteArray& data, int distance);
QByteArray LzsStream(const QByteArray& data, int distance);

// Executable stubs whose image ends at `imageEnd` (the stub is that long).
QByteArray MzStub(int imageEnd);
QByteArray PeStub(int imageEnd);
QByteArray HuStub(int imageEnd);
// An Amiga hunk executable of a code hunk and a data hunk holding `data`, as
// Amiga self-extractors carry their usage text in an archive of their own.
QByteArray AmigaStub(const QByteArray& data);

}  // namespace testing_support
