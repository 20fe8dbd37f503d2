/* Fault injection for the tests of saving, loaded into a program with LD_PRELOAD.
 *
 *   TALVO_FAULT          comma-separated kinds: write, writev, shortwrite, fsync, fdatasync, rename
 *   TALVO_FAULT_PATTERN  only calls on a path holding this text fail (for a call on a file
 *                        descriptor, the path the descriptor was opened as); required
 *   TALVO_FAULT_ERRNO    the error to give, as a number or a name (ENOSPC, EIO, EROFS, EDQUOT,
 *                        EPERM, EACCES); by default ENOSPC for writes and EIO for the others
 *   TALVO_FAULT_LOG      a file to which every injected fault appends "call path errno"
 *   TALVO_FAULT_SKIP     the number of matching calls that go through before the first fault
 *   TALVO_FAULT_KILL     when set to 1, a fault kills the process with SIGKILL instead of
 *                        failing the call, as a power cut or a kill at that moment would
 *
 * shortwrite behaves like a disk that fills up: the first matching write() or writev() writes
 * about half of what it was given and reports that count, every later one fails with ENOSPC.
 * Every other call goes straight to the C library, so the program's own output is unaffected. */

#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <limits.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/uio.h>
#include <unistd.h>

enum {
    FAULT_WRITE = 1 << 0,
    FAULT_WRITEV = 1 << 1,
    FAULT_SHORTWRITE = 1 << 2,
    FAULT_FSYNC = 1 << 3,
    FAULT_FDATASYNC = 1 << 4,
    FAULT_RENAME = 1 << 5,
};

static int kinds;
static const char *pattern;
static int chosenErrno; /* 0: the default of each call */
static const char *logPath;
static atomic_int diskFull;
static atomic_int toSkip;
static int killInstead;

typedef ssize_t (*write_fn)(int, const void *, size_t);
typedef ssize_t (*writev_fn)(int, const struct iovec *, int);
typedef int (*sync_fn)(int);
typedef int (*rename_fn)(const char *, const char *);
typedef int (*renameat_fn)(int, const char *, int, const char *);
typedef int (*renameat2_fn)(int, const char *, int, const char *, unsigned int);

/* Looked up on first use, since another library's constructor may write before ours runs. */
#define REAL(name, type)                                                                           \
    static type real_##name;                                                                       \
    if (!real_##name) real_##name = (type)dlsym(RTLD_NEXT, #name)

static int parseErrno(const char *text)
{
    static const struct {
        const char *name;
        int value;
    } names[] = {{"ENOSPC", ENOSPC}, {"EIO", EIO},     {"EROFS", EROFS},
                 {"EDQUOT", EDQUOT}, {"EPERM", EPERM}, {"EACCES", EACCES}};
    if (!text || !*text) return 0;
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i)
        if (strcmp(text, names[i].name) == 0) return names[i].value;
    return atoi(text);
}

__attribute__((constructor)) static void readSettings(void)
{
    static const struct {
        const char *name;
        int bit;
    } known[] = {{"write", FAULT_WRITE},           {"writev", FAULT_WRITEV},
                 {"shortwrite", FAULT_SHORTWRITE}, {"fsync", FAULT_FSYNC},
                 {"fdatasync", FAULT_FDATASYNC},   {"rename", FAULT_RENAME}};
    const char *list = getenv("TALVO_FAULT");
    pattern = getenv("TALVO_FAULT_PATTERN");
    if (!list || !pattern || !*pattern) return;
    for (const char *p = list; *p;) {
        size_t n = strcspn(p, ",");
        for (size_t i = 0; i < sizeof known / sizeof known[0]; ++i)
            if (strlen(known[i].name) == n && strncmp(p, known[i].name, n) == 0)
                kinds |= known[i].bit;
        p += n;
        if (*p == ',') ++p;
    }
    chosenErrno = parseErrno(getenv("TALVO_FAULT_ERRNO"));
    logPath = getenv("TALVO_FAULT_LOG");
    const char *skip = getenv("TALVO_FAULT_SKIP");
    atomic_store(&toSkip, skip ? atoi(skip) : 0);
    const char *kill = getenv("TALVO_FAULT_KILL");
    killInstead = kill && strcmp(kill, "1") == 0;
}

static int pathOfFd(int fd, char *buf, size_t size)
{
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, buf, size - 1);
    if (n < 0) return 0;
    buf[n] = '\0';
    return 1;
}

/* The path a *at() call works on: name itself when absolute or relative to the working folder,
 * else the folder of dirfd followed by name. */
static void pathAt(int dirfd, const char *name, char *buf, size_t size)
{
    if (name[0] == '/' || dirfd == AT_FDCWD || !pathOfFd(dirfd, buf, size)) {
        snprintf(buf, size, "%s", name);
        return;
    }
    const size_t used = strlen(buf);
    snprintf(buf + used, size - used, "/%s", name);
}

/* A matching call is let through while calls remain to be skipped. */
static int takeFault(int match)
{
    if (!match) return 0;
    if (atomic_load(&toSkip) > 0 && atomic_fetch_sub(&toSkip, 1) > 0) return 0;
    return 1;
}

