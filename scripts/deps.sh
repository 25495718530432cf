#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need, when any is missing.
set -euo pipefail
PKGS="cmake ninja-build g++ libgtest-dev libgmock-dev qt6-base-dev qt6-multimedia-dev
gstreamer1.0-plugins-base gstreamer1.0-plugins-good libjpeg-dev fonts-dejavu-core xvfb xauth xdotool openbox
espeak-ng sox imagemagick locales libbenchmark-dev python3 clang libclang-rt-14-dev"
missing=()
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# A locale with a decimal comma, so the tests can prove numbers ignore the process locale.
if ! locale -a 2>/dev/null | grep -qi '^uk_UA\.utf-\?8$'; then
  if [ "$(id -u)" -eq 0 ] && [ -f /etc/locale.gen ]; then
    sed -i 's/^# *uk_UA.UTF-8 UTF-8/uk_UA.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^uk_UA.UTF-8 UTF-8' /etc/locale.gen || echo 'uk_UA.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null 2>&1 || true
  fi
fi
