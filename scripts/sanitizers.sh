#!/usr/bin/env bash
# Builds the sanitizer trees the test command runs: a clang debug tree with AddressSanitizer,
# UndefinedBehaviorSanitizer and libFuzzer (the state fuzzer, and the unit tests with JUCE's
# assertions and leak detector on), and a ThreadSanitizer tree for the threading test.
# Prints the binaries as KEY=VALUE lines.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

fuzz_build=$build-fuzz
tsan_build=$build-tsan
common=(-G Ninja -DJUCE_DIR="$JUCE_DIR" -DFLINTWICK_BUILD_BENCHMARKS=OFF -DFLINTWICK_BUILD_HOST=OFF)

CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz_build" "${common[@]}" -DCMAKE_BUILD_TYPE=Debug \
    -DFLINTWICK_SANITIZE=address -DFLINTWICK_FUZZ=ON >/dev/null
cmake --build "$fuzz_build" --target flintwick_state_fuzzer flintwick_tests >&2

cmake -S "$root" -B "$tsan_build" "${common[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFLINTWICK_SANITIZE=thread >/dev/null
cmake --build "$tsan_build" --target flintwick_thread_tests >&2

echo "FLINTWICK_FUZZER=$fuzz_build/tests/flintwick_state_fuzzer"
echo "FLINTWICK_ASAN_TESTS=$fuzz_build/tests/flintwick_tests"
echo "FLINTWICK_TSAN_TESTS=$tsan_build/tests/flintwick_thread_tests"
