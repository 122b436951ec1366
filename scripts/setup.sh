#!/usr/bin/env bash
# Installs, as root on Debian 12, everything the build, the app and the tests need;
# "setup.sh fuzz" adds clang and libFuzzer's runtime for the fuzz targets.
# Safe to run again: installed packages are skipped and npm follows the lock file.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config git
  qtbase5-dev qtbase5-dev-tools libqt5webkit5-dev libqt5svg5-dev
  qtdeclarative5-dev qml-module-qtquick2 qml-module-qtquick-window2
  libqt5sql5-sqlite
  libopencv-core-dev libopencv-imgproc-dev zlib1g-dev
  # FFmpeg writes animated loops; the tests read them back with libwebp and ffprobe.
  libavcodec-dev libavformat-dev libavfilter-dev libswscale-dev libavutil-dev
  libwebp-dev ffmpeg
  fonts-dejavu-core fonts-liberation
  xvfb xauth xdg-utils desktop-file-utils
  poppler-utils librsvg2-bin
  dpkg-dev file appstream
)
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)
[ "${1:-}" = fuzz ] && packages+=(clang libclang-rt-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${missing[*]}); run as root to install them" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# jQuery and jQuery UI for the host's resource bundle and TypeScript for the check of page
# script against the API declarations, pinned by package-lock.json.
stamp=node_modules/.tressil-lock
if ! cmp -s package-lock.json "$stamp" 2>/dev/null; then
  npm ci --no-audit --no-fund --loglevel=error
  cp package-lock.json "$stamp"
fi
