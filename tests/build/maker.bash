# Shared by the build tests that run the maker's make installer: the build folder as an
# absolute path ($b), a work folder removed on exit ($work), leak reports off for the
# sanitized tools they call, no signing settings from the caller's environment, and the
# checks. The caller has set $top and gone there.
b=${BUILD_ROOT:-build}
[[ $b = /* ]] || b="$top/$b"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=detect_leaks=0
unset SIGN_CERT SIGN_PASS SIGN_NAME SIGN_URL SIGN_TIMESTAMP_URL
# shellcheck source=../checks.bash
source "$top/tests/checks.bash"
