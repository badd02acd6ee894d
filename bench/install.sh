#!/usr/bin/env bash
# The installation as a user waits for it, against the installers a maker would otherwise pick,
# all measured here in one run and in one prefix. Where this machine executes 32-bit code, the
# pair is the product (PE32) against NSIS's default 32-bit target (x86-unicode), as a maker
# compares them; where it cannot, the x86_64 twin against NSIS's amd64-unicode target. The first
# line says which:
#   pair: ours=<build> nsis=<target>
#   install: seconds=<s> ratio=<x>   the demo payload, from the click on "Suivant >" of page 3 to
#            the stamped executable, against the least work that gives the same files
#            (libbz2 into memory, one write per entry)
#   install: mb=<m> ms=<ours> nsis_bzip2_ms=<> nsis_lzma_ms=<> ratio_bzip2=<> ratio_lzma=<>
#            releases shaped like real ones (bench/release.bash), ours from the click to the stamp,
#            NSIS (solid bzip2 and solid lzma, the same files and the same desktop shortcut) from
#            its start to its end in silent mode, less an NSIS installer of nothing started the
#            same way
#   unpack: mb=<m> page3_mib=<> peak_mib=<> peak_extra_mib=<>   what install.exe held on page 3,
#            the most it held during the run, and the difference (BENCH_MEMORY_SIZES, 1 8 40 150
#            by default; 600 selects a release of 600 MB with one entry of 300 MB, which a 32-bit
#            process must install without holding it)
#   decode: mb=<m> ms=<ours> bzip2_ms=<> lbzip2_n2_ms=<> ratio_lbzip2=<>   decoding the payload
#            alone: ours into nothing under Wine, bzip2 -dc and lbzip2 -dc -n2 into /dev/null
#   responsive: mb=<m> longest_ms=<> pings=<>   the longest the wizard took to answer a message
#            sent by a second program every 10 ms during the run
# The best of several rounds of each time is kept: other work on the machine only adds time.
set -u
source "$(dirname "$0")/../tests/e2e/common.bash"
e2e_begin bench >/dev/null 2>&1

rounds=${BENCH_ROUNDS:-3}
sizes=${BENCH_SIZES-"8 40"}
memory_sizes=${BENCH_MEMORY_SIZES-"1 8 40 150"}
app=$(unix_path 'c:\Morvidan')
link=$(shortcut_file)
NSIS_SHORTCUT="Morvidan NSIS"
nsis_link="$(dirname "$link")/$NSIS_SHORTCUT.lnk"
work=$(unix_path 'c:\banc')
cache="$E2E_BUILD/bench"
fccpack="$E2E_BUILD/native/tools/fccpack/fccpack"
unpack_bench="$E2E_BUILD/$E2E_FLAVOUR/bench/unpack_bench.exe"
ping_window="$E2E_BUILD/$E2E_FLAVOUR/bench/ping_window.exe"
if [ "$E2E_FLAVOUR" = win32 ]; then
  nsis_target=x86-unicode toolchain=cmake/mingw-i686.cmake
else
  nsis_target=amd64-unicode toolchain=cmake/mingw-x86_64.cmake
fi
echo "pair: ours=$E2E_FLAVOUR nsis=$nsis_target; $(wine_flavour_line)"
export ASAN_OPTIONS=detect_leaks=0
bz2=$(cd "$E2E_TOP" && scripts/bzip2-source.sh)
mkdir -p "$work" "$cache"

