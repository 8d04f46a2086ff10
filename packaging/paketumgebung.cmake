# Read by cpack before it packs. libarchive reads the file names through the locale's character set, and
# the data set's names (Österreich, AÖ.jpg) need UTF-8: under "C" or "POSIX" the package build would fail.
set(ENV{LC_ALL} C.UTF-8)
