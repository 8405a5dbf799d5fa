#!/usr/bin/env python3
"""Builds the benchmark corpus into a folder given on the command line.

Every byte comes from a seeded generator and every timestamp is fixed, so two
runs with the same seed give the same member contents. Each archive gets a
"<archive>.sha256" file listing its members as `sha256sum -c` reads them, for
checking an extraction's output folder. Needs jlha-utils (lha), arj, gcab,
7zip (7zz), xz-utils and zstd.

  bench/make_corpus.py [--seed N] [--scale F] [--only small,large,tree,ish] [FOLDER]

--only also takes the workload keys of run_bench.py to make single archives:
tgz, zip, lzh, lzh7, arj, arj4, cab, rar, tbz, bz2, bigzip, 7z, txz, tzst, d64.
"""
import argparse
import bz2
import gzip
import hashlib
import io
import os
import random
import shutil
import subprocess
import sys
import tarfile
import tempfile
import zipfile
import zlib

MTIME = 1577836800  # 2020-01-01 00:00:00 UTC
SMALL_KINDS = ["zip", "tar.gz", "lzh", "arj", "cab", "tar.bz2", "gz"]
WORDS = ("archive extract folder member header checksum stream window buffer pane "
         "list log target destination name path file data block table tree node "
         "解凍 圧縮 書庫 ファイル フォルダ 名前 日本語 結果 一覧 設定").split()


