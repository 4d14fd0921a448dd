#!/usr/bin/env bash
# Installs what is missing, builds Velkaro and starts it: ./run.sh [show.DMX]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/scripts/setup.sh"
velkaro_install_packages
velkaro_build "$here" "$here/build" -DVELKARO_SANITIZE=OFF
exec "$here/build/app/Velkaro" "$@"
