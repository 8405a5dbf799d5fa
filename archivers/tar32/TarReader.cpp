// TAR-family extraction; see TarReader.h, README.md for the options and
// docs/formats/GZIP-TAR.md for why gzip and bzip2 are decoded here.
#include "archivers/tar32/TarReader.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archivers/common/AsciiCase.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/libarchive/ArchiveError.h"
#include "archivers/libarchive/ArchiveHandle.h"
#include "archivers/libarchive/ArchiveWindow.h"
#include "archivers/libarchive/ExtractionJob.h"
#include "archivers/libarchive/ScopedUtf8Locale.h"
#include "archivers/tar32/Bzip2Stream.h"
#include "archivers/tar32/Compression.h"
#include "archivers/tar32/GzipHeader.h"
#include "archivers/tar32/GzipStream.h"
#include "archivers/tar32/StreamSource.h"
#include "archivers/tar32/ThreadedStream.h"
#include "archivers/tar32/XzStream.h"
#include "archivers/tar32/ZstdStream.h"

namespace rkarc::tar {
namespace {

using InputProgress = std::function<void(uint64_t)>;

// x extract, f archive named next, o owners never restored, G single-file
// form, z j Z B compression hints, v p: all accepted; the form follows from
// the output argument and -G, the compression from the file's content. Tar
// is a Unix format: letters and member names keep their case.
using enum OptionEffect;
constexpr OptionRule kLetters[] = {{"x", None}, {"f", None}, {"o", None}, {"G", SingleFile}, {"z", None},
                                   {"j", None}, {"Z", None}, {"B", None}, {"v", None}, {"p", None}};
constexpr OptionRule kTokens[] = {{"--overwrite", Overwrite}};
constexpr CommandSyntax kSyntax{.mark = '-', .letters = kLetters, .tokens = kTokens, .namesIgnoreCase = false};

// gzip, xz, zstd, lzip and lzma are decoded on a thread of their own, ahead
// of the writing; bzip2 on threads of its own, several blocks at a time; .Z
// and plain tar are libarchive's.
std::unique_ptr<ByteStream> MakeStream(Compression kind, const InputFile& file, InputProgress onInput) {
  if (kind == Compression::Bzip2) return std::make_unique<Bzip2Stream>(file, std::move(onInput));
  if (kind == Compression::None || kind == Compression::Compress) return nullptr;
  const auto inner = [&](InputProgress heard) -> std::unique_ptr<ByteStream> {
    switch (kind) {
      case Compression::Xz: return std::make_unique<XzStream>(file, XzStream::Format::Xz, std::move(heard));
      case Compression::Lzip: return std::make_unique<XzStream>(file, XzStream::Format::Lzip, std::move(heard));
      case Compression::Lzma: return std::make_unique<XzStream>(file, XzStream::Format::Lzma, std::move(heard));
      case Compression::Zstd: return std::make_unique<ZstdStream>(file, std::move(heard));
      default: return std::make_unique<GzipStream>(file, std::move(heard));
    }
  };
  return std::make_unique<ThreadedStream>(file, inner, std::move(onInput));
}

bool KeepLibarchiveName(archive_entry*, size_t, EntryPlan&) { return true; }

constexpr std::string_view kCutBeforeTrailing = "tarが途中で切れています（圧縮データの後ろに余分なデータがあります）";

// Complete, checked streams followed by bytes that are no stream: the data
// is whole, and the user hears what was passed over. What those bytes were
// cannot be known, so the archive is kept.
void NoteIgnoredTrailing(const ByteStream& stream, Report& report) {
  if (stream.ignoredTrailingBytes() == 0 || stream.errorCode() != 0) return;
  report.note("圧縮データの後ろの余分なデータ（" + std::to_string(stream.ignoredTrailingBytes()) +
              "バイト）は無視しました");
  report.keep("圧縮データの後ろに余分なデータがあります");
}

// A tar whose data stops without its zero blocks was cut at a member's end,
// or written by a tool that leaves them out. Where bytes that were no
// stream follow, the tar may well have gone on in them: a failure.
// Otherwise every member seen is whole, but the archive is kept.
bool TarEndIsSound(bool endMarked, uint64_t trailing, SafeWriter& writer, Report& report) {
  if (endMarked) return true;
  if (trailing > 0) {
    writer.failArchive(kErrDamaged, kCutBeforeTrailing);
    return false;
  }
  report.keep("tarの終わりの印（ゼロのブロック）がありません");
  return true;
}

// Takes back what a damaged archive let through: gzip and bzip2 checksums
// cover data that members were already written from, and .Z damage shows
// only as a broken structure after earlier members were decoded wrongly.
void RollBack(SafeWriter& writer, Report& report) {
  if (writer.rollBack() > 0) report.add("壊れた書庫から書き出したファイルを削除しました");
}

// One pass: members are written as they come, the stream is read to its end
// for its trailing checksums, and on damage every file of this extraction is
// removed again. Not with overwrite (the caller checked first then): a
// replaced file could not come back.
int32_t ExtractTar(ExtractionJob& job, Compression kind, const InputProgress& onInput) {
  const bool mayRollBack = !job.request().writerOptions.overwrite;
  SafeWriter writer(job.request().output, job.request().writerOptions, job.report());
  if (!writer.ready()) return writer.result();
  const auto tarFormat = [](archive* a) { archive_read_support_format_tar(a); };
  if (auto stream = MakeStream(kind, job.file(), onInput)) {
    StreamSource source(*stream);
    const bool whole = job.readWithLibarchive(
        writer, tarFormat, [&](archive* a) { return source.open(a); }, KeepLibarchiveName);
    // libarchive stops at the tar end blocks; the rest holds the checksums.
    // Damage met before that end was reported by libarchive already.
    if (stream->errorCode() == 0 && !writer.stopped()) stream->verify();
    if (stream->errorCode() != 0) {
      if (whole) writer.failArchive(stream->errorCode(), stream->errorReason());
      if (mayRollBack) RollBack(writer, job.report());
    } else if (whole && !TarEndIsSound(job.endMarked(), stream->ignoredTrailingBytes(), writer, job.report())) {
      if (mayRollBack) RollBack(writer, job.report());
    } else {
      NoteIgnoredTrailing(*stream, job.report());
    }
  } else {
    const bool whole = job.readWithLibarchive(
        writer, 0, job.file().size(), false,
        [](archive* a) {
          archive_read_support_filter_compress(a);
          archive_read_support_format_tar(a);
        },
        KeepLibarchiveName);
    if (!whole && kind == Compression::Compress && mayRollBack && !writer.stopped()) RollBack(writer, job.report());
    if (whole) TarEndIsSound(job.endMarked(), 0, writer, job.report());
  }
  return job.finish(writer);
}

// Reads the tar headers through once without writing anything, from what
// `open` hands libarchive. False (reported) when the structure is broken;
// `endMarked` then tells whether the tar ended at its zero blocks.
bool TarStructureIsSound(const std::function<int(archive*)>& open, Report& report, bool* endMarked = nullptr) {
  ScopedUtf8Locale locale;
  ArchiveHandle a;
  archive_read_support_filter_compress(a);
  archive_read_support_format_tar(a);
  int r = open(a);
  archive_entry* entry = nullptr;
  while (r == ARCHIVE_OK) {
    r = archive_read_next_header(a, &entry);
    if (r == ARCHIVE_OK) r = archive_read_data_skip(a);
  }
  if (r == ARCHIVE_EOF) {
    if (endMarked) *endMarked = EndedAtMark(a);
    return true;
  }
  report.fail(ArchiveError::From(a).reason);
  return false;
}

// .Z has no checksum: damage shows only as a broken tar structure further
// on, after earlier members have been decoded wrongly. With overwrite a
// .tar.Z is read through once without writing; only a sound one is extracted.
bool CompressedTarIsSound(const InputFile& file, Report& report) {
  Progress quiet(nullptr, nullptr);
  ArchiveWindow window(file, 0, file.size(), &quiet);
  return TarStructureIsSound([&](archive* a) { return window.open(a, false); }, report);
}

// With overwrite, checked streams followed by trailing data are extracted
// only when the tar ends before that data: files replaced on the way could
// not come back after a tar found cut at the end.
bool TarEndsBeforeTrailing(Compression kind, const InputFile& file, Report& report) {
  auto stream = MakeStream(kind, file, nullptr);
  StreamSource source(*stream);
  bool endMarked = false;
  if (!TarStructureIsSound([&](archive* a) { return source.open(a); }, report, &endMarked)) return false;
  if (!endMarked) report.fail(kCutBeforeTrailing);
  return endMarked;
}

// What decoding a single compressed file came to: 0, or the failure.
struct Decoded {
  int32_t code = 0;
  std::string reason;
};

// Decodes a .Z file (libarchive's raw format) to its end, into `sink` when
// there is one. Without a sink the data only shows whether the file is whole.
Decoded DecodeCompressed(const InputFile& file, Progress& progress, MemberSink* sink) {
  ScopedUtf8Locale locale;
  ArchiveHandle a;
  archive_read_support_filter_compress(a);
  archive_read_support_format_raw(a);
  ArchiveWindow window(file, 0, file.size(), &progress);
  archive_entry* entry = nullptr;
  if (window.open(a, false) != ARCHIVE_OK || archive_read_next_header(a, &entry) != ARCHIVE_OK) {
    const ArchiveError error = ArchiveError::From(a);
    return {error.code, error.reason};
  }
  for (;;) {
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    const int r = archive_read_data_block(a, &block, &size, &offset);
    if (r == ARCHIVE_EOF) return {};
    if (r != ARCHIVE_OK) {
      const ArchiveError error = ArchiveError::From(a);
      return {error.code, error.reason};
    }
    if (sink && !sink->write(block, size)) return {};  // the writer has recorded why
  }
}

// Decodes a gzip or bzip2 stream to its verified end, into `sink` when there is one.
Decoded DecodeStream(ByteStream& stream, MemberSink* sink) {
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    const int64_t n = stream.read(buffer.data(), buffer.size());
    if (n < 0) return {stream.errorCode(), stream.errorReason()};
    if (n == 0) return {};
    if (sink && !sink->write(buffer.data(), static_cast<size_t>(n))) return {};
  }
}

// The name a compressed single file takes in a folder: the archive's own name
// without its compression extension ("notes.txt.bz2" gives "notes.txt").
std::string DecompressedName(const std::string& archive) {
  std::string name = archive.substr(archive.rfind('/') + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) {
    const std::string ext = AsciiLower(name.substr(dot + 1));
    constexpr std::string_view kCompressed[] = {"gz", "z", "bz2", "bzip2", "xz", "zst", "lz", "lzma"};
    if (std::ranges::find(kCompressed, ext) != std::end(kCompressed)) name.erase(dot);
  }
  return name;
}

// The last component of a name stored in a gzip header, decoded as member
// names are; empty when it names nothing that can be written.
std::string HeaderFileName(const std::string& stored) {
  const std::string path = SafeWriter::SafeRelativePath(stored, NameCharset::Auto);
  return path.substr(path.rfind('/') + 1);
}

// The single-file form: `output` names the file to make. A gzip file's time
// is kept, and with `headerMayName` its stored name replaces the one given,
// as gzip -N does.
int32_t ExtractSingle(ExtractionJob& job, const std::string& output, Compression kind, const InputProgress& onInput,
                      bool headerMayName = false) {
  const size_t slash = output.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : output.substr(0, slash));
  Member member;
  member.name = slash == std::string::npos ? output : output.substr(slash + 1);
  member.charset = NameCharset::Utf8;
  if (kind == Compression::Gzip) {
    const GzipHeader header = GzipHeader::Read(job.file());
    member.mtime = header.mtime;
    if (const std::string name = HeaderFileName(header.name); headerMayName && !name.empty()) member.name = name;
  }
  if (kind == Compression::None) {
    job.report().fail("圧縮ファイルではありません");
    return kErrNotArchive;
  }
  SafeWriter::Options options = job.request().writerOptions;
  options.flatten = false;
  SafeWriter writer(folder, options, job.report());
  if (!writer.ready()) return writer.result();
  // The file is decoded to its end even when an existing file of that name
  // is kept: a damaged stream is a failure whatever was skipped.
  std::unique_ptr<MemberSink> sink = writer.begin(member);
  if (writer.stopped()) return job.finish(writer);
  Decoded decoded;
  if (auto stream = MakeStream(kind, job.file(), onInput)) {
    decoded = DecodeStream(*stream, sink.get());
    NoteIgnoredTrailing(*stream, job.report());
  } else {
    decoded = DecodeCompressed(job.file(), job.progress(), sink.get());
  }
  if (decoded.code != 0) {
    if (sink)
      sink->abort(decoded.code, decoded.reason);
    else
      writer.failArchive(decoded.code, decoded.reason);
  } else if (sink) {
    sink->commit();
  }
  return job.finish(writer);
}

}  // namespace

