#!/usr/bin/env bash
# Runs the installer tests in a Wine prefix made for them (on the display of the run) and deletes it
# afterwards, so nothing outside it is touched: install, upgrade and uninstall in one session; then,
# with every program of that session ended, the next session's part (what the uninstall left for
# the next login, and that nothing of the installation remains).
# Usage: in-own-prefix.sh <installer_tests.exe> <installer> <upgrade installer> [gtest filter]
# With a filter, only those tests run, in one session.
set -euo pipefail
tests=$1 filter=${4:-}
source "$(dirname "$0")/../../scripts/wine-env.sh"
WINE_ENV_PREFIX=
trap '[ -z "$WINE_ENV_PREFIX" ] || { wineserver -k 2>/dev/null; wineserver -w; rm -rf "$WINE_ENV_PREFIX"; }' EXIT
wine_env_prefix
MIRELUNDE_INSTALLER=$(winepath -w "$2") MIRELUNDE_UPGRADE_INSTALLER=$(winepath -w "$3") \
  wine "$tests" "--gtest_filter=${filter:--NextSession.*}"
[ -z "$filter" ] || exit 0
wineserver -k 2>/dev/null || true
wineserver -w
wine "$tests" "--gtest_filter=NextSession.*"
