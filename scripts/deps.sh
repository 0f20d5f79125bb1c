#!/usr/bin/env bash
# Installs what the build needs on Debian 12 and prepares the JUCE 8 and VST3 SDK
# source trees in a cache outside the clone. Safe to run again: it only does what is missing.
#
#   FLINTWICK_CACHE   where fetched sources live (default: ~/.cache/flintwick)
#   FLINTWICK_NO_APT  set to 1 to skip the Debian package check
#
# Prints the JUCE and validator paths as KEY=VALUE lines on the last two lines of stdout.
set -euo pipefail

JUCE_VERSION=8.0.6+ds-2
JUCE_ORIG=juce_8.0.6+ds.orig.tar.xz
JUCE_DEBIAN=juce_8.0.6+ds-2.debian.tar.xz

cache=${FLINTWICK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/flintwick}
mkdir -p "$cache"

say()  { echo "deps: $*" >&2; }
fail() { echo "deps: error: $*" >&2; exit 1; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"
    elif command -v sudo >/dev/null 2>&1; then sudo "$@"
    else fail "need root to run: $* (install sudo or run as root)"; fi
}

# ---------------------------------------------------------------- Debian packages
packages=(
    build-essential cmake ninja-build ccache pkg-config patch xz-utils dpkg-dev
    libasound2-dev libfreetype-dev libfontconfig1-dev libx11-dev libxext-dev
    libxinerama-dev libxrandr-dev libxcursor-dev libxcomposite-dev libgl-dev
    libjpeg-dev libpng-dev zlib1g-dev libflac-dev libvorbis-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth clang libclang-rt-14-dev debian-archive-keyring
)

if [ "${FLINTWICK_NO_APT:-0}" != 1 ]; then
    missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        say "installing Debian packages: ${missing[*]}"
        as_root apt-get update -qq || fail "apt-get update failed; check the apt sources and network"
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2 \
            || fail "could not install: ${missing[*]}"
    fi
fi

# ---------------------------------------------------------------- trixie deb-src access
# A private apt configuration that adds trixie's source index next to nothing else,
# leaving the system's own apt configuration untouched.
apt_private() {
    local dir=$1
    local mirror
    mirror=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
    [ -n "$mirror" ] || mirror=$(awk '$1=="deb" {for (i=2;i<=NF;i++) if ($i ~ /^[a-z]+:\/\//) {print $i; exit}}' /etc/apt/sources.list 2>/dev/null || true)
    [ -n "$mirror" ] || fail "no Debian mirror found in /etc/apt/sources.list.d/debian.sources or /etc/apt/sources.list"
    mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror trixie main" > "$dir/sources.list"
    APT_OPTS=(-o "Dir::Etc::SourceList=$dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
              -o "Dir::State::Lists=$dir/lists" -o "Dir::Cache=$dir/cache" -o APT::Sandbox::User=root)
    apt-get "${APT_OPTS[@]}" update -qq >&2 || fail "could not read trixie's source index from $mirror"
}

# ---------------------------------------------------------------- JUCE 8
juce_dir="$cache/juce-8.0.6"
if [ ! -f "$juce_dir/.complete" ]; then
    say "fetching JUCE $JUCE_VERSION from Debian's source package"
    work=$(mktemp -d "$cache/.juce.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    apt_private "$work/apt"
    (cd "$work" && apt-get "${APT_OPTS[@]}" source --download-only "juce=$JUCE_VERSION" >&2) || true
    [ -f "$work/$JUCE_ORIG" ] && [ -f "$work/$JUCE_DEBIAN" ] \
        || fail "could not download $JUCE_ORIG and $JUCE_DEBIAN (Debian trixie source package juce=$JUCE_VERSION)"
    mkdir "$work/src"
    tar -xJf "$work/$JUCE_ORIG" -C "$work/src" --strip-components=1
    tar -xJf "$work/$JUCE_DEBIAN" -C "$work/src"
    while read -r p; do
        case "$p" in ''|'#'*) continue ;; esac
        patch -d "$work/src" -p1 -s --no-backup-if-mismatch < "$work/src/debian/patches/$p" >&2 \
            || fail "Debian patch $p did not apply"
    done < "$work/src/debian/patches/series"
    [ -f "$work/src/CMakeLists.txt" ] && [ -d "$work/src/modules/juce_audio_plugin_client" ] \
        || fail "unpacked JUCE tree is incomplete"
    touch "$work/src/.complete"
    rm -rf "$juce_dir"
    mv "$work/src" "$juce_dir"
    rm -rf "$work"
    trap - EXIT
fi

# ---------------------------------------------------------------- VST3 validator
vst3_dir="$cache/vst3sdk"
validator="$vst3_dir/build/bin/Release/validator"
if [ ! -x "$validator" ] || [ ! -f "$vst3_dir/.complete" ]; then
    say "fetching the VST3 SDK from Debian's source tarballs"
    work=$(mktemp -d "$cache/.vst3.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    apt_private "$work/apt"
    # The .dsc and debian tarball are missing on the mirror; the orig tarballs still download.
    (cd "$work" && apt-get "${APT_OPTS[@]}" source --download-only vst3sdk >&2) || true
    root=$(ls "$work"/vst3sdk_*.orig.tar.gz 2>/dev/null | head -n 1 || true)
    [ -n "$root" ] || fail "could not download the vst3sdk orig tarballs (Debian trixie source package vst3sdk)"
    mkdir "$work/src"
    tar -xzf "$root" -C "$work/src" --strip-components=1
    for comp in base cmake pluginterfaces public-sdk; do
        tarball=$(ls "$work"/vst3sdk_*.orig-"$comp".tar.gz 2>/dev/null | head -n 1 || true)
        [ -n "$tarball" ] || fail "vst3sdk component tarball '$comp' is missing"
        dest=$comp; [ "$comp" = public-sdk ] && dest=public.sdk
        rm -rf "${work:?}/src/$dest"; mkdir -p "$work/src/$dest"
        tar -xzf "$tarball" -C "$work/src/$dest" --strip-components=1
    done
    cmake -S "$work/src" -B "$work/src/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DSMTG_ENABLE_VSTGUI_SUPPORT=OFF -DSMTG_ENABLE_VST3_PLUGIN_EXAMPLES=OFF \
        -DSMTG_ENABLE_VST3_HOSTING_EXAMPLES=OFF -DSMTG_RUN_VST_VALIDATOR=OFF \
        -DSMTG_CREATE_PLUGIN_LINK=OFF >&2 || fail "configuring the VST3 SDK failed"
    cmake --build "$work/src/build" --target validator >&2 || fail "building the VST3 validator failed"
    [ -x "$work/src/build/bin/Release/validator" ] || fail "the validator was not built"
    touch "$work/src/.complete"
    rm -rf "$vst3_dir"
    mv "$work/src" "$vst3_dir"
    rm -rf "$work"
    trap - EXIT
fi

echo "JUCE_DIR=$juce_dir"
echo "VST3_VALIDATOR=$validator"