static int fdMatches(int kind, int fd, char *path, size_t size)
{
    if (!(kinds & kind)) return 0;
    const int saved = errno;
    const int match = pathOfFd(fd, path, size) && strstr(path, pattern);
    errno = saved;
    return takeFault(match);
}

static void logFault(const char *call, const char *path, int err)
{
    if (!logPath) return;
    REAL(write, write_fn);
    char line[4200];
    const int n = snprintf(line, sizeof line, "%s %s %d\n", call, path, err);
    const int fd = open(logPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    if (n > 0) real_write(fd, line, (size_t)n < sizeof line ? (size_t)n : sizeof line - 1);
    close(fd);
}

static long fail(const char *call, const char *path, int defaultErrno)
{
    const int err = chosenErrno ? chosenErrno : defaultErrno;
    logFault(call, path, err);
    if (killInstead) raise(SIGKILL);
    errno = err;
    return -1;
}

ssize_t write(int fd, const void *buf, size_t count)
{
    REAL(write, write_fn);
    char path[4096];
    if (fdMatches(FAULT_SHORTWRITE, fd, path, sizeof path)) {
        if (atomic_exchange(&diskFull, 1)) return fail("write", path, ENOSPC);
        logFault("shortwrite", path, 0);
        return real_write(fd, buf, count > 1 ? count / 2 : count);
    }
    if (fdMatches(FAULT_WRITE, fd, path, sizeof path)) return fail("write", path, ENOSPC);
    return real_write(fd, buf, count);
}

ssize_t writev(int fd, const struct iovec *iov, int iovcnt)
{
    REAL(writev, writev_fn);
    char path[4096];
    if (fdMatches(FAULT_SHORTWRITE, fd, path, sizeof path)) {
        if (atomic_exchange(&diskFull, 1)) return fail("writev", path, ENOSPC);
        logFault("shortwrite", path, 0);
        /* Half of the total, cut inside the buffer where the half falls. */
        size_t total = 0;
        for (int i = 0; i < iovcnt; ++i)
            total += iov[i].iov_len;
        size_t left = total > 1 ? total / 2 : total;
        struct iovec cut[IOV_MAX];
        int n = 0;
        for (int i = 0; i < iovcnt && i < IOV_MAX && left > 0; ++i, ++n) {
            cut[n] = iov[i];
            if (cut[n].iov_len > left) cut[n].iov_len = left;
            left -= cut[n].iov_len;
        }
        return real_writev(fd, cut, n);
    }
    if (fdMatches(FAULT_WRITEV, fd, path, sizeof path)) return fail("writev", path, ENOSPC);
    return real_writev(fd, iov, iovcnt);
}

int fsync(int fd)
{
    REAL(fsync, sync_fn);
    char path[4096];
    if (fdMatches(FAULT_FSYNC, fd, path, sizeof path)) return (int)fail("fsync", path, EIO);
    return real_fsync(fd);
}

int fdatasync(int fd)
{
    REAL(fdatasync, sync_fn);
    char path[4096];
    if (fdMatches(FAULT_FDATASYNC, fd, path, sizeof path)) return (int)fail("fdatasync", path, EIO);
    return real_fdatasync(fd);
}

/* A rename fails when either its source or its destination matches. */
static int renameMatches(const char *from, const char *to)
{
    return (kinds & FAULT_RENAME) && takeFault(strstr(from, pattern) || strstr(to, pattern));
}

int rename(const char *oldpath, const char *newpath)
{
    REAL(rename, rename_fn);
    if (renameMatches(oldpath, newpath)) return (int)fail("rename", newpath, EIO);
    return real_rename(oldpath, newpath);
}

/* Whether a rename between two directory-relative paths is to fail; errno is left as it was. */
static int renameAtFails(int olddirfd, const char *oldpath, int newdirfd, const char *newpath,
                         char *to, size_t size)
{
    if (!(kinds & FAULT_RENAME)) return 0;
    const int saved = errno;
    char from[4096];
    pathAt(olddirfd, oldpath, from, sizeof from);
    pathAt(newdirfd, newpath, to, size);
    errno = saved;
    return renameMatches(from, to);
}

int renameat(int olddirfd, const char *oldpath, int newdirfd, const char *newpath)
{
    REAL(renameat, renameat_fn);
    char to[4096];
    if (renameAtFails(olddirfd, oldpath, newdirfd, newpath, to, sizeof to))
        return (int)fail("renameat", to, EIO);
    return real_renameat(olddirfd, oldpath, newdirfd, newpath);
}

int renameat2(int olddirfd, const char *oldpath, int newdirfd, const char *newpath,
              unsigned int flags)
{
    REAL(renameat2, renameat2_fn);
    char to[4096];
    if (renameAtFails(olddirfd, oldpath, newdirfd, newpath, to, sizeof to))
        return (int)fail("renameat2", to, EIO);
    return real_renameat2(olddirfd, oldpath, newdirfd, newpath, flags);
}
