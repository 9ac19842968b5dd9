#!/bin/bash
# tvdb end to end: build, dump, gen, the sample database, and bad input.
# usage: tvdb_test.sh TVDB SOURCE_DIR   (TVDB_RUNNER runs a Windows build under Wine)
set -u
tvdb=$1
src=$2
runner=${TVDB_RUNNER:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Paths as the program sees them: Wine maps drive Z: to /.
p() { if [ -n "$runner" ]; then echo "Z:${1//\//\\}"; else echo "$1"; fi; }
run() { $runner "$tvdb" "$@"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_code() {  # expect_code CODE DESCRIPTION -- ARGS...
  local want=$1 what=$2; shift 3
  run "$@" >"$work/out" 2>"$work/err"; local got=$?
  [ "$got" = "$want" ] || fail "$what: exit $got, wanted $want ($(cat "$work/err"))"
}

# The committed sample database is what its source builds to.
expect_code 0 "build sample" -- build "$(p "$src/server/db/sample.txt")" -o "$(p "$work/sample.ini")"
cmp -s "$work/sample.ini" "$src/server/www/update/torvane.ini" ||
  fail "server/www/update/torvane.ini is not the build of server/db/sample.txt"

# dump lists every definition, decoded, and its output builds the same database.
expect_code 0 "dump sample" -- dump "$(p "$src/server/www/update/torvane.ini")"
cp "$work/out" "$work/dump.txt"
grep -q '^digest = EICAR-Test-File | ' "$work/dump.txt" || fail "dump lacks the EICAR digest definition"
grep -q '^file = eicar.com#68#44d88612fea8a8f36de82e1278abb02f$' "$work/dump.txt" || fail "dump lacks the EICAR item"
grep -q '바탕화면$' "$work/dump.txt" || fail "dump lacks the desktop item (UTF-8)"
grep -q '레지키$' "$work/dump.txt" || fail "dump lacks the registry key item"
expect_code 0 "rebuild dump" -- build "$(p "$work/dump.txt")" -o "$(p "$work/again.ini")"
cmp -s "$work/again.ini" "$work/sample.ini" || fail "dump | build does not give the same database"

# gen is deterministic per seed.
expect_code 0 "gen" -- gen --definitions 100 --digests 50 --seed 3 -o "$(p "$work/g1.ini")"
expect_code 0 "gen again" -- gen --definitions 100 --digests 50 --seed 3 -o "$(p "$work/g2.ini")"
cmp -s "$work/g1.ini" "$work/g2.ini" || fail "gen is not deterministic"
grep -q '^\[TorvaneMD550\]' "$work/g1.ini" || fail "gen wrote fewer digest definitions"

# Bad input: a clear message naming file and line, exit code 2.
printf 'definition = x | y\nfile = C:\\a.exe#12k#파일\n' >"$work/bad.txt"
expect_code 2 "malformed source" -- build "$(p "$work/bad.txt")" -o "$(p "$work/bad.ini")"
grep -q 'bad.txt:2: the size' "$work/err" || fail "message does not name file and line: $(cat "$work/err")"
[ ! -e "$work/bad.ini" ] || fail "a failed build left an output file"
expect_code 2 "missing file" -- dump "$(p "$work/none.ini")"
grep -q 'none.ini: cannot read' "$work/err" || fail "missing file message: $(cat "$work/err")"
expect_code 2 "no arguments" --
expect_code 2 "unknown command" -- frobnicate
expect_code 2 "bad number" -- gen --definitions ten --digests 1 -o "$(p "$work/x.ini")"
expect_code 0 "help" -- --help
grep -q 'source format' "$work/out" || fail "help lacks the source format"

echo "tvdb e2e: $failures failure(s)"
[ "$failures" = 0 ]
