#!/usr/bin/env bash
# Installs what is missing, builds the release preset and starts what exists of the product.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages "${ITINERARY_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default

if [ -x build/default/src/app/itinerary ]; then
  exec build/default/src/app/itinerary
fi
echo "The desktop window is not built yet; what exists is the command-line tool:"
ls build/default/tools/*/ 2>/dev/null || true
