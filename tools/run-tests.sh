#!/usr/bin/env bash
# Installs what is needed, then builds and tests the project twice: against
# Qt 5 in build/ and against Qt 6 in build-qt6/. The two suites run one after
# the other, since both use the same fixed UDP ports. The parser fuzzing and
# the Windows library check do not depend on Qt: they run in the Qt 5 suite.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh build 5
tools/build.sh build-qt6 6
# Both suites run even when the first fails; the script fails if either did.
status=0
echo "== Qt 5 suite (build/)"
(cd build && ctest --output-on-failure --timeout 600 -j2) || status=1
echo "== Qt 6 suite (build-qt6/)"
(cd build-qt6 && ctest --output-on-failure --timeout 600 -j2 -E '^windows_lib$') || status=1
exit "$status"
