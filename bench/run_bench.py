#!/usr/bin/env python3
"""Runs the program's automatic run and the extractors a user would pick
instead over the corpus of make_corpus.py, interleaved (A B A B ...), checks
every output against the corpus's checksums, and writes the medians, the
ratio of ours to the fastest peer and the peak resident memory to RESULTS.md.

  bench/run_bench.py [--corpus DIR] [--build DIR] [--rounds N] [--only small,tgz,...]

Beside the peers, each round times the limits of a workload: its decoding
alone into /dev/null, and `cp -a` of the tree our run wrote (what creating
those files costs on this file system).
"""
import argparse
import collections
import hashlib
import os
import platform
import re
import shlex
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
NOTES_MARK = "<!-- Notes below this line are kept when the script rewrites the file. -->"

# Per archive in a shell loop: one folder per archive, named after it.
# Formats a tool cannot read fall to the classic tool for that format.
CLASSIC = {
    "lzh": 'lhasa "xqfw=$d" "$a"',
    "arj": 'arj x -y -i "$a" "$d/" >/dev/null',
    "cab": 'cabextract -q -d "$d" "$a"',
    "gz": 'gzip -dc "$a" > "$d/$(basename "$a" .gz)"',
    "zip": 'unzip -qo "$a" -d "$d"',
    "tar.gz": 'tar -xzf "$a" -C "$d"',
    "tar.bz2": 'tar -xjf "$a" -C "$d"',
}
LOOPS = {
    "bsdtar loop": {k: 'bsdtar -xf "$a" -C "$d"' for k in ("zip", "tar.gz", "tar.bz2", "lzh", "cab")},
    "7zz loop": {**{k: '7zz x -y -bso0 -bsp0 "-o$d" "$a"' for k in ("zip", "lzh", "arj", "cab", "gz")},
                 "tar.gz": '7zz x -so "$a" | 7zz x -si -ttar -y -bso0 -bsp0 "-o$d"',
                 "tar.bz2": '7zz x -so "$a" | 7zz x -si -ttar -y -bso0 -bsp0 "-o$d"'},
    "unar loop": {k: 'unar -q -f -D -o "$d" "$a" >/dev/null' for k in CLASSIC},
    "classic tools loop": CLASSIC,
}


def kind_of(name):
    for kind in ("tar.gz", "tar.bz2", "zip", "lzh", "arj", "cab", "gz"):
        if name.endswith("." + kind):
            return kind
    return None


def loop_script(commands, archives):
    """A shell loop over the archives with one case per kind."""
    cases = "\n".join(f"  *.{k}) {commands.get(k, CLASSIC[k])} ;;"
                      for k in sorted(CLASSIC, key=lambda k: -len(k)))
    listed = " ".join(shlex.quote(a) for a in archives)
    return (f'for a in {listed}; do\n d="$OUT/$(basename "$a")"; mkdir -p "$d"\n'
            f' case "$a" in\n{cases}\n esac\ndone')


COPY_LIMIT = "limit: cp -a of our output"
DECODE_LIMIT = "limit: decoding alone"


class Workload:
    def __init__(self, key, title, archives, runs, targets=(), decode=None):
        self.key, self.title, self.archives = key, title, archives
        self.runs = runs  # label -> shell command using $OUT
        # (largest ratio allowed, the peer it is measured against; None: the fastest)
        self.targets = list(targets)
        # label -> command timed after the runs of a round; $SRC is our output of that round.
        self.limits = {COPY_LIMIT: 'cp -a "$SRC" "$OUT/copy"'}
        if decode:
            self.limits[DECODE_LIMIT] = decode


def ours(build, mode, archives):
    listed = " ".join(shlex.quote(a) for a in archives)
    return f'{shlex.quote(os.path.join(build, "rukasu2"))} --auto --mode {mode} --dest "$OUT" {listed} >/dev/null'


