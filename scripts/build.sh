#!/usr/bin/env bash
# Builds the FLINTWICK.vst3 bundle and installs it into ~/.vst3.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

configure
cmake --build "$build" --target Flintwick_VST3
cmake --install "$build"
echo "Installed FLINTWICK.vst3 into $(sed -n 's/^FLINTWICK_VST3_INSTALL_DIR:PATH=//p' "$build/CMakeCache.txt")"
