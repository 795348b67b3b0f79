#!/usr/bin/env bash
# Installs what is missing, builds every test with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs them all, proves the core builds and passes alone, then
# builds the Debian package and runs its programs, under load too (scripts/package-check.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages "${ITINERARY_PACKAGES[@]}" "${ITINERARY_TEST_PACKAGES[@]}"
export_headless_env
start_cups_pdf
# The journal tests run against this server too; with the second variable set, a journal
# test that finds no server fails instead of skipping its PostgreSQL rows.
trap stop_test_postgres EXIT
start_test_postgres
export ITINERARY_TEST_POSTGRES_REQUIRED=1

echo "== format check"
git ls-files '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror

echo "== ci preset: every test under the sanitizers"
cmake --preset ci >/dev/null
cmake --build --preset ci
ctest --preset ci

echo "== core preset: the core tier alone"
cmake --preset core >/dev/null
cmake --build --preset core
ctest --preset core

bash scripts/package-check.sh
