# Read by cpack before it packs. libarchive reads the file names through the locale's character set, and
# the data set's names (Österreich, AÖ.jpg) need UTF-8: under "C" or "POSIX" the package build would fail.
set(ENV{LC_ALL} C.UTF-8)
# The install that fills the package is no install on this machine: its file list is not the one
# scripts/entfernen.sh removes.
set(ENV{NF_PAKETBAU} 1)
