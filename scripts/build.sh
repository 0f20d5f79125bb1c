#!/usr/bin/env bash
# Builds the FLINTWICK.vst3 bundle and the renderer, installs the bundle into ~/.vst3 and
# the renderer into ~/.local/bin, then renders the bundled demo into out/.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

configure -DCMAKE_INSTALL_PREFIX="${FLINTWICK_PREFIX:-$HOME/.local}"
cmake --build "$build" --target Flintwick_VST3 flintwick-render flintwick-demo
cmake --install "$build"

vst3_dir=$(sed -n 's/^FLINTWICK_VST3_INSTALL_DIR:PATH=//p' "$build/CMakeCache.txt")
echo "Installed $vst3_dir/FLINTWICK.vst3 and ${FLINTWICK_PREFIX:-$HOME/.local}/bin/flintwick-render"

# The demo: a generated drum loop, dry and through the installed plug-in at three settings.
"$build/tools/flintwick-demo" "$root/out" "$vst3_dir/FLINTWICK.vst3"
