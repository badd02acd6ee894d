# Sourced by the test scripts that report check by check: each check prints "PASS: what" or
# "FAIL: what", which the test layer counts.
check() {  # description, command...
  local what=$1
  shift
  if "$@"; then echo "PASS: $what"; else echo "FAIL: $what"; fi
}
