#!/usr/bin/env python3
"""Data side of the scan benchmark (tools/bench/scan/run).

  corpus   writes the deterministic corpus and its manifest
  sizes    prints the sizes of a generated database's random digest rows
  inputs   from a database dump: the ClamAV .hdb and the candidate file lists
  check    compares tvscan's and clamscan's findings with the planted files
"""
import argparse
import hashlib
import os
import random
import re
import sys

SMALL_FILES = 100_000
TOP, MID, LEAF = 20, 10, 9          # 20 + 200 + 1800 folders hold the small files
BIG_FILES = 20
BIG_SIZE = 50 * 1024 * 1024         # big file i is BIG_SIZE + i bytes: no two sizes alike
MIN_SIZE, MAX_SIZE = 1024, 16384
POOL_BYTES = 16 * 1024 * 1024
# Files whose digests the databases carry as real rows: positions among the
# small files, one of them in the Korean folder, plus big file 7.
REAL_SMALL = (3, 11_111, 24_680, 37_037, 50_505, 61_616, 77_777, 88_001, 99_990)
REAL_BIG = 7
KOREAN_DIR = os.path.join("d13", "s4", "한글 자료")
KOREAN_NAMES = ("보고서 1.doc", "사진_2.jpg", "계약서.hwp", "메모 4.txt",
                "설치 파일.exe", "음악 6.mp3", "일정표.xls", "주소록.dat", "압축 9.zip", "기록.log")
EXTENSIONS = (".bin", ".dat", ".exe", ".dll", ".txt", ".doc", ".jpg", ".log")


def small_folders():
    """Folders of the small files in creation order: mid folders and their leaves."""
    out = []
    for t in range(TOP):
        for m in range(MID):
            mid = os.path.join("d%02d" % t, "s%d" % m)
            out.append(mid)
            out.extend(os.path.join(mid, "l%d" % leaf) for leaf in range(LEAF))
    out.append(KOREAN_DIR)
    return out


