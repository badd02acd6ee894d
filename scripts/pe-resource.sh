#!/usr/bin/env bash
# Finds a resource in a Windows executable (PE32 or PE32+) and prints "<file offset> <size>"
# of its data, for the first language that carries it.
#   scripts/pe-resource.sh EXE TYPE ID
# TYPE and ID are numbers or names (names compare without regard to case, as Windows does):
#   scripts/pe-resource.sh dist/install.exe FCC 1   gives where the payload lies and its size.
# Exits 1 with a message on standard error when the file is no PE or lacks the resource.
set -euo pipefail
[ $# = 3 ] || { echo "usage: $0 EXE TYPE ID" >&2; exit 2; }
exe=$1 want_type=$2 want_id=$3
[ -f "$exe" ] || { echo "$exe: no such file" >&2; exit 1; }
file_size=$(stat -c %s "$exe")

die() { echo "$exe: $*" >&2; exit 1; }

# The readers leave their result in R rather than print it, so that they never run in a
# subshell and a read past the end (a broken file, not a zero) ends the whole script.
uint() {  # offset, width in bytes
  [ "$1" -ge 0 ] && [ $(($1 + $2)) -le "$file_size" ] || die "truncated (offset $1)"
  R=$(od -An -t "u$2" --endian=little -j "$1" -N "$2" "$exe")
  R=$((R))
}
u16() { uint "$1" 2; }
u32() { uint "$1" 4; }

[ "$(head -c 2 "$exe")" = MZ ] || die "not a Windows executable"
u32 60 && pe=$R
u32 "$pe" && [ "$R" = 17744 ] || die "no PE signature"  # "PE\0\0"
u16 $((pe + 6)) && sections=$R
u16 $((pe + 20)) && optional_size=$R
optional=$((pe + 24))
u16 "$optional"
case $R in
  267) directories=$((optional + 96)) ;;   # PE32
  523) directories=$((optional + 112)) ;;  # PE32+
  *) die "unknown optional header" ;;
esac
# The resource directory is the third data directory; a program may have fewer.
u32 $((directories - 4)) && [ "$R" -gt 2 ] || die "no resources"
u32 $((directories + 16)) && rsrc_rva=$R
[ "$rsrc_rva" != 0 ] || die "no resources"

# Relative virtual addresses become file offsets through the section that holds them.
file_offset() {  # rva
  local i h va vsize raw_size raw
  for ((i = 0; i < sections; i++)); do
    h=$((optional + optional_size + 40 * i))
    u32 $((h + 8)) && vsize=$R
    u32 $((h + 12)) && va=$R
    u32 $((h + 16)) && raw_size=$R
    u32 $((h + 20)) && raw=$R
    [ "$vsize" -ge "$raw_size" ] || vsize=$raw_size
    if [ "$1" -ge "$va" ] && [ "$1" -lt $((va + vsize)) ]; then
      R=$(($1 - va + raw))
      return
    fi
  done
  die "address $1 lies in no section"
}
file_offset "$rsrc_rva" && rsrc=$R

# The name of a directory entry: a number, or (high bit set) a counted UTF-16 string whose
# characters other than printable ASCII become "?", which no wanted name contains.
entry_name() {  # value of the entry's first field
  local v=$1 at length i name=""
  if [ $((v & 0x80000000)) = 0 ]; then
    R=$v
    return
  fi
  at=$((rsrc + (v & 0x7fffffff)))
  u16 "$at" && length=$R
  for ((i = 0; i < length; i++)); do
    u16 $((at + 2 + 2 * i))
    if [ "$R" -ge 32 ] && [ "$R" -lt 127 ]; then
      name+=$(printf "\\$(printf %03o "$R")")
    else
      name+="?"
    fi
  done
  R=$name
}

# Looks a name up in one directory level and leaves the entry's second field in R, or "";
# an empty name takes the first entry (the language level, where any language will do).
lookup() {  # directory offset inside the section, wanted name
  local dir=$((rsrc + $1)) count i e
  u16 $((dir + 12)) && count=$R
  u16 $((dir + 14)) && count=$((count + R))
  for ((i = 0; i < count; i++)); do
    e=$((dir + 16 + 8 * i))
    u32 "$e" && entry_name "$R"
    if [ -z "$2" ] || [ "${R^^}" = "${2^^}" ]; then
      u32 $((e + 4))
      return
    fi
  done
  R=""
}

# The offset of the folder an entry leads to (its second field has the high bit set).
subfolder() {  # directory offset inside the section, wanted name
  lookup "$1" "$2"
  [ -n "$R" ] || die "no resource $want_type $want_id"
  [ $((R & 0x80000000)) != 0 ] || die "resource $want_type $want_id: data where a folder is due"
  R=$((R & 0x7fffffff))
}

subfolder 0 "$want_type"
subfolder "$R" "$want_id"
lookup "$R" ""
[ -n "$R" ] && [ $((R & 0x80000000)) = 0 ] || die "resource $want_type $want_id has no data"
data=$((rsrc + R))
u32 $((data + 4)) && size=$R
u32 "$data" && file_offset "$R"
[ $((R + size)) -le "$file_size" ] || die "resource $want_type $want_id runs past the end"
echo "$R $size"