UNAR = 'unar -q -f -o "$OUT" $a >/dev/null'
SEVEN = '7zz x -y -bso0 -bsp0 "-o$OUT" $a'
BSDTAR = 'bsdtar -xf $a -C "$OUT"'
FASTEST = (1.0, None)  # at most as long as the fastest peer whose output checked out
# Our own decoders without the writer (bench/decode_to_null.cpp): LZH, ARJ, gzip, bzip2.
OWN_DECODER = '"$BUILD/bench/decode_to_null" $a'
LZH_PEERS = {"lhasa": 'lhasa "xqfw=$OUT" $a', "bsdtar": BSDTAR, "7zz": SEVEN, "unar": UNAR}
ARJ_PEERS = {"arj": 'arj x -y -i $a "$OUT/" >/dev/null', "7zz": SEVEN, "unar": UNAR}
TAR_PIPE = '7zz x -so $a | 7zz x -si -ttar -y -bso0 -bsp0 "-o$OUT"'
ONE_THREAD = "ours (okavi, 1 thread)"  # bzip2 decoded on one thread: reported, not judged
# The large archives: key, file in large/, title, peers (label -> command on $a
# into $OUT), targets (largest ratio allowed, against which peer: None for the
# fastest), and the decoding alone into /dev/null.
LARGE = [
    ("tgz", "big.tar.gz", "1 GB TAR.GZ",
     {"bsdtar": BSDTAR, "GNU tar": 'tar -xzf $a -C "$OUT"', "7zz (pipe)": TAR_PIPE, "unar": UNAR},
     [FASTEST, (0.6, "bsdtar")], OWN_DECODER),
    ("bigzip", "big.zip", "1 GB ZIP (deflate, large members)",
     {"bsdtar": BSDTAR, "unzip": 'unzip -qo $a -d "$OUT"', "7zz": SEVEN, "unar": UNAR},
     [FASTEST, (0.6, "bsdtar")], "unzip -p $a >/dev/null"),
    ("tbz", "big.tar.bz2", "300 MB TAR.BZ2",
     {"bsdtar": BSDTAR, "GNU tar": 'tar -xjf $a -C "$OUT"', "7zz (pipe)": TAR_PIPE, "unar": UNAR},
     [FASTEST, (1.0, "7zz (pipe)")], OWN_DECODER),
    ("bz2", "big.bz2", "100 MB single .bz2",
     {"bzip2": 'bzip2 -dc $a > "$OUT/big"', "lbzip2": 'lbzip2 -dc $a > "$OUT/big"', "7zz": SEVEN, "unar": UNAR},
     [FASTEST, (1.0, "7zz")], OWN_DECODER),
    ("zip", "many.zip", "ZIP with 20,000 members",
     {"bsdtar": BSDTAR, "unzip": 'unzip -qo $a -d "$OUT"', "7zz": SEVEN, "unar": UNAR},
     [FASTEST], "unzip -p $a >/dev/null"),
    ("lzh", "big.lzh", "300 MB LZH (lh5)", LZH_PEERS, [FASTEST], OWN_DECODER),
    ("lzh7", "big7.lzh", "300 MB LZH (lh7)", LZH_PEERS, [FASTEST], OWN_DECODER),
    ("arj", "big.arj", "300 MB ARJ (method 1)", ARJ_PEERS, [FASTEST], OWN_DECODER),
    ("arj4", "big4.arj", "300 MB ARJ (method 4)", ARJ_PEERS, [FASTEST], OWN_DECODER),
    ("cab", "big.cab", "300 MB CAB (MSZIP)",
     {"cabextract": 'cabextract -q -d "$OUT" $a', "7zz": SEVEN, "bsdtar": BSDTAR, "unar": UNAR},
     [FASTEST], "cabextract -q -p $a >/dev/null"),
    ("rar", "big.rar", "300 MB RAR (stored)",
     {"bsdtar": BSDTAR, "unrar-free": 'unrar-free -x $a "$OUT/" >/dev/null', "unar": UNAR},
     [FASTEST], "bsdtar -xOf $a >/dev/null"),
    ("7z", "big.7z", "300 MB 7z (LZMA2, solid)", {"7zz": SEVEN, "bsdtar": BSDTAR, "unar": UNAR}, [FASTEST], None),
    ("d64", "big64.zip", "300 MB ZIP (Deflate64)", {"7zz": SEVEN, "unar": UNAR}, [FASTEST, (1.0, "7zz")], None),
    ("txz", "big.tar.xz", "300 MB TAR.XZ (xz -T0)",
     {"bsdtar": BSDTAR, "GNU tar": 'tar -xJf $a -C "$OUT"', "7zz (pipe)": TAR_PIPE, "unar": UNAR}, [FASTEST], None),
    ("tzst", "big.tar.zst", "300 MB TAR.ZST",
     {"bsdtar": BSDTAR, "GNU tar": 'tar --zstd -xf $a -C "$OUT"', "7zz (pipe)": TAR_PIPE}, [FASTEST], None),
]