best() { LC_ALL=C sort -g | head -n 1; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# The resident size of a process in KiB.
rss_kib() { echo $(($(cut -d" " -f2 "/proc/$1/statm") * 4)); }

# The demo payload against the least work.
cp "$E2E_DEMO/Morvidan.FCC" "$work/"
baseline=$(
  for i in $(seq $((rounds + 2))); do
    rm -rf "$work/fichiers" && mkdir -p "$work/fichiers"
    wine "$unpack_bench" --baseline 'c:\banc\Morvidan.FCC' 'c:\banc\fichiers' 'c:\banc\temps.txt' \
      >/dev/null 2>&1 && cut -d' ' -f1 "$work/temps.txt"
  done | best
)

# Clicks "Suivant >" and prints the ms until the installed executable carries the stamp. The
# pointer is on the button before the clock starts, the click is sent by an xdotool started
# and connected before it (starting one takes 15 to 45 ms here, which are not the
# installation's), and the file is looked at every 2 ms without starting a program, so that
# the time is the installation's own. The release names its executable as it likes; Windows
# finds it whatever the letter case.
click_and_time() {  # window
  local width height border caption
  read -r width height <<<"$(window_size "$1")"
  border=$(((width - 667) / 2))
  caption=$((height - 461 - border))
  xdotool mousemove --window "$1" $((435 + border)) $((439 + caption))
  perl -MTime::HiRes=time,sleep -MIO::Handle -e '
    my ($dir, $stamp) = @ARGV;
    open(my $click, "|-", "xdotool", "-") or exit 1;
    $click->autoflush(1);
    sleep 0.3;
    my $start = time;
    print $click "click 1\n" or exit 1;
    while (time - $start < 120) {
      if (opendir(my $d, $dir)) {
        for my $name (readdir $d) {
          next unless lc $name eq "morvidan.exe";
          my $t = (stat "$dir/$name")[9];
          if (defined $t && $t == $stamp) { printf "%d\n", (time - $start) * 1000; exit 0 }
        }
        closedir $d;
      }
      sleep 0.002;
    }
    exit 1' "$app" "$(date -u -d "$STAMP_TIME" +%s)"
}

# One run of an installer from the click on "Suivant >" of page 3 to the stamp, in ms; with
# "memory", prints "<ms> <KiB on page 3> <peak KiB>"; with "ping", "<ms> <longest answer> <pings>".
run_ours() {  # installer, [memory|ping]
  local exe=$1 what=${2:-} pid page3 stop result ping
  rm -rf "$app" "$link"
  open_to_page3 bench "" "$exe" >/dev/null || return 1
  sleep 0.5
  pid=$(program_pids install.exe | head -n 1)
  if [ "$what" = memory ]; then
    # The kernel's own peak (VmHWM) is only brought up to date when memory is unmapped, which
    # Wine's heap seldom does: the resident size is sampled every 2 ms instead.
    page3=$(rss_kib "$pid")
    stop="$work/stop" result="$work/peak.txt"
    rm -f "$stop" "$result"
    perl -e 'my ($pid, $stop, $out) = @ARGV; my $max = 0;
      while (!-e $stop) {
        open(my $f, "<", "/proc/$pid/statm") or last; my @m = split " ", <$f>; close $f;
        $max = $m[1] if $m[1] > $max; select(undef, undef, undef, 0.002);
      }
      open(my $o, ">", $out); print $o $max * 4, "\n";' "$pid" "$stop" "$result" &
    ping=$!
  fi
  if [ "$what" = ping ]; then
    stop="$work/stop" result="$work/ping.txt"
    rm -f "$stop" "$result"
    wine "$ping_window" 'c:\banc\stop' 'c:\banc\ping.txt' >/dev/null 2>&1 &
    ping=$!
    sleep 1
  fi
  local ms
  ms=$(click_and_time "$WIZARD") || return 1
  case $what in
    memory)
      : >"$stop"
      wait "$ping"
      echo "$ms $page3 $(cat "$result")" ;;
    ping)
      : >"$stop"
      wait "$ping"
      echo "$ms $(cat "$result" 2>/dev/null)" ;;
    *) echo "$ms" ;;
  esac
  close_program install.exe >/dev/null 2>&1
}

# An NSIS script for the release folder given, or for nothing at all. The release's installer
# leaves the desktop shortcut that ours leaves, as a maker's would: under Wine, every shortcut
# that the shell saves starts a program of Wine's own (winemenubuilder), which costs both
# installers the same 20 to 30 ms.
nsis_script() {  # compressor, output, [folder]
  printf 'Unicode true\nTarget %s\nSetCompressor /SOLID /FINAL %s\n' "$nsis_target" "$1"
  printf 'OutFile "%s"\nInstallDir "c:\\nsis"\nRequestExecutionLevel user\nSilentInstall silent\n' "$2"
  printf 'Section\n'
  if [ -n "${3:-}" ]; then
    printf '  SetOutPath "$INSTDIR"\n  File "%s/*"\n' "$3"
    printf '  CreateShortCut "$DESKTOP\\%s.lnk" "$INSTDIR\\Morvidan.exe"\n' "$NSIS_SHORTCUT"
  fi
  printf 'SectionEnd\n'
}

# Makes <path>.exe from the script for the folder given (none: nothing), unless the installer
# already there was made from the same script.
nsis_installer() {  # compressor, path without extension, [folder]
  nsis_script "$1" "$2.exe" ${3:+"$3"} >"$2.nsi.new"
  if [ -f "$2.exe" ] && cmp -s "$2.nsi.new" "$2.nsi"; then
    rm -f "$2.nsi.new"
    return 0
  fi
  mv "$2.nsi.new" "$2.nsi"
  makensis -V1 "$2.nsi" >/dev/null || { rm -f "$2.nsi"; return 1; }
}

# One silent run of an NSIS installer, from its start to its end, in ms.
run_nsis() {  # installer
  rm -rf "$(unix_path 'c:\nsis')" "$nsis_link"
  local start
  start=$(now_ms)
  wine "$1" /S >/dev/null 2>&1 || return 1
  echo $(($(now_ms) - start))
}

