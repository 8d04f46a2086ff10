#!/usr/bin/env bash
# The tests once more, built with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan); the gallery
# and app tests built with ThreadSanitizer (build-tsan); then each fuzz target for a short while from its
# seed corpus (build-fuzz, clang and libFuzzer).
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

# The gallery's loader threads, driven by the gallery tests and by the window in the app tests; tst_app
# also builds the program, which it starts. Reports are written to files, so that one from a started
# program fails the run too, whatever its test makes of the program's exit.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNF_TSAN=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
cmake --build build-tsan --target tst_gallery tst_app
# Qt's way of starting a child process would blind the sanitizer in the starting thread: see the file.
cc -O2 -Wall -Wextra -shared -fPIC scripts/tsan-fork.c -o build-tsan/tsan-fork.so -ldl
tsan_optionen="halt_on_error=1:second_deadlock_stack=1:print_suppressions=0:suppressions=$PWD/scripts/tsan.supp"
# glib's slice allocator passes memory between threads under a lock the sanitizer cannot see.
tsan_lauf() { env G_SLICE=always-malloc LD_PRELOAD="$PWD/build-tsan/tsan-fork.so" "$@"; }
berichte=$PWD/build-tsan/tsan-berichte
rm -rf "$berichte" && mkdir "$berichte"
status=0
TSAN_OPTIONS="$tsan_optionen:log_path=$berichte/bericht" tsan_lauf \
  ctest --test-dir build-tsan -R '^tst_(gallery|app)' --output-on-failure || status=$?
if [ -n "$(ls -A "$berichte")" ]; then
  cat "$berichte"/*
  echo "ThreadSanitizer reported the above" >&2
  exit 1
fi
[ "$status" -eq 0 ] || exit "$status"

# The suppressions must leave a race of our own reported: one between a thread Qt starts and a call from
# Qt's event loop, after a child process has been started, as the app tests do.
cat > build-tsan/tsan-pruefung.cpp <<'ENDE'
#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <QTimer>

static int Zaehler;

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  QProcess kind;
  kind.start(QStringLiteral("true"), {});
  kind.waitForFinished();
  QThread *helfer = QThread::create([] { ++Zaehler; });
  helfer->start();
  QTimer::singleShot(0, &app, [&] {
    ++Zaehler;
    helfer->wait();
    app.quit();
  });
  return app.exec();
}
ENDE
# shellcheck disable=SC2046 # pkg-config's flags are meant to split
c++ -std=c++17 -g -O1 -fPIC -fsanitize=thread build-tsan/tsan-pruefung.cpp -o build-tsan/tsan-pruefung \
  $(pkg-config --cflags --libs Qt6Core)
if TSAN_OPTIONS="$tsan_optionen" tsan_lauf build-tsan/tsan-pruefung 2> build-tsan/tsan-pruefung.log ||
   ! grep -q 'SUMMARY: ThreadSanitizer: data race .*tsan-pruefung.cpp' build-tsan/tsan-pruefung.log; then
  cat build-tsan/tsan-pruefung.log
  echo "ThreadSanitizer missed the race in build-tsan/tsan-pruefung.cpp: scripts/tsan.supp hides too much" >&2
  exit 1
fi

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
