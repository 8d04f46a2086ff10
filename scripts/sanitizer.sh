#!/usr/bin/env bash
# The tests once more, built with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan), then
# each fuzz target for a short while from its seed corpus (build-fuzz, clang and libFuzzer).
# Any sanitizer report, leak or crash fails the run. Expects scripts/einrichten.sh to have run.
set -euo pipefail
cd "$(dirname "$0")/.."

FUZZ_SEKUNDEN=${FUZZ_SEKUNDEN:-30}
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_init_order=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"

# The benchmark is left out: it measures, it tests nothing.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNF_SANITIZER=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
cmake --build build-asan
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNF_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
cmake --build build-fuzz --target nf_fuzz
for ziel in textdatei einstellungen jpeg vorschaupaket; do
  korpus=build-fuzz/fuzz/korpus-$ziel
  # New finds go to a scratch folder, so the seed corpus stays as built.
  funde=$(mktemp -d)
  build-fuzz/fuzz/fuzz_$ziel -max_total_time="$FUZZ_SEKUNDEN" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 "$funde" "$korpus"
  rm -rf "$funde"
done
