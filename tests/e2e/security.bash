# Sourced after common.bash by the scripts that try to borrow the installer's rights: helper
# programs built for the architecture of the installer under test (a planted DLL must match
# the process that would load it), and the Windows calls a second program makes.

# The installer under test, overridable for a try of the other build.
E2E_INSTALLER=${E2E_INSTALLER_UNDER_TEST:-$E2E_INSTALLER}
# The demo files of the build that made it.
if file -b "$E2E_INSTALLER" 2>/dev/null | grep -q '^PE32 '; then
  E2E_DEMO="$E2E_BUILD/win32/installer/demo"
else
  E2E_DEMO="$E2E_BUILD/win64/installer/demo"
fi

# The mingw compiler of the installer's architecture.
helper_compiler() {
  if file -b "$E2E_INSTALLER" | grep -q '^PE32+'; then
    echo x86_64-w64-mingw32-gcc
  else
    echo i686-w64-mingw32-gcc
  fi
}

# Builds marker.dll and winfile.exe into $1 (made), for the installer's architecture.
build_helpers() {  # folder
  local cc src=$E2E_TOP/tests/e2e/helpers
  cc=$(helper_compiler)
  mkdir -p "$1"
  "$cc" -O2 -Wall -Werror -shared -o "$1/marker.dll" "$src/marker.c" &&
    "$cc" -O2 -Wall -Werror -o "$1/winfile.exe" "$src/winfile.c"
}

# Runs winfile.exe (built by build_helpers into $E2E_HELPERS) and prints its answer.
winfile() {  # arguments...
  wine "$E2E_HELPERS/winfile.exe" "$@" 2>/dev/null | tr -d '\r'
}

# True when a second program's attempt ($2...) is refused by the system with error $1.
refused_with() {  # code, winfile arguments...
  local code=$1 answer
  shift
  answer=$(winfile "$@")
  [ "$answer" = "error $code" ] || { echo "  winfile $*: $answer" >&2; return 1; }
}