# A release of about the size given and its payload, made once for this machine; with "nsis",
# also the two NSIS installers of the same files. Then our installer carrying the payload.
prepare() {  # megabytes, [nsis]
  local mb=$1 dir="$cache/$1" c
  if [ ! -f "$dir/Morvidan.FCC" ] || [ "$dir/Morvidan.FCC" -ot "$E2E_TOP/bench/release.bash" ]; then
    rm -rf "$dir" && mkdir -p "$dir"
    bash "$E2E_TOP/bench/release.bash" "$dir/release" "$mb"
    "$fccpack" pack "$dir/Morvidan.FCC" "$dir/release" >/dev/null || return 1
  fi
  for c in ${2:+bzip2 lzma}; do
    nsis_installer "$c" "$dir/nsis-$c" "$dir/release" || return 1
    nsis_installer "$c" "$dir/nsis-$c-empty" || return 1
  done
  # Built as the maker builds a release, in a build of the measured flavour of its own.
  mkdir -p "$work/$mb"
  cmake -S "$E2E_TOP" -B "$cache/$E2E_FLAVOUR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DBZIP2_SOURCE_DIR="$bz2" \
    -DINSTALL_PAYLOAD="$dir/Morvidan.FCC" >/dev/null &&
    cmake --build "$cache/$E2E_FLAVOUR" --target install_exe -- --quiet >/dev/null &&
    cp "$cache/$E2E_FLAVOUR/installer/install.exe" "$work/$mb/install.exe"
}

# The best NSIS time of several rounds less the best start-up of the same NSIS without files.
nsis_ms() {  # megabytes, compressor
  local full empty i
  full=$(for i in $(seq "$rounds"); do run_nsis "$cache/$1/nsis-$2.exe"; done | best)
  empty=$(for i in $(seq "$rounds"); do run_nsis "$cache/$1/nsis-$2-empty.exe"; done | best)
  [ -n "$full" ] && [ -n "$empty" ] && echo $((full - empty))
}

demo=$(
  for i in $(seq "$rounds"); do run_ours "$E2E_INSTALLER"; done | best
)
if [ -z "$baseline" ] || [ -z "$demo" ]; then
  echo "install: the measure failed (baseline=${baseline:-none} install=${demo:-none})"
  exit 1
fi
LC_ALL=C awk -v i="$demo" -v b="$baseline" \
  'BEGIN { printf "install: seconds=%.2f ratio=%.1f\n", i / 1000, i / 1000 / b }'

status=0
for mb in $sizes; do
  if ! prepare "$mb" nsis; then
    echo "install: mb=$mb the release could not be prepared"
    status=1
    continue
  fi
  ours=$(for i in $(seq "$rounds"); do run_ours "$work/$mb/install.exe"; done | best)
  bz=$(nsis_ms "$mb" bzip2)
  lz=$(nsis_ms "$mb" lzma)
  if [ -z "$ours" ] || [ -z "$bz" ] || [ -z "$lz" ]; then
    echo "install: mb=$mb the measure failed (ours=${ours:-none} bzip2=${bz:-none} lzma=${lz:-none})"
    status=1
    continue
  fi
  LC_ALL=C awk -v m="$mb" -v o="$ours" -v b="$bz" -v l="$lz" 'BEGIN {
    printf "install: mb=%d ms=%d nsis_bzip2_ms=%d nsis_lzma_ms=%d ratio_bzip2=%.2f ratio_lzma=%.2f\n",
           m, o, b, l, o / b, o / l }'
done

for mb in $memory_sizes; do
  prepare "$mb" || { echo "unpack: mb=$mb the release could not be prepared"; continue; }
  read -r ms page3 peak < <(run_ours "$work/$mb/install.exe" memory)
  if [ -n "${peak:-}" ]; then
    LC_ALL=C awk -v m="$mb" -v p="$page3" -v k="$peak" 'BEGIN {
      printf "unpack: mb=%d page3_mib=%.1f peak_mib=%.1f peak_extra_mib=%.1f\n",
             m, p / 1024, k / 1024, (k - p) / 1024 }'
  else
    echo "unpack: mb=$mb the measure failed"
    status=1
  fi
done

# Decoding alone, and the wizard's answers during a run, on the largest of the timed releases.
if [ -z "$sizes" ]; then
  e2e_end >/dev/null 2>&1
  exit $status
fi
mb=${sizes##* }
cp "$cache/$mb/Morvidan.FCC" "$work/decode.FCC"
ours=$(wine "$unpack_bench" --decode 'c:\banc\decode.FCC' 0 "$((rounds + 2))" 2>/dev/null | cut -d' ' -f1)
tool_ms() {  # command...
  local i start
  for i in $(seq $((rounds + 2))); do
    start=$(date +%s%N)
    "$@" <"$work/decode.FCC" >/dev/null || return 1
    echo $((($(date +%s%N) - start) / 1000000))
  done | best
}
bz=$(tool_ms bzip2 -dc)
lb=$(tool_ms lbzip2 -dc -n2)
LC_ALL=C awk -v m="$mb" -v o="$ours" -v b="$bz" -v l="$lb" 'BEGIN {
  printf "decode: mb=%d ms=%.0f bzip2_ms=%d lbzip2_n2_ms=%d ratio_lbzip2=%.2f\n", m, o, b, l, o / l }'

read -r ms longest pings < <(run_ours "$work/$mb/install.exe" ping)
if [ -n "${pings:-}" ]; then
  echo "responsive: mb=$mb longest_ms=$longest pings=$pings"
else
  echo "responsive: mb=$mb the measure failed"
  status=1
fi

e2e_end >/dev/null 2>&1
exit $status