class Content:
    """Mixed compressible data: prose, CSV-like records, and random bytes, cut
    from pools made once so that making a gigabyte stays quick."""

    def __init__(self, rng, pool_size=8 << 20):
        text = " ".join(rng.choice(WORDS) for _ in range(pool_size // 6)).encode("utf-8")
        records = "".join(f"{i},{rng.randrange(10**6)},{rng.choice(WORDS)},{rng.random():.6f}\n"
                          for i in range(pool_size // 32)).encode("utf-8")
        self.pools = [(text, 60), (records, 25), (rng.randbytes(pool_size), 15)]

    def make(self, rng, size):
        out = bytearray()
        while len(out) < size:
            pool = rng.choices([p for p, _ in self.pools], [w for _, w in self.pools])[0]
            run = min(size - len(out), rng.randrange(4096, 256 * 1024))
            start = rng.randrange(0, len(pool) - run)
            out += pool[start:start + run]
        # A distinct first line, so that no two members are alike.
        stamp = f"{rng.getrandbits(64):016x}\n".encode()
        out[: len(stamp)] = stamp[: len(out)]
        return bytes(out)


class Manifest:
    def __init__(self):
        self.lines = []

    def add(self, name, data):
        self.lines.append(f"{hashlib.sha256(data).hexdigest()}  {name}\n")

    def write(self, archive):
        with open(archive + ".sha256", "w", encoding="utf-8") as f:
            f.writelines(self.lines)


def run(*command, cwd=None):
    subprocess.run(command, cwd=cwd, check=True, stdout=subprocess.DEVNULL)


def stage(folder, members):
    """Writes (name, data) pairs under folder with the fixed time; returns the names."""
    for name, data in members:
        path = os.path.join(folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        os.utime(path, (MTIME, MTIME))
    return [name for name, _ in members]


def write_zip(path, members):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in members:
            info = zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            z.writestr(info, data)


def write_tar(path, members, mode):
    with tarfile.open(path, mode) as t:
        for name, data in members:
            info = tarfile.TarInfo(name)
            info.size, info.mtime, info.mode = len(data), MTIME, 0o644
            t.addfile(info, io.BytesIO(data))


def write_gz(path, data):
    with open(path, "wb") as raw, gzip.GzipFile(os.path.basename(path)[:-3], "wb", 6, raw, MTIME) as f:
        f.write(data)


def write_with_tool(path, members, command):
    with tempfile.TemporaryDirectory(dir=os.path.dirname(path)) as staging:
        names = stage(staging, members)
        run(*command(os.path.abspath(path), names), cwd=staging)


def lzh_command(path, names, method=5):
    return ["lha", f"ao{method}q", path, *names]


def arj_command(path, names, method=1):
    return ["arj", "a", f"-m{method}", "-y", "-i", path, *names]


def cab_command(path, names):
    return ["gcab", "-c", "-z", path, *names]


def sevenzip_command(path, names):
    return ["7zz", "a", "-bso0", "-bsp0", path, *names]


def write_archive(path, kind, members):
    if kind == "zip":
        write_zip(path, members)
    elif kind == "tar.gz":
        write_tar(path, members, "w:gz")
    elif kind == "tar.bz2":
        write_tar(path, members, "w:bz2")
    elif kind == "gz":
        write_gz(path, members[0][1])
    else:
        command = {"lzh": lzh_command, "arj": arj_command, "cab": cab_command}[kind]
        write_with_tool(path, members, command)


ASCII_WORDS = [w for w in WORDS if w.isascii()]


def member_set(rng, content, count, low, high, prefix, words):
    return [(f"{prefix}f{i:02d}_{rng.choice(words)}.txt", content.make(rng, rng.randrange(low, high)))
            for i in range(count)]


def make_small(root, rng, content, count):
    """(a) `count` archives of mixed kinds, each a few files of a few KB."""
    folder = os.path.join(root, "small")
    os.makedirs(folder, exist_ok=True)
    for i in range(count):
        kind = SMALL_KINDS[i % len(SMALL_KINDS)]
        # Names unique across archives, so that a run into one folder keeps
        # every file; Japanese names only where the writer here stores UTF-8
        # (the command-line archivers would store them as "?").
        words = WORDS if kind in ("zip", "tar.gz", "tar.bz2") else ASCII_WORDS
        members = member_set(rng, content, 1 if kind == "gz" else rng.randrange(2, 6), 1024, 8192, f"s{i:04d}_", words)
        if kind == "gz":
            members = [(f"s{i:04d}", members[0][1])]
        path = os.path.join(folder, f"s{i:04d}.{kind}")
        write_archive(path, kind, members)
        manifest = Manifest()
        for name, data in members:
            manifest.add(name, data)
        manifest.write(path)


def large_members(rng, content, total, low, high):
    """Members of random sizes adding up to about `total` bytes, in a few folders."""
    made = 0
    i = 0
    while made < total:
        size = min(rng.randrange(low, high), total - made)
        yield f"d{i % 8}/m{i:05d}.dat", content.make(rng, size)
        made += size
        i += 1


def make_large_tar(root, rng, content, total, name="big.tar.gz", mode="w:gz", level=6):
    path = os.path.join(root, "large", name)
    manifest = Manifest()
    with tarfile.open(path, mode, compresslevel=level) as t:
        for name, data in large_members(rng, content, total, 64 << 10, 16 << 20):
            info = tarfile.TarInfo(name)
            info.size, info.mtime, info.mode = len(data), MTIME, 0o644
            t.addfile(info, io.BytesIO(data))
            manifest.add(name, data)
    manifest.write(path)


def make_large_bz2(root, rng, content, total):
    """One file compressed with bzip2 -9 (900 KB blocks), as `bzip2 big` leaves it."""
    path = os.path.join(root, "large", "big.bz2")
    manifest = Manifest()
    data = b"".join(data for _, data in large_members(rng, content, total, 1 << 20, 8 << 20))
    with bz2.open(path, "wb", compresslevel=9) as f:
        f.write(data)
    manifest.add("big", data)
    manifest.write(path)


def deflate64_zip_command(path, names):
    return ["7zz", "a", "-bso0", "-bsp0", "-tzip", "-mm=Deflate64", path, *names]


def make_large_deflate_zip(root, rng, content, total):
    """Large deflated members, where the time goes to inflating rather than to creating files."""
    path = os.path.join(root, "large", "big.zip")
    manifest = Manifest()
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        for name, data in large_members(rng, content, total, 64 << 10, 16 << 20):
            info = zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            z.writestr(info, data)
            manifest.add(name, data)
    manifest.write(path)


def make_large_zip(root, rng, content, members):
    path = os.path.join(root, "large", "many.zip")
    listed = [(f"d{i // 500:02d}/z{i:05d}.txt", content.make(rng, rng.randrange(512, 8192))) for i in range(members)]
    write_zip(path, listed)
    manifest = Manifest()
    for name, data in listed:
        manifest.add(name, data)
    manifest.write(path)


def make_large_with_tool(root, rng, content, total, name, command):
    """The 300 MB LZH, ARJ and CAB: members staged on disk, then handed to the tool."""
    path = os.path.join(root, "large", name)
    manifest = Manifest()
    with tempfile.TemporaryDirectory(dir=os.path.join(root, "large")) as staging:
        names = []
        for member, data in large_members(rng, content, total, 256 << 10, 8 << 20):
            stage(staging, [(member, data)])
            manifest.add(member, data)
            names.append(member)
        run(*command(os.path.abspath(path), names), cwd=staging)
    manifest.write(path)


def make_large_compressed_tar(root, rng, content, total, name, command):
    """A tar of members like the others, compressed by a tool that writes
    to its standard output (xz -T0, zstd): the files users download today."""
    path = os.path.join(root, "large", name)
    manifest = Manifest()
    with tempfile.TemporaryFile(dir=os.path.join(root, "large")) as plain:
        with tarfile.open(fileobj=plain, mode="w") as t:
            for member, data in large_members(rng, content, total, 256 << 10, 8 << 20):
                info = tarfile.TarInfo(member)
                info.size, info.mtime, info.mode = len(data), MTIME, 0o644
                t.addfile(info, io.BytesIO(data))
                manifest.add(member, data)
        plain.seek(0)
        with open(path, "wb") as out:
            subprocess.run(command, stdin=plain, stdout=out, check=True)
    manifest.write(path)


def write_rar(path, members):
    """A RAR 4 archive of stored members (no RAR compressor ships with Debian):
    the container, its headers and checksums as every RAR reader reads them."""
    def block(kind, flags, body, add_size=0):
        size = 7 + len(body)
        head = bytes([kind]) + flags.to_bytes(2, "little") + size.to_bytes(2, "little") + body
        return (zlib.crc32(head) & 0xFFFF).to_bytes(2, "little") + head

    dos_time = ((2020 - 1980) << 25) | (1 << 21) | (1 << 16)
    with open(path, "wb") as f:
        f.write(b"Rar!\x1a\x07\x00")
        f.write(block(0x73, 0, bytes(6)))
        for name, data in members:
            encoded = name.encode("ascii")
            body = (len(data).to_bytes(4, "little") + len(data).to_bytes(4, "little") + bytes([2])
                    + zlib.crc32(data).to_bytes(4, "little") + dos_time.to_bytes(4, "little")
                    + bytes([20, 0x30]) + len(encoded).to_bytes(2, "little")
                    + (0x20).to_bytes(4, "little") + encoded)
            f.write(block(0x74, 0x8000, body))
            f.write(data)
        f.write(block(0x7B, 0x4000, b""))


def make_large_rar(root, rng, content, total):
    path = os.path.join(root, "large", "big.rar")
    manifest = Manifest()
    members = list(large_members(rng, content, total, 256 << 10, 8 << 20))
    write_rar(path, [(name.replace("/", "\\"), data) for name, data in members])
    for name, data in members:
        manifest.add(name, data)
    manifest.write(path)


def make_tree(root, files, folders):
    """(c) One folder with `files` archive-named empty files and `folders`
    subfolders, for the file and folder panes."""
    folder = os.path.join(root, "tree")
    os.makedirs(folder, exist_ok=True)
    for i in range(files):
        ext = SMALL_KINDS[i % len(SMALL_KINDS)].upper() if i % 2 else SMALL_KINDS[i % len(SMALL_KINDS)]
        open(os.path.join(folder, f"{'ab'[i % 2]}file{(i * 7919) % files:05d}.{ext}"), "wb").close()
    for i in range(folders):
        os.makedirs(os.path.join(folder, f"sub{i:04d}"), exist_ok=True)


def make_ish_log(root, rng, size, samples):
    """(d) A terminal log of about `size` bytes with the ISH fixtures of
    tests/data spread through it (no ISH encoder ships with Debian)."""
    ish = []
    for variant in ("jis7", "jis8", "sjis", "nonkana"):
        folder = os.path.join(samples, "ish", variant)
        for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
            with open(os.path.join(folder, name), "rb") as f:
                ish.append(f.read())
    if not ish:
        print("make_corpus: no ISH samples under", samples, "- skipping the ISH log", file=sys.stderr)
        return
    chatter = [f"{w} {rng.randrange(10**5)} {rng.choice(WORDS)} ok\r\n".encode("cp932") for w in WORDS[:24]]
    path = os.path.join(root, "ish", "big.log")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    gap = size // (len(ish) + 1)
    with open(path, "wb") as f:
        for block in ish + [b""]:
            written = 0
            while written < gap:
                line = rng.choice(chatter)
                f.write(line)
                written += len(line)
            f.write(block)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("folder", nargs="?", default="/tmp/rukasu2-corpus")
    parser.add_argument("--seed", type=int, default=20201)
    parser.add_argument("--scale", type=float, default=1.0, help="size factor for the large archives")
    parser.add_argument("--only", default="small,large,tree,ish")
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--samples", default=os.path.join(here, "..", "tests", "data"))
    args = parser.parse_args()
    parts = set(args.only.split(","))
    root = os.path.abspath(args.folder)
    os.makedirs(os.path.join(root, "large"), exist_ok=True)
    rng = random.Random(args.seed)
    content = Content(rng)
    # Each part draws from its own generator so that --only gives the same bytes.
    # (parts it belongs to, step); appended steps keep the seeds of the earlier
    # ones. A step's parts are "small", "large", "tree" or "ish" and its
    # run_bench.py workload key; --only takes either.
    large = lambda name, command, method: lambda r: make_large_with_tool(
        root, r, content, int(args.scale * 300e6), name, lambda p, n: command(p, n, method))
    steps = [
        ({"small"}, lambda r: make_small(root, r, content, 1000)),
        ({"large", "tgz"}, lambda r: make_large_tar(root, r, content, int(args.scale * (1 << 30)))),
        ({"large", "zip"}, lambda r: make_large_zip(root, r, content, 20000)),
        ({"large", "lzh"}, large("big.lzh", lzh_command, 5)),
        ({"large", "arj"}, large("big.arj", arj_command, 1)),
        ({"tree"}, lambda r: make_tree(root, 50000, 2000)),
        ({"ish"}, lambda r: make_ish_log(root, r, 20 << 20, os.path.abspath(args.samples))),
        ({"large", "lzh7"}, large("big7.lzh", lzh_command, 7)),
        ({"large", "arj4"}, large("big4.arj", arj_command, 4)),
        ({"large", "cab"}, large("big.cab", lambda p, n, _: cab_command(p, n), 0)),
        ({"large", "rar"}, lambda r: make_large_rar(root, r, content, int(args.scale * 300e6))),
        ({"large", "tbz"}, lambda r: make_large_tar(root, r, content, int(args.scale * 300e6), "big.tar.bz2", "w:bz2", 9)),
        ({"large", "bz2"}, lambda r: make_large_bz2(root, r, content, int(args.scale * 100e6))),
        ({"large", "bigzip"}, lambda r: make_large_deflate_zip(root, r, content, int(args.scale * (1 << 30)))),
        ({"large", "7z"}, lambda r: make_large_with_tool(root, r, content, int(args.scale * 300e6), "big.7z",
                                                        sevenzip_command)),
        ({"large", "txz"}, lambda r: make_large_compressed_tar(root, r, content, int(args.scale * 300e6),
                                                               "big.tar.xz", ["xz", "-T0", "-6", "-c"])),
        ({"large", "tzst"}, lambda r: make_large_compressed_tar(root, r, content, int(args.scale * 300e6),
                                                                "big.tar.zst", ["zstd", "-T0", "-3", "-q", "-c"])),
        # Last, so that the steps before it keep their seeds.
        ({"large", "d64"}, lambda r: make_large_with_tool(root, r, content, int(args.scale * 300e6), "big64.zip",
                                                         deflate64_zip_command)),
    ]
    for n, (part, step) in enumerate(steps):
        if part & parts:
            print(f"make_corpus: step {n} ({', '.join(sorted(part))})", flush=True)
            step(random.Random(args.seed * 100 + n))
    print("make_corpus: done in", root)


if __name__ == "__main__":
    main()
