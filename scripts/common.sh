# Shared by the build and test scripts: dependencies, then a configured build tree.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FLINTWICK_BUILD_DIR:-$root/build}

# Paths inside the clone are hashed relative to it, so another clone reuses compiled objects.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}

deps_out=$(bash "$root/scripts/deps.sh")
JUCE_DIR=${JUCE_DIR:-$(sed -n 's/^JUCE_DIR=//p' <<< "$deps_out")}
VST3_VALIDATOR=$(sed -n 's/^VST3_VALIDATOR=//p' <<< "$deps_out")

configure() {
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DJUCE_DIR="$JUCE_DIR" -DVST3_VALIDATOR="$VST3_VALIDATOR" "$@" >/dev/null
}
