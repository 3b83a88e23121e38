#!/usr/bin/env bash
# Installs what building and testing Talvik needs on a Debian 12 machine, skipping what is there.
set -euo pipefail

packages=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev
          libgl1-mesa-dev xvfb fonts-dejavu-core locales clang libclang-rt-14-dev python3
          googletest g++-mingw-w64-x86-64-posix wine wine64 nsis
          qt6-translations-l10n qt6-qpa-plugins man-db dpkg-dev file lintian appstream
          libxml2-utils strace)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
fi

# The locale test runs the batch front under a Dutch locale (decimal comma).
if ! locale -a 2>/dev/null | grep -qi '^nl_NL\.utf-\?8$'; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    if [ -f /etc/locale.gen ]; then
        $SUDO sed -i 's/^# *nl_NL.UTF-8 UTF-8/nl_NL.UTF-8 UTF-8/' /etc/locale.gen
        grep -q '^nl_NL.UTF-8 UTF-8' /etc/locale.gen || echo 'nl_NL.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
        $SUDO locale-gen >/dev/null
    fi
fi
