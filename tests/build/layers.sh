#!/usr/bin/env bash
# The floors of the house: each folder of the program includes only from the folders it may
# (the table below, which is README's map), so that no include runs from a lower floor to a
# higher one or round a circle. Outside its own folder, its tests and its fuzz target, the
# bzip2 decoder is known only by its public header.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
# shellcheck source=../checks.bash
source "$top/tests/checks.bash"

# Folder, then the folders it may include from besides itself. bench/, fuzz/ and tests/ stand
# above everything and may include from anywhere.
declare -A may=(
  [rtl]=""
  [gfx]="rtl"
  [ui]="rtl gfx"
  [util]="rtl gfx ui"
  [html]="rtl gfx ui util"
  [dialogs]="rtl gfx ui util html"
  [bzip2]="rtl"
  [payload]="rtl gfx ui util html dialogs bzip2"
  [installer]="rtl gfx ui util html dialogs bzip2 payload"
  [tools]="rtl gfx ui util bzip2 payload"
)
public_bzip2=bzip2/Bzip2.h

# The table itself has no circle: tsort fails on one.
acyclic() { for f in "${!may[@]}"; do for g in ${may[$f]}; do echo "$g $f"; done; done |
              tsort >/dev/null 2>&1; }
check "the floors of the table hold no circle" acyclic

# Every project include of every source: "file folder included", for the folders of the table
# and those above them.
includes=$(grep -rHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' \
             --include='*.h' --include='*.cpp' --include='*.c' \
             rtl gfx ui util html dialogs bzip2 payload installer tools bench fuzz tests |
           sed -E 's/^([^:]*):[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1 \2/')
check "sources include project headers" test -n "$includes"

known=" ${!may[*]} "
for folder in "${!may[@]}"; do
  allowed=" $folder ${may[$folder]} "
  wrong=$(while read -r file header; do
            [ "${file%%/*}" = "$folder" ] || continue
            to=${header%%/*}
            # A header of the same folder, included without a folder name.
            [ "$to" = "$header" ] && continue
            case "$known" in *" $to "*) ;; *) continue ;; esac
            case "$allowed" in *" $to "*) ;; *) echo "$file -> $header" ;; esac
          done <<<"$includes")
  check "$folder/ includes only from ${may[$folder]:-itself}${wrong:+: $wrong}" test -z "$wrong"
done

private=$(while read -r file header; do
            case "$header" in bzip2/*) ;; *) continue ;; esac
            [ "$header" = "$public_bzip2" ] && continue
            case "$file" in bzip2/* | tests/native/bzip2/* | fuzz/bzip2_*) continue ;; esac
            echo "$file -> $header"
          done <<<"$includes")
check "outside the decoder, only $public_bzip2 is included${private:+: $private}" test -z "$private"

# Windows reaches the decoder only through its thread layer.
windows=$(grep -rlE '#[[:space:]]*include[[:space:]]*<windows\.h>' bzip2 | grep -v '^bzip2/ThreadsWin32\.cpp$')
check "the decoder includes windows.h only in its thread layer${windows:+: $windows}" test -z "$windows"
