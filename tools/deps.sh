#!/bin/sh
# Installs, on Debian, the packages the build and the tests need; does nothing when all are present.
# Qt Charts needs the OpenGL development files, which its Debian package does not pull in.
# Usage: tools/deps.sh [extra-package ...]
set -eu
packages="g++ cmake ninja-build make libgtest-dev libbenchmark-dev qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n libgl-dev $*"
missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0
echo "Instalando:$missing"
if ! command -v apt-get >/dev/null 2>&1; then
    echo "Faltan paquetes:$missing (instálelos con el gestor de paquetes del sistema)" >&2
    exit 1
fi
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
