#!/bin/bash
# tvscan end to end under Wine: arguments, exit codes, finding lines, the
# stored scan location, the database beside the program, and --remedy.
# usage: tvscan_test.sh TVSCAN TVDB   (TVSCAN_RUNNER runs them under Wine)
set -u
tvscan=$1
tvdb=$2
runner=${TVSCAN_RUNNER:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Paths as the programs see them: Wine maps drive Z: to /.
p() { echo "Z:${1//\//\\}"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
scan() {  # scan WANTED_EXIT DESCRIPTION -- ARGS...
  local want=$1 what=$2; shift 3
  $runner "$tvscan" "$@" >"$work/out" 2>"$work/err"; local got=$?
  [ "$got" = "$want" ] || fail "$what: exit $got, wanted $want ($(cat "$work/err"))"
}
reg_main() { $runner reg "$1" 'HKLM\SOFTWARE\Torvane_KOR' "${@:2}" >/dev/null 2>&1; }

fixture=$work/fixture
mkdir -p "$fixture/tree/sub" "$fixture/악성 폴더"
printf 'bad' >"$fixture/evil.txt"
printf 'X5O!P%%@AP[4\\PZX54(P^)7CC)7}$EICAR-STANDARD-ANTIVIRUS-TEST-FILE!$H+H*' >"$fixture/tree/sub/eicar.com"
cat >"$work/db.txt" <<SRC
version = 1
info = test : 2026
definition = 시험악성 | 트로이
file = $(p "$fixture/evil.txt")#3#파일
file = $(p "$fixture/악성 폴더")#default#폴더
file = $(p "$fixture/absent.exe")#default#파일
digest = EICAR-Test-File | 테스트 파일
file = eicar.com#68#44d88612fea8a8f36de82e1278abb02f
SRC
$runner "$tvdb" build "$(p "$work/db.txt")" -o "$(p "$work/torvane.ini")" || fail "tvdb build"
db=$(p "$work/torvane.ini")
tab=$'\t'

# Arguments and inputs that cannot be used: exit 2 and a clear message.
scan 0 "help" -- --help
grep -q '^usage: tvscan' "$work/out" || fail "help lacks usage"
scan 2 "unknown argument" -- --frobnicate
grep -q "unknown argument '--frobnicate'" "$work/err" || fail "message: $(cat "$work/err")"
scan 2 "quick and full" -- --quick --full --db "$db"
scan 2 "path without full" -- --path "$(p "$fixture")" --db "$db"
scan 2 "db without value" -- --db
scan 2 "missing database" -- --db "$(p "$work/none.ini")"
grep -q 'none.ini: the database cannot be read' "$work/err" || fail "message: $(cat "$work/err")"
scan 2 "missing folder" -- --full --path "$(p "$work/none")" --db "$db"
grep -q 'none: no such folder' "$work/err" || fail "message: $(cat "$work/err")"

# Quick scan: the database's files and folders, one line each, newest last.
scan 1 "quick scan" -- --quiet --db "$db"
printf '%s\n' "시험악성${tab}$(p "$fixture/evil.txt")${tab}트로이${tab}파일" \
  "시험악성${tab}$(p "$fixture/악성 폴더")${tab}트로이${tab}폴더" >"$work/want"
cmp -s "$work/out" "$work/want" || fail "quick scan lines: $(cat -A "$work/out")"
grep -q '검사결과 : 2 개의 악성코드가 발견 되었습니다.' "$work/err" || fail "summary: $(cat "$work/err")"

# Full scan of a folder: the digest hit too.
scan 1 "full scan" -- --full --quiet --path "$(p "$fixture/tree")" --db "$db"
grep -qx "EICAR-Test-File${tab}$(p "$fixture/tree/sub/eicar.com" | sed 's/\\/\\\\/g')${tab}테스트 파일${tab}MD5" "$work/out" ||
  fail "full scan lacks the EICAR line: $(cat -A "$work/out")"
[ "$(wc -l <"$work/out")" = 3 ] || fail "full scan: $(wc -l <"$work/out") lines, wanted 3"

# Without --path the full scan starts where the stored options say.
reg_main add /v ScanPath /d 1 /f
reg_main add /v ScanLocation /d "$(p "$fixture/tree")" /f
scan 1 "full scan at the stored location" -- --full --quiet --db "$db"
grep -q 'MD5$' "$work/out" || fail "stored ScanLocation not used: $(cat "$work/out")"
reg_main delete /v ScanPath /f
reg_main delete /v ScanLocation /f

# The database beside the program is the default.
mkdir -p "$work/bin"
cp "$tvscan" "$work/bin/tvscan.exe"
cp "$work/torvane.ini" "$work/bin/torvane.ini"
$runner "$work/bin/tvscan.exe" --quiet >"$work/out" 2>"$work/err"
[ $? = 1 ] && [ "$(wc -l <"$work/out")" = 2 ] || fail "default database: $(cat "$work/err")"

# --remedy removes what was found; a second scan finds nothing.
scan 1 "remedy" -- --full --quiet --remedy --path "$(p "$fixture/tree")" --db "$db"
grep -q '악성코드 치료를 완료 하였습니다.$' "$work/err" || fail "remedy message: $(cat "$work/err")"
[ ! -e "$fixture/evil.txt" ] && [ ! -e "$fixture/악성 폴더" ] && [ ! -e "$fixture/tree/sub/eicar.com" ] ||
  fail "remedy left files: $(find "$fixture")"
scan 0 "after the remedy" -- --full --quiet --path "$(p "$fixture/tree")" --db "$db"
[ ! -s "$work/out" ] || fail "clean scan printed findings: $(cat "$work/out")"
grep -q '악성코드가 발견되지 않았습니다.' "$work/err" || fail "clean summary: $(cat "$work/err")"

echo "tvscan e2e: $failures failure(s)"
[ "$failures" = 0 ]
