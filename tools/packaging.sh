# The steps package.sh and cross.sh share: the configuration of a build that
# goes on a panel, and making, checking and listing its Debian packages.
# Sourced after tools/deps.sh.

# Packaging tools beside the build dependencies.
HMI_PACKAGING_PACKAGES="dpkg-dev fakeroot lintian"

# CMake arguments of a panel build: Release, the device switches (real CCU and
# meter lines), Debian's hardening flags for the target (DEB_HOST_ARCH, when
# set, chooses the target), then any compiler flags given. No -g: the programs
# are stripped into the package.
hmi_panel_cmake_args() {
    local flags cxxflags ldflags
    flags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh 2>/dev/null)
    cxxflags=$(eval "$flags"; echo "$CPPFLAGS $CXXFLAGS")
    ldflags=$(eval "$flags"; echo "$LDFLAGS")
    cxxflags=$(echo " $cxxflags $* " | sed -e 's/ -g / /g' -e 's/^ *//' -e 's/ *$//')
    printf '%s\n' -DCMAKE_BUILD_TYPE=Release \
        -DHMI_DEBUG_MODE=OFF -DHMI_DEBUG_CHARGER_GUN=OFF -DHMI_DC_METER=ON \
        "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags"
}

# hmi_make_packages BUILD_DIR: cpack into BUILD_DIR, then for each package its
# control fields, lintian (an error fails) and its contents.
hmi_make_packages() {
    local dir=$1 deb debs=() failed=0
    rm -f "$dir"/charger-hmi*.deb
    (cd "$dir" && cpack -G DEB) >"$dir/cpack.log" 2>&1 || { cat "$dir/cpack.log" >&2; return 1; }
    for deb in "$dir"/charger-hmi*.deb; do debs+=("$deb"); done
    [ -e "${debs[0]}" ] || { echo "cpack made no package; see $dir/cpack.log" >&2; return 1; }
    for deb in "${debs[@]}"; do
        echo "== $(basename "$deb")"
        dpkg-deb --field "$deb" Package Version Architecture Depends
        echo "-- lintian"
        # lintian's own verdict: errors fail, warnings and notes are shown.
        lintian --fail-on error "$deb" || failed=1
        echo "-- contents"
        dpkg-deb --contents "$deb"
    done
    echo "Packages:"
    printf '  %s\n' "${debs[@]}"
    [ "$failed" = 0 ] || { echo "lintian found errors" >&2; return 1; }
}
