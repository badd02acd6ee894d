#!/usr/bin/env bash
# Runs every test layer on what scripts/build.sh built and ends with one line
# "N passed, N failed" for them all. Exits non-zero on any failure.
#   native  GoogleTest suites of the platform-free core, under ASan and UBSan, and those of the
#           threaded decoder under ThreadSanitizer
#   build   checks of the products themselves
#   win     GoogleTest programs of the Windows build, under Wine on a virtual display
#   e2e     the real install.exe driven from outside (tests/e2e/*.sh)
#           Both run the product's own build (win32) where this machine executes 32-bit code,
#           and the x86_64 twin (win64) where it cannot; the summary says which.
#   fuzz    bounded libFuzzer runs (FUZZ_SECONDS each, 30 by default)
# LAYERS selects some of them (e.g. LAYERS="native win"); FILTER is handed to GoogleTest;
# BUILD_ROOT as for scripts/build.sh.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
b=${BUILD_ROOT:-build}
dist=dist
[ "$b" = build ] || dist="$b/dist"
export BUILD_ROOT=$b DIST=$dist
layers=${LAYERS:-"native build win e2e fuzz"}
# shellcheck source=wine-env.sh
source scripts/wine-env.sh
wine_flavour >/dev/null  # asked once here, for every layer and script after
flavour=$WINE_FLAVOUR
out="$top/out"
[ "$b" = build ] || out="$b/out"
[[ $out = /* ]] || out="$top/$out"
logs="$out/test-logs"
export INSTALL_ARTIFACTS="$out/screens"
rm -rf "$logs"
mkdir -p "$logs" "$INSTALL_ARTIFACTS"
passed=0
failed=0
# What install.exe may weigh without its payload, in KiB.

pass() { passed=$((passed + 1)); echo "  ok   $1"; }
fail() { failed=$((failed + 1)); echo "  FAIL $1"; }

# Adds the counts of one GoogleTest log; a program that died without its summary counts as
# one failure.
count_gtest() {  # name, log, exit code
  local p f
  p=$(grep -E '^\[  PASSED  \] [0-9]+ test' "$2" | tail -n 1 | grep -oE '[0-9]+' | head -n 1)
  f=$(grep -E '^\[  FAILED  \] [0-9]+ test' "$2" | tail -n 1 | grep -oE '[0-9]+' | head -n 1)
  p=${p:-0}
  f=${f:-0}
  if [ "$3" != 0 ] && [ "$f" = 0 ]; then f=1; fi
  passed=$((passed + p))
  failed=$((failed + f))
  if [ "$f" = 0 ]; then
    echo "  ok   $1 ($p tests)"
  else
    echo "  FAIL $1 ($p passed, $f failed; log: ${2#$top/})"
    grep -E '^\[  FAILED  \] [A-Za-z]|Failure|ERROR|Sanitizer' "$2" | head -n 20 | sed 's/^/       /'
  fi
}

# Runs every script of a folder that prints "PASS: ..." and "FAIL: ..." lines (and "SKIP: ..."
# for what the machine cannot do), and adds its counts; a script that fails without a FAIL line
# counts as one failure.
run_checks() {  # folder, log prefix
  local t name code p f
  for t in "$1"/*.sh; do
    [ -f "$t" ] || continue
    name=$(basename "$t" .sh)
    timeout 1200 bash "$t" >"$logs/$2-$name.log" 2>&1
    code=$?
    p=$(grep -c '^PASS: ' "$logs/$2-$name.log")
    f=$(grep -c '^FAIL: ' "$logs/$2-$name.log")
    if [ "$code" != 0 ] && [ "$f" = 0 ]; then f=1; fi
    passed=$((passed + p))
    failed=$((failed + f))
    grep '^SKIP: ' "$logs/$2-$name.log" | sed 's/^/       /'
    if [ "$f" = 0 ]; then echo "  ok   $name ($p checks)"; else
      echo "  FAIL $name ($p passed, $f failed; log: ${logs#$top/}/$2-$name.log)"
      grep '^FAIL: ' "$logs/$2-$name.log" | head -n 20 | sed 's/^/       /'
    fi
  done
}

gtest_filter=()
[ -n "${FILTER:-}" ] && gtest_filter=("--gtest_filter=$FILTER")

for layer in $layers; do
  case $layer in
  native)
    echo "native:"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      $b/native/tests/native/native_tests "${gtest_filter[@]}" >"$logs/native.log" 2>&1
    count_gtest native_tests "$logs/native.log" $?
    # The decoder's tests, and again on its build that moves the list as the i686 product does.
    for t in bzip2_tests bzip2_words64_tests; do
      ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        $b/native/tests/native/bzip2/$t "${gtest_filter[@]}" >"$logs/$t.log" 2>&1
      count_gtest $t "$logs/$t.log" $?
    done
    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
      $b/tsan/tests/native/bzip2/bzip2_tsan_tests "${gtest_filter[@]}" >"$logs/tsan.log" 2>&1
    count_gtest "bzip2_tsan_tests (ThreadSanitizer)" "$logs/tsan.log" $?
    for t in tests/native/*.sh; do
      [ -f "$t" ] || continue
      if bash "$t" >"$logs/$(basename "$t").log" 2>&1; then pass "$(basename "$t")"; else fail "$(basename "$t")"; fi
    done
    ;;
  build)
    echo "build:"
    if file "$dist/install.exe" | grep -q 'PE32 executable (GUI) Intel 80386'; then
      pass "dist/install.exe is a PE32 GUI program for i686"
    else
      fail "dist/install.exe is a PE32 GUI program for i686 ($(file -b "$dist/install.exe" 2>&1))"
    fi
    if file "$dist/win64/install.exe" | grep -q 'PE32+ executable (GUI) x86-64'; then
      pass "dist/win64/install.exe is a PE32+ GUI program"
    else
      fail "dist/win64/install.exe is a PE32+ GUI program"
    fi
    # Mapped from its file rather than read into memory when it starts, as 32-bit Wine does with
    # an image whose sections do not start on pages in the file, payload and all.
    unaligned=$(objdump -h "$dist/install.exe" 2>/dev/null |
      awk '$1 ~ /^[0-9]+$/ && $6 !~ /000$/ { print $2 }' | paste -sd' ')
    if objdump -h "$dist/install.exe" >/dev/null 2>&1 && [ -z "$unaligned" ]; then
      pass "dist/install.exe's sections start on pages in the file"
    else
      fail "dist/install.exe's sections start on pages in the file (not: ${unaligned:-unreadable})"
    fi
    run_checks tests/build build
    ;;
  win)
    echo "win (Wine):"
    (
      WINE_OWN_DISPLAY=1 wine_setup
      trap wine_teardown EXIT
      export INSTALL_ARTIFACTS_WIN
      INSTALL_ARTIFACTS_WIN=$(winepath -w "$INSTALL_ARTIFACTS" 2>/dev/null)
      for exe in $b/$flavour/tests/win/*_test.exe; do
        [ -f "$exe" ] || continue
        name=$(basename "$exe" .exe)
        work="$WINEPREFIX/drive_c/tests/$name"
        rm -rf "$work" && mkdir -p "$work"
        (cd "$work" && timeout 600 wine "$top/$exe" "${gtest_filter[@]}") >"$logs/$name.log" 2>&1
        echo "$name $?" >>"$logs/win-codes"
      done
    )
    if [ -f "$logs/win-codes" ]; then
      while read -r name code; do
        count_gtest "$name" "$logs/$name.log" "$code"
      done <"$logs/win-codes"
    else
      fail "GoogleTest programs of the $flavour build (none in $b/$flavour/tests/win)"
    fi
    ;;
  e2e)
    echo "e2e (Wine):"
    run_checks tests/e2e e2e
    ;;
  fuzz)
    echo "fuzz:"
    for bin in $b/fuzz/fuzz/*_fuzz; do
      [ -x "$bin" ] || continue
      name=$(basename "$bin")
      corpus="$b/fuzz-corpus/$name"
      [[ $corpus = /* ]] || corpus="$top/$corpus"
      mkdir -p "$corpus"
      seeds="$top/fuzz/corpus/${name%_fuzz}"
      dicts=()
      [ -f "$top/fuzz/${name%_fuzz}.dict" ] && dicts=("-dict=$top/fuzz/${name%_fuzz}.dict")
      [ -d "$seeds" ] || seeds=""
      if "$bin" -max_total_time="${FUZZ_SECONDS:-30}" -timeout=10 -rss_limit_mb=2048 \
          -max_len=4096 "${dicts[@]}" "$corpus" $seeds >"$logs/$name.log" 2>&1; then
        pass "$name ($(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$logs/$name.log" | tail -n 1) runs)"
      else
        fail "$name (log: ${logs#$top/}/$name.log)"
        grep -E 'ERROR|SUMMARY' "$logs/$name.log" | head -n 5 | sed 's/^/       /'
      fi
    done
    ;;
  esac
done

case " $layers " in *" win "* | *" e2e "*) wine_flavour_line ;; esac
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
