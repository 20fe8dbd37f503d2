/* Makes every call the fault library can fail on the files named in a folder, and prints one
 * line per call: "NAME CALL RESULT", RESULT being the call's return value or "eN" for a failure
 * with errno N. The lines go out through write() on standard output, which the library must let
 * pass untouched.
 *
 * usage: fault_probe FOLDER NAME... */

#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

static void report(const char *name, const char *call, long result)
{
    char line[512];
    const int n = result < 0 ? snprintf(line, sizeof line, "%s %s e%d\n", name, call, errno)
                             : snprintf(line, sizeof line, "%s %s %ld\n", name, call, result);
    if (write(STDOUT_FILENO, line, (size_t)n) != n) _exit(3);
}

static void probe(const char *folder, int dirfd, const char *name)
{
    char path[4096], moved[4096], movedName[1024];
    snprintf(path, sizeof path, "%s/%s", folder, name);
    snprintf(moved, sizeof moved, "%s/%s.moved", folder, name);
    snprintf(movedName, sizeof movedName, "%s.moved", name);

    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        report(name, "open", -1);
        return;
    }
    report(name, "write", (long)write(fd, "0123456789", 10));
    report(name, "write2", (long)write(fd, "0123456789", 10));
    struct iovec parts[2] = {{"abcd", 4}, {"efgh", 4}};
    report(name, "writev", (long)writev(fd, parts, 2));
    report(name, "fsync", fsync(fd));
    report(name, "fdatasync", fdatasync(fd));
    close(fd);

    report(name, "rename", rename(path, moved));
    report(name, "renameat", renameat(dirfd, movedName, dirfd, name));
    report(name, "renameat2", renameat2(dirfd, name, dirfd, movedName, 0));

    struct stat st;
    if (stat(path, &st) == 0 || stat(moved, &st) == 0)
        report(name, "size", (long)st.st_size);
    else
        report(name, "size", -1);
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fputs("usage: fault_probe FOLDER NAME...\n", stderr);
        return 2;
    }
    const int dirfd = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd < 0) {
        perror(argv[1]);
        return 2;
    }
    for (int i = 2; i < argc; ++i)
        probe(argv[1], dirfd, argv[i]);
    close(dirfd);
    return 0;
}
