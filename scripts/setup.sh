#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: installs the Debian packages Velkaro needs (through sudo
# when not root), then configures and builds in the given build folder.
set -euo pipefail

VELKARO_PACKAGES=(
  cmake make g++ clang pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libxkbcommon-dev libgl-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick x11-utils fonts-dejavu-core fonts-dejavu-extra
  desktop-file-utils appstream libxml2-utils shared-mime-info man-db file dpkg-dev lintian
  ola libola-dev libzstd-dev zlib1g-dev
  libdbus-1-dev
  nlohmann-json3-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-plugins-base
  gstreamer1.0-plugins-good gstreamer1.0-pulseaudio gstreamer1.0-alsa gstreamer1.0-tools
  pulseaudio pulseaudio-utils sox
)

velkaro_install_packages() {
  local missing=()
  for package in "${VELKARO_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  # Installing ola starts the system's olad with its network plugins. The tests start olads of
  # their own, fenced in, and send nothing off the machine: for them, no service starts.
  local blocker=""
  if [ "${VELKARO_NO_SERVICES:-0}" = 1 ] && [ ! -e /usr/sbin/policy-rc.d ]; then
    blocker=/usr/sbin/policy-rc.d
    printf '#!/bin/sh\nexit 101\n' | "${sudo[@]}" tee "$blocker" >/dev/null
    "${sudo[@]}" chmod 755 "$blocker"
  fi
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" || {
    [ -z "$blocker" ] || "${sudo[@]}" rm -f "$blocker"
    return 1
  }
  [ -z "$blocker" ] || "${sudo[@]}" rm -f "$blocker"
}

# velkaro_build SOURCE BUILD [cmake options...]; later options win over the default build type.
# ccache speeds up a rebuild where it is installed; nothing needs it.
velkaro_build() {
  local source=$1 build=$2
  shift 2
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
  cmake --build "$build" -j"$(nproc)"
}