def workloads(corpus, build):
    small = sorted(os.path.join(corpus, "small", n) for n in os.listdir(os.path.join(corpus, "small"))
                   if kind_of(n)) if os.path.isdir(os.path.join(corpus, "small")) else []
    large = lambda name: os.path.join(corpus, "large", name)
    result = []
    if small:
        runs = {"ours (okavi)": ours(build, "okavi", small), "ours (normal)": ours(build, "normal", small)}
        runs.update({label: loop_script(cmds, small) for label, cmds in LOOPS.items()})
        result.append(Workload("small", f"{len(small)} small archives of mixed kinds", small, runs, [(0.3, None)]))
    for key, file, title, peers, targets, decode in LARGE:
        a = large(file)
        if not os.path.exists(a):
            continue
        runs = {"ours (okavi)": ours(build, "okavi", [a])}
        if a.endswith(".bz2"):
            runs[ONE_THREAD] = "RUKASU2_BZIP2_THREADS=1 " + runs["ours (okavi)"]
        runs.update({label: cmd.replace("$a", shlex.quote(a)) for label, cmd in peers.items()})
        result.append(Workload(key, title, [a], runs, targets, decode and decode.replace("$a", shlex.quote(a))))
    if os.path.exists(os.path.join(corpus, "ish", "big.log")):
        a = os.path.join(corpus, "ish", "big.log")
        result.append(Workload("ish", "20 MB terminal log with ISH texts", [a],
                               {"ours (okavi)": ours(build, "okavi", [a])}))
    return result


def expected_files(archives):
    """(file name, sha256) of every member, from the corpus's .sha256 files."""
    want = collections.Counter()
    for a in archives:
        if os.path.exists(a + ".sha256"):
            with open(a + ".sha256", encoding="utf-8") as f:
                for line in f:
                    digest, name = line.rstrip("\n").split("  ", 1)
                    want[(os.path.basename(name), digest)] += 1
    return want


def found_files(folder):
    got = collections.Counter()
    for base, _, files in os.walk(folder):
        for name in files:
            h = hashlib.sha256()
            with open(os.path.join(base, name), "rb") as f:
                for block in iter(lambda: f.read(1 << 20), b""):
                    h.update(block)
            got[(name, h.hexdigest())] += 1
    return got


def verify(folder, want):
    """'ok' when every expected member is there, whole and under its name;
    'ok, other names' when only the names differ; else what is missing."""
    if not want:
        return "n/a"
    found = found_files(folder)
    if not want - found:
        return "ok"
    by_content = lambda files: collections.Counter({d: n for (_, d), n in files.items()})
    missing = by_content(want) - by_content(found)
    if not missing:
        return "ok, other names"
    return f"{sum(missing.values())} of {sum(want.values())} missing or wrong"


