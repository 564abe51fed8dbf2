# Sourced by the benchmarks: installs a tool they need and the project's own installer leaves out
# (scripts/install-deps has what the build and the tests need), with apt as scripts/install-deps does.
need() {  # command package
    command -v "$1" >/dev/null && return
    local sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing $2 for $1" >&2
    $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$2" >/dev/null ||
        { echo "needs $1 (package $2)" >&2; exit 1; }
}