def write_corpus(args):
    with open(args.sizes) as f:
        sizes = sorted({int(line) for line in f if line.strip()})
    usable = [s for s in sizes if MIN_SIZE <= s <= MAX_SIZE]
    if not usable:
        sys.exit("bench_data: no usable sizes in " + args.sizes)
    # Planted small files get sizes no other file has, so in a database whose
    # random rows lie elsewhere only the planted files are candidates.
    free = sorted(set(range(MIN_SIZE, MAX_SIZE + 1)) - set(usable))
    rng = random.Random(args.seed)
    pool = rng.randbytes(POOL_BYTES)
    planted_sizes = rng.sample(free, len(REAL_SMALL))
    folders = small_folders()
    ascii_folders = folders[:-1]
    korean_count = len(KOREAN_NAMES)
    ascii_count = SMALL_FILES - korean_count

    manifest = open(os.path.join(args.meta, "manifest.tsv"), "w", encoding="utf-8")
    real = open(os.path.join(args.meta, "real.tsv"), "w", encoding="utf-8")

    def emit(rel, size, header_index, planted):
        header = b"TVBENCH %09d\n" % header_index
        body_len = size - len(header)
        data = bytearray(header)
        while body_len > 0:
            n = min(body_len, POOL_BYTES // 2)
            off = rng.randrange(POOL_BYTES - n + 1)
            data += pool[off:off + n]
            body_len -= n
        with open(os.path.join(args.root, rel), "wb") as out:
            out.write(data)
        manifest.write("%s\t%d\n" % (rel, size))
        if planted:
            real.write("%s\t%s\t%d\t%s\n" % (rel, os.path.basename(rel), size,
                                             hashlib.md5(data).hexdigest()))

    for folder in folders:
        os.makedirs(os.path.join(args.root, folder), exist_ok=True)
    planted_at = {pos: planted_sizes[i] for i, pos in enumerate(REAL_SMALL)}
    index = 0
    per_folder = ascii_count / len(ascii_folders)
    for k, folder in enumerate(ascii_folders):
        end = round((k + 1) * per_folder)
        while index < end:
            size = planted_at.get(index) or rng.choice(usable)
            name = "f%06d%s" % (index, EXTENSIONS[index % len(EXTENSIONS)])
            emit(os.path.join(folder, name), size, index, index in planted_at)
            index += 1
    for name in KOREAN_NAMES:
        size = planted_at.get(index) or rng.choice(usable)
        emit(os.path.join(KOREAN_DIR, name), size, index, index in planted_at)
        index += 1
    os.makedirs(os.path.join(args.root, "big"), exist_ok=True)
    for i in range(BIG_FILES):
        emit(os.path.join("big", "big%02d.bin" % i), BIG_SIZE + i, SMALL_FILES + i, i == REAL_BIG)
    manifest.close()
    real.close()


def parse_dump(path):
    """Digest rows of a `tvdb dump`: (definition name, type, file name, size, md5)."""
    rows, current = [], None
    digest_head = re.compile(r"^digest = (.*?) \| (.*)$")
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            m = digest_head.match(line)
            if m:
                current = (m.group(1), m.group(2))
            elif current and line.startswith("file = "):
                name, size, md5 = line[len("file = "):].rsplit("#", 2)
                rows.append((current[0], current[1], name, size, md5))
            elif line.startswith("definition = "):
                current = None
    return rows


def print_sizes(args):
    for _, _, name, size, _ in parse_dump(args.dump):
        if re.fullmatch(r"gen\d+\.exe", name):
            print(size)


def read_manifest(meta):
    with open(os.path.join(meta, "manifest.tsv"), encoding="utf-8") as f:
        return [(rel, int(size)) for rel, size in (line.rstrip("\n").split("\t") for line in f)]


def windows_path(win_root, rel):
    return win_root + "\\" + rel.replace("/", "\\")


def write_inputs(args):
    rows = parse_dump(args.dump)
    with open(args.out + ".hdb", "w", encoding="utf-8") as hdb:
        for definition, _, _, size, md5 in rows:
            hdb.write("%s:%s:%s\n" % (md5, size, definition))
    names = {r[2] for r in rows}
    sizes = {r[3] for r in rows}
    files = read_manifest(args.meta)
    # A file is a candidate when its name or its size text equals a row's.
    chosen = [(rel, size) for rel, size in files
              if os.path.basename(rel) in names or str(size) in sizes]
    with open(args.out + ".list", "w", encoding="utf-8") as win, \
         open(args.out + ".files0", "wb") as unix:
        for rel, _ in chosen:
            win.write(windows_path(args.win_root, rel) + "\n")
            unix.write(os.fsencode(os.path.join(args.root, rel)) + b"\0")
    print("%d %d %d" % (len(rows), len(chosen), sum(size for _, size in chosen)))


def write_all_list(args):
    with open(args.out, "w", encoding="utf-8") as win:
        for rel, _ in read_manifest(args.meta):
            win.write(windows_path(args.win_root, rel) + "\n")
    files = read_manifest(args.meta)
    print("%d %d" % (len(files), sum(size for _, size in files)))


def check(args):
    """Both scanners must report exactly the planted files, under their rows."""
    rows = {(r[2], r[3], r[4]): (r[0], r[1]) for r in parse_dump(args.dump)}
    expected = {}
    with open(os.path.join(args.meta, "real.tsv"), encoding="utf-8") as f:
        for line in f:
            rel, name, size, md5 = line.rstrip("\n").split("\t")
            expected[os.path.join(args.root, rel)] = rows[(name, size, md5)]
    problems = []

    tv = {}
    with open(args.tvscan, encoding="utf-8", errors="replace") as f:
        for line in f:
            fields = line.rstrip("\r\n").split("\t")
            if len(fields) != 4:
                problems.append("tvscan: malformed line %r" % line)
                continue
            name, location, kind_type, kind = fields
            if kind != "MD5":
                continue
            if not location.startswith("Z:\\"):
                problems.append("tvscan: location outside drive Z: %r" % location)
                continue
            tv[location[2:].replace("\\", "/")] = (name, kind_type)
    clam = {}
    found = re.compile(r"^(.*): (\S+) FOUND$")
    with open(args.clamscan, encoding="utf-8", errors="replace") as f:
        for line in f:
            m = found.match(line.rstrip("\n"))
            if m:
                clam[m.group(1)] = m.group(2).removesuffix(".UNOFFICIAL")

    for path in sorted(set(expected) - set(tv)):
        problems.append("tvscan missed      %s (%s)" % (path, expected[path][0]))
    for path in sorted(set(tv) - set(expected)):
        problems.append("tvscan reported    %s (%s) which is not planted" % (path, tv[path][0]))
    for path in sorted(set(tv) & set(expected)):
        if tv[path] != expected[path]:
            problems.append("tvscan named       %s as %s | %s, the row says %s | %s"
                            % ((path,) + tv[path] + expected[path]))
    for path in sorted(set(expected) - set(clam)):
        problems.append("clamscan missed    %s (%s)" % (path, expected[path][0]))
    for path in sorted(set(clam) - set(expected)):
        problems.append("clamscan reported  %s (%s) which is not planted" % (path, clam[path]))
    for line in problems:
        print(line)
    sys.exit(1 if problems else 0)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("corpus")
    p.add_argument("--root", required=True)
    p.add_argument("--meta", required=True)
    p.add_argument("--sizes", required=True)
    p.add_argument("--seed", type=int, required=True)
    p.set_defaults(run=write_corpus)
    p = sub.add_parser("sizes")
    p.add_argument("dump")
    p.set_defaults(run=print_sizes)
    p = sub.add_parser("inputs")
    for flag in ("--dump", "--meta", "--root", "--win-root", "--out"):
        p.add_argument(flag, required=True)
    p.set_defaults(run=write_inputs)
    p = sub.add_parser("all-list")
    for flag in ("--meta", "--win-root", "--out"):
        p.add_argument(flag, required=True)
    p.set_defaults(run=write_all_list)
    p = sub.add_parser("check")
    for flag in ("--dump", "--meta", "--root", "--tvscan", "--clamscan"):
        p.add_argument(flag, required=True)
    p.set_defaults(run=check)
    args = parser.parse_args()
    args.run(args)


if __name__ == "__main__":
    main()
