# Installs the Debian packages the build, the tests and the program need,
# when any is missing. Sourced by run.sh and test.sh.
HMI_PACKAGES="cmake g++ make pkg-config qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev libqt5network5 \
libqt5svg5-dev fonts-roboto-unhinted librsvg2-bin libmodbus-dev libqt5websockets5-dev"
# The fuzz pass (./test.sh --fuzz) builds with clang and libFuzzer.
HMI_FUZZ_PACKAGES="clang libclang-rt-14-dev"

hmi_install_deps() {
    local missing=""
    for p in $HMI_PACKAGES "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}

hmi_jobs() {
    nproc 2>/dev/null || echo 2
}

# node and npm for the OCPP bridge's test central system (ocpp-ts). Any node
# already on the PATH will do; otherwise Debian's.
hmi_install_node() {
    command -v node >/dev/null 2>&1 && command -v npm >/dev/null 2>&1 && return 0
    echo "Installing: nodejs npm"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends nodejs npm
}
