// Preloaded into the ThreadSanitizer run. Qt starts a child process with clone(CLONE_VM | CLONE_VFORK):
// the child runs on its parent's memory, and ThreadSanitizer's fork bookkeeping in the child then
// upsets the parent's own, so that the thread which started the child reports nothing from then on.
// Such a clone becomes a fork() here, which ThreadSanitizer follows; a pidfd, if asked for, is opened
// for the child as the kernel would have handed it over.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <sched.h>
#include <stdarg.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

int clone(int (*fn)(void *), void *stack, int flags, void *arg, ...) {
  va_list rest;
  va_start(rest, arg);
  pid_t *parent_tid = va_arg(rest, pid_t *);
  void *tls = va_arg(rest, void *);
  pid_t *child_tid = va_arg(rest, pid_t *);
  va_end(rest);
  if ((flags & CLONE_VM) && !(flags & CLONE_THREAD)) {
    const pid_t kind = fork();
    if (kind == 0)
      _exit(fn(arg));
    if (kind > 0 && (flags & CLONE_PIDFD)) {
      const long pidfd = syscall(SYS_pidfd_open, kind, 0);
      if (pidfd < 0)
        return -1;
      *(int *)parent_tid = (int)pidfd;
    }
    return kind;
  }
  int (*weiter)(int (*)(void *), void *, int, void *, ...) =
      (int (*)(int (*)(void *), void *, int, void *, ...))dlsym(RTLD_NEXT, "clone");
  return weiter(fn, stack, flags, arg, parent_tid, tls, child_tid);
}
