#!/usr/bin/env bash
# Head-to-head with sdcv on the same GCIDE data: converts Debian's dict-gcide
# files (gcide.index + gcide.dict.dz) into a StarDict dictionary, then times
# whole-process lookups, alternating one `lexivane-dict lookup` on the large
# dictionary with one `sdcv -n -e` on the converted GCIDE, for a hit, an
# inflected form and a miss. Prints the median wall time of each per word and
# overall, their ratio, and the peak RSS of one lookup process of each.
# Usage: bench/sdcv-head-to-head.sh [DIST_DIR] [ROUNDS]   (default build/dist, 101)
# Installs sdcv and GNU time (Debian packages) when they are missing.
set -euo pipefail
dist=${1:-build/dist}
rounds=${2:-101}
dictd=${LEXIVANE_DICTD_DIR:-/usr/share/dictd}
tool="$dist/lexivane-dict"
large="$dist/English Dictionary (large).pdb"
stardict_dir="$(dirname "$dist")/sdcv-gcide"

for package in sdcv time; do
  if ! dpkg -s "$package" >/dev/null 2>&1; then
    apt-get install -y "$package" >/dev/null || { apt-get update >/dev/null && apt-get install -y "$package" >/dev/null; }
  fi
done
[[ -x $tool && -f $large ]] || { echo "build $tool and $large first (make)" >&2; exit 1; }

# dictd -> StarDict 2.4.2: .ifo, .idx (word NUL, 32-bit big-endian offset and
# size, ordered as StarDict expects: ASCII case-insensitive, then bytewise) and
# the uncompressed .dict. Rebuilt when older than the dictd files.
ifo="$stardict_dir/gcide.ifo"
if [[ ! -f $ifo || $ifo -ot $dictd/gcide.index || $ifo -ot $dictd/gcide.dict.dz ]]; then
  mkdir -p "$stardict_dir"
  python3 - "$dictd/gcide.index" "$dictd/gcide.dict.dz" "$stardict_dir/gcide" <<'PY'
import gzip, struct, sys

index_path, data_path, out = sys.argv[1:4]
B64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
def number(s):
    n = 0
    for c in s:
        n = n * 64 + B64.index(c)
    return n

data = gzip.open(data_path, "rb").read()
entries = []
with open(index_path, "rb") as index:
    for line in index:
        fields = line.rstrip(b"\n").split(b"\t")
        if len(fields) < 3 or fields[0].startswith(b"00-database"):
            continue
        entries.append((fields[0], number(fields[1].decode()), number(fields[2].decode())))

def ascii_lower(b):
    return bytes(c + 32 if 65 <= c <= 90 else c for c in b)

entries.sort(key=lambda e: (ascii_lower(e[0]), e[0]))
body = bytearray()
idx = bytearray()
for word, offset, size in entries:
    idx += word + b"\0" + struct.pack(">II", len(body), size)
    body += data[offset:offset + size]
open(out + ".dict", "wb").write(body)
open(out + ".idx", "wb").write(idx)
with open(out + ".ifo", "w") as ifo:
    ifo.write("StarDict's dict ifo file\nversion=2.4.2\n")
    ifo.write("wordcount=%d\nidxfilesize=%d\n" % (len(entries), len(idx)))
    ifo.write("bookname=GCIDE\nsametypesequence=m\n")
PY
fi

export LEXIVANE_TOOL="$tool" LEXIVANE_LARGE="$large" SDCV_DATA="$stardict_dir" ROUNDS="$rounds"
python3 - <<'PY'
import os, statistics, subprocess, time

tool, large, data = os.environ["LEXIVANE_TOOL"], os.environ["LEXIVANE_LARGE"], os.environ["SDCV_DATA"]
rounds = int(os.environ["ROUNDS"])
# A hit, a longer hit, two inflected forms, a miss.
words = ["cat", "serendipity", "geese", "running", "xyzzyq"]
ours = lambda w: [tool, "lookup", large, w]
theirs = lambda w: ["sdcv", "-n", "-e", "-x", "-2", data, w]

def run(argv):
    start = time.perf_counter()
    subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start

for w in words:  # warm the page cache (and sdcv's offset cache) once
    run(ours(w)); run(theirs(w))
times = {w: ([], []) for w in words}
floor = []  # starting and reaping a process that does nothing
for _ in range(rounds):
    for w in words:
        times[w][0].append(run(ours(w)))
        times[w][1].append(run(theirs(w)))
    floor.append(run(["/bin/true"]))

print("median wall time of one lookup process, %d alternating rounds" % rounds)
print("%-14s %12s %12s %8s" % ("word", "lexivane ms", "sdcv ms", "ratio"))
for w in words:
    a, b = statistics.median(times[w][0]), statistics.median(times[w][1])
    print("%-14s %12.2f %12.2f %8.3f" % (w, a * 1e3, b * 1e3, a / b))
a = statistics.median([t for w in words for t in times[w][0]])
b = statistics.median([t for w in words for t in times[w][1]])
print("%-14s %12.2f %12.2f %8.3f" % ("all", a * 1e3, b * 1e3, a / b))
print("/bin/true, the cost of any process here: %.2f ms" % (statistics.median(floor) * 1e3))

def peak_rss_kb(argv):
    r = subprocess.run(["/usr/bin/time", "-v"] + argv, stdout=subprocess.DEVNULL,
                       stderr=subprocess.PIPE, text=True)
    for line in r.stderr.splitlines():
        if "Maximum resident set size" in line:
            return int(line.split(":")[1])
    raise SystemExit("no peak RSS from /usr/bin/time")

print("peak RSS of one lookup of 'geese': lexivane %d KiB, sdcv %d KiB" %
      (peak_rss_kb(ours("geese")), peak_rss_kb(theirs("geese"))))
print("what each prints for 'geese':")
print("  lexivane: " + subprocess.run(ours("geese"), capture_output=True, text=True).stdout.splitlines()[0])
print("  sdcv:     " + (subprocess.run(theirs("geese"), capture_output=True, text=True).stdout.splitlines() or [""])[0])
PY