int32_t Extract(std::string_view command, Report& report, Progress& progress) {
  // -G asks for the single-file form even when the output names a folder: the
  // file then takes the archive's name without its compression extension.
  ExtractionJob job(command, report, progress, kSyntax, ExtractionJob::Output::FolderOrFile);
  if (job.failure()) return job.failure();
  const InputFile& file = job.file();
  const Compression kind = Sniff(file);
  const uint64_t size = file.size();
  const InputProgress onInput = [&](uint64_t at) { progress.update(at, size); };
  // The single-file form commits its one file only after the stream's end
  // was verified, so it never needs a pass of its own.
  if (!job.request().outputIsFolder()) return ExtractSingle(job, job.request().output, kind, onInput);
  if (job.request().singleFile && kind != Compression::None) {
    std::string output = job.request().output;
    if (!output.empty() && output.back() != '/') output += '/';
    return ExtractSingle(job, output + DecompressedName(job.request().archive), kind, onInput, true);
  }
  if (job.request().writerOptions.overwrite) {
    // Replaced files cannot be restored after a late checksum failure:
    // the whole archive is checked first (progress: first half).
    if (auto stream = MakeStream(kind, file, [&](uint64_t at) { progress.update(at / 2, size); })) {
      if (!stream->verify()) {
        report.fail(stream->errorReason());
        return stream->errorCode();
      }
      if (stream->ignoredTrailingBytes() > 0 && !TarEndsBeforeTrailing(kind, file, report)) return kErrDamaged;
      return ExtractTar(job, kind, [&](uint64_t at) { progress.update(size / 2 + at / 2, size); });
    }
    if (kind == Compression::Compress && !CompressedTarIsSound(file, report)) return kErrDamaged;
  }
  return ExtractTar(job, kind, onInput);
}

bool CanExtract(const std::string& path) {
  const InputFile file(path);
  return file.ok() && LooksExtractable(file);
}

}  // namespace rkarc::tar
