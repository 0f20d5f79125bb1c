#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests, the editor tests under Xvfb, the
# hosted bundle, the renderer, Steinberg's validator, and the sanitizer checks (the state
# fuzzer and the unit tests under AddressSanitizer, the threading test under
# ThreadSanitizer). FLINTWICK_SKIP_SANITIZERS=1 leaves the sanitizer trees out.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

sanitizer_args=()
if [ "${FLINTWICK_SKIP_SANITIZERS:-0}" != 1 ]; then
    while IFS= read -r line; do
        sanitizer_args+=("-D${line%%=*}=${line#*=}")
    done < <(bash "$root/scripts/sanitizers.sh")
else
    sanitizer_args=(-DFLINTWICK_FUZZER= -DFLINTWICK_ASAN_TESTS= -DFLINTWICK_TSAN_TESTS=)
fi

configure "${sanitizer_args[@]}"
cmake --build "$build"
xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --test-dir "$build" --output-on-failure --timeout 600
