#!/usr/bin/env bash
# Exits 0 when this machine executes 32-bit x86 programs, which the product (a PE32) needs to
# run under Wine: a kernel may be built without 32-bit emulation or boot with it switched off
# (ia32_emulation=off), and then Debian's wine32 cannot even start. The check is a program of
# 96 bytes written here (an ELF header, one segment, and exit(42) through int 0x80), started
# under a timeout: it needs no compiler and no 32-bit library, and cannot hang.
set -u
dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
{
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
  printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  printf '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'
} >"$dir/exit42"
chmod +x "$dir/exit42"
# Started through perl rather than the shell: a shell runs a file the kernel refuses as a script.
timeout 5 perl -e 'exec { $ARGV[0] } $ARGV[0] or exit 126' "$dir/exit42" >/dev/null 2>&1
[ $? = 42 ]
