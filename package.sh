#!/usr/bin/env bash
# The Debian packages of this machine's architecture, for a panel of the same
# kind (for an ARM panel from a PC: ./cross.sh arm64).
#   ./package.sh   installs what is missing, builds build-package/ (Release,
#                  device build, Debian's hardening flags), makes
#                  charger-hmi_<version>_<arch>.deb and
#                  charger-hmi-simulators_<version>_<arch>.deb in it, checks
#                  both with lintian and lists their contents
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
. tools/packaging.sh

hmi_install_deps $HMI_PACKAGING_PACKAGES
dir=build-package
mapfile -t args < <(hmi_panel_cmake_args)
cmake -S . -B "$dir" "${args[@]}" -DHMI_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" -j"$(hmi_jobs)"
hmi_make_packages "$dir"
