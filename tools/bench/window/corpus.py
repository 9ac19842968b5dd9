#!/usr/bin/env python3
"""Deterministic corpus of the window benchmark (tools/bench/window/run).

usage: corpus.py --root DIR --files N --seed S --real FILE

Writes N files of 1-16 KiB under DIR: 200 folders two deep (d00/s0 ... d19/s9)
share N - 10 of them, the Korean folder d07/s3/한글 자료 the other 10. Contents
are seeded pseudo-random bytes, so the same arguments give the same bytes.
FILE gets one NAME#SIZE#MD5 line per planted file (tvdb gen --real items):
five files the scan must find, one of them with a Korean name.
"""
import argparse
import hashlib
import os
import random

TOP, MID = 20, 10
MIN_SIZE, MAX_SIZE = 1024, 16384
POOL_BYTES = 4 * 1024 * 1024
KOREAN_DIR = os.path.join("d07", "s3", "한글 자료")
KOREAN_NAMES = ("보고서 1.doc", "사진_2.jpg", "계약서.hwp", "메모 4.txt", "설치 파일.exe",
                "음악 6.mp3", "일정표.xls", "주소록.dat", "압축 9.zip", "기록.log")
EXTENSIONS = (".bin", ".dat", ".exe", ".dll", ".txt", ".doc", ".jpg", ".log")
PLANTED_SHARES = (0.05, 0.3, 0.55, 0.8)  # positions among the ASCII files; plus one Korean file
PLANTED_KOREAN = 4


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root", required=True)
    parser.add_argument("--files", type=int, required=True)
    parser.add_argument("--seed", type=int, required=True)
    parser.add_argument("--real", required=True)
    args = parser.parse_args()
    ascii_count = args.files - len(KOREAN_NAMES)
    if ascii_count < TOP * MID:
        parser.error("--files must be at least %d" % (TOP * MID + len(KOREAN_NAMES)))

    rng = random.Random(args.seed)
    pool = rng.randbytes(POOL_BYTES)
    planted = {int(share * ascii_count) for share in PLANTED_SHARES}
    real = []

    def emit(rel, index, is_planted):
        size = rng.randint(MIN_SIZE, MAX_SIZE)
        header = b"TVWINDOW %09d\n" % index
        offset = rng.randrange(POOL_BYTES - size)
        data = header + pool[offset:offset + size - len(header)]
        with open(os.path.join(args.root, rel), "wb") as out:
            out.write(data)
        if is_planted:
            real.append("%s#%d#%s" % (os.path.basename(rel), size, hashlib.md5(data).hexdigest()))

    folders = [os.path.join("d%02d" % t, "s%d" % m) for t in range(TOP) for m in range(MID)]
    for folder in folders + [KOREAN_DIR]:
        os.makedirs(os.path.join(args.root, folder), exist_ok=True)
    index = 0
    for k, folder in enumerate(folders):
        end = round((k + 1) * ascii_count / len(folders))
        while index < end:
            name = "f%06d%s" % (index, EXTENSIONS[index % len(EXTENSIONS)])
            emit(os.path.join(folder, name), index, index in planted)
            index += 1
    for k, name in enumerate(KOREAN_NAMES):
        emit(os.path.join(KOREAN_DIR, name), index, k == PLANTED_KOREAN)
        index += 1
    with open(args.real, "w", encoding="utf-8") as out:
        out.write("".join(line + "\n" for line in real))


if __name__ == "__main__":
    main()