def timed(command, out, env):
    """Runs one command under /usr/bin/time; returns (wall s, CPU s, peak RSS KiB, exit code)."""
    os.makedirs(out)
    os.sync()  # no run pays for the previous one's writeback
    with tempfile.NamedTemporaryFile("r") as stats:
        proc = subprocess.run(["/usr/bin/time", "-f", "%e %U %S %M", "-o", stats.name, "bash", "-c", command],
                              env={**env, "OUT": out}, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        fields = stats.read().split()
    return float(fields[-4]), float(fields[-3]) + float(fields[-2]), int(fields[-1]), proc.returncode


def machine():
    def out(*cmd):
        try:
            return subprocess.run(cmd, capture_output=True, text=True).stdout.strip()
        except OSError:
            return "not found"
    mem = re.search(r"MemTotal:\s+(\d+)", open("/proc/meminfo").read())
    cpu = re.search(r"model name\s*:\s*(.*)", open("/proc/cpuinfo").read())
    lines = [
        f"- Date: {time.strftime('%Y-%m-%d %H:%M %Z')}",
        f"- CPU: {cpu.group(1) if cpu else '?'}, nproc {os.cpu_count()}, load average at start "
        f"{os.getloadavg()[0]:.1f} (the machine is shared with other builds)",
        f"- RAM: {int(mem.group(1)) // 1024 // 1024} GiB; kernel {platform.release()}",
        f"- Disk: {out('df', '-h', '--output=source,fstype,size', tempfile.gettempdir()).splitlines()[-1]}",
        "- Tools: " + "; ".join([
            out("bsdtar", "--version").split(" - ")[0], out("tar", "--version").splitlines()[0],
            out("7zz").splitlines()[0].split(" : ")[0] if out("7zz") else "7zz ?",
            "unar " + out("unar", "-v"), out("lhasa").splitlines()[0].split(" command")[0],
            "ARJ " + (re.search(r"v (\d[\d.]*)", out("arj")) or re.search("(.)", "?")).group(1),
            out("cabextract", "--version"), out("unzip", "-v").splitlines()[0].split(" of")[0],
            out("gzip", "--version").splitlines()[0]]),
    ]
    return "\n".join(lines)


def settle(folder, seconds):
    """Removes a round's outputs and waits: ext4 searches the inode tables of
    files deleted in the last half minute on every file it creates, which made
    a run right after a cleanup up to twice as slow as the same run later.
    Only the removal of many files needs the pause; a few large ones get 2 s."""
    removed = sum(len(files) for _, _, files in os.walk(folder))
    shutil.rmtree(folder, ignore_errors=True)
    os.sync()
    time.sleep(seconds if removed > 1000 else min(seconds, 2))


def measure(work, rounds, scratch, env, log, pause):
    samples = collections.defaultdict(list)
    cpu = collections.defaultdict(list)
    rss = collections.defaultdict(int)
    checks = {}
    want = expected_files(work.archives)
    settle(os.path.join(scratch, work.key), pause)
    runs = list(work.runs.items()) + list(work.limits.items())
    for n in range(rounds):
        ours_out = None
        for i, (label, command) in enumerate(runs):
            out = os.path.join(scratch, work.key, f"round{n}-{i}")
            if label.startswith("ours") and ours_out is None:
                ours_out = out
            seconds, busy, peak, rc = timed(command, out, {**env, "SRC": ours_out or out})
            samples[label].append(seconds)
            cpu[label].append(busy)
            rss[label] = max(rss[label], peak)
            if n == 0:
                check = "n/a" if label in work.limits else verify(out, want)
                checks[label] = check + ("" if rc == 0 else f" (exit {rc})")
            log(f"{work.key} round {n + 1} {label}: {seconds:.2f} s, CPU {busy:.2f} s, {peak // 1024} MB, "
                f"{checks[label]}")
        settle(os.path.join(scratch, work.key), pause)
    return samples, cpu, rss, checks


def fastest(work, median, checks, peer=None):
    """The fastest peer whose output checked out, or `peer` when its output did."""
    peers = {l: m for l, m in median.items()
             if l in work.runs and not l.startswith("ours") and checks[l].startswith("ok")}
    if peer:
        peers = {peer: peers[peer]} if peer in peers else {}
    return min(peers.values()) if peers else None


def table(work, samples, cpu, rss, checks):
    median = {label: statistics.median(v) for label, v in samples.items()}
    median_cpu = {label: statistics.median(v) for label, v in cpu.items()}
    best, best_cpu = fastest(work, median, checks), fastest(work, median_cpu, checks)
    versus = "fastest peer" + (" loop" if work.key == "small" else "")
    rows = [f"### {work.title}", "",
            f"| run | median s | runs (s) | median CPU s | peak RSS MB | output | ours / {versus} | CPU ratio |",
            "|---|---:|---|---:|---:|---|---:|---:|"]
    summary = []
    limits = " / ".join(f"{median[l]:.2f}" for l in (DECODE_LIMIT, COPY_LIMIT) if l in median)
    for label in list(work.runs) + list(work.limits):
        ours = label.startswith("ours")
        ratio = f"{median[label] / best:.2f}" if best and ours else ""
        cpu_ratio = f"{median_cpu[label] / best_cpu:.2f}" if best_cpu and ours else ""
        runs = " ".join(f"{s:.2f}" for s in samples[label])
        rows.append(f"| {label} | {median[label]:.2f} | {runs} | {median_cpu[label]:.2f} | {rss[label] / 1024:.0f} | "
                    f"{checks[label]} | {ratio} | {cpu_ratio} |")
        for most, peer in (work.targets if ours and label != ONE_THREAD else ()):
            against, against_cpu = fastest(work, median, checks, peer), fastest(work, median_cpu, checks, peer)
            if not against:
                continue
            met = median[label] / against <= most
            summary.append(f"| {work.title}, {label} | <= {most} x {peer or versus} | "
                           f"{median[label] / against:.2f} (CPU {median_cpu[label] / against_cpu:.2f}) | "
                           f"{median[label]:.2f} s; {limits} | {'met' if met else 'missed'} |")
        if ours and work.key == "small" and COPY_LIMIT in median:
            to_copy = median[label] / median[COPY_LIMIT]
            summary.append(f"| {work.title}, {label} | <= 2 x cp -a of the output | {to_copy:.2f} | "
                           f"{median[label]:.2f} s; {limits} | {'met' if to_copy <= 2 else 'missed'} |")
        if ours:
            summary.append(f"| {work.title}, {label}: peak RSS | <= 64 MB | {rss[label] / 1024:.0f} MB | | "
                           f"{'met' if rss[label] <= 64 * 1024 else 'missed'} |")
    return "\n".join(rows), summary


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--corpus", default="/tmp/rukasu2-corpus")
    parser.add_argument("--build", default=os.path.join(HERE, "..", "build-bench"))
    parser.add_argument("--scratch", default=os.path.join(tempfile.gettempdir(), "rukasu2-bench-out"))
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--pause", type=float, default=35, help="seconds to wait after removing a round's outputs")
    parser.add_argument("--only", default="")
    parser.add_argument("--results", default=os.path.join(HERE, "RESULTS.md"))
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    config = tempfile.mkdtemp(prefix="rukasu2-bench-config-")
    # Default settings, except that .LOG files are searched for ISH texts.
    os.makedirs(os.path.join(config, "Velmont Soft"))
    with open(os.path.join(config, "Velmont Soft", "Rukasu2.ini"), "w") as f:
        f.write("[General]\nIsh_Log=true\n")
    env = {**os.environ, "QT_QPA_PLATFORM": "offscreen", "XDG_CONFIG_HOME": config, "LC_ALL": "C.UTF-8",
           "BUILD": build}
    chosen = [w for w in workloads(os.path.abspath(args.corpus), build) if not args.only or w.key in args.only.split(",")]
    if not chosen:
        sys.exit(f"run_bench: no corpus in {args.corpus}; make it with bench/make_corpus.py")
    log = lambda line: print(line, flush=True)
    sections, summary = [], []
    for work in chosen:
        for a in work.archives:  # the archives in the page cache for every run alike
            subprocess.run(["cat", a], stdout=subprocess.DEVNULL)
        rows, lines = table(work, *measure(work, args.rounds, args.scratch, env, log, args.pause))
        sections.append(rows)
        summary += lines
    shutil.rmtree(config, ignore_errors=True)
    notes = ""
    if os.path.exists(args.results):
        text = open(args.results, encoding="utf-8").read()
        if NOTES_MARK in text:
            notes = text.split(NOTES_MARK, 1)[1]
    with open(args.results, "w", encoding="utf-8") as f:
        f.write("# Benchmark results\n\nWritten by `bench/run_bench.py` "
                f"(rounds: {args.rounds}, interleaved, outputs kept to the end of each round; "
                "corpus from `bench/make_corpus.py`).\n\n"
                f"{machine()}\n\n## Targets\n\nLimits: the decoding alone into /dev/null, and `cp -a` of the tree our run wrote "
                "(median seconds; see each workload's table).\n\n"
                "| workload | target | measured | ours; limits: decoding / cp -a | |\n|---|---|---:|---|---|\n"
                + "\n".join(summary) + "\n\n## Workloads\n\n" + "\n\n".join(sections)
                + "\n\n" + NOTES_MARK + notes)
    log(f"run_bench: wrote {args.results}")


if __name__ == "__main__":
    main()
