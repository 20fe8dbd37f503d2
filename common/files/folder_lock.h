#pragma once

#include <QString>

#include <optional>

namespace files {

// The exclusive lock of a program folder. Every change of a file of the folder (read, modify,
// write) happens while its writer holds it, so two programs never undo each other's changes; a
// batch of changes holds it once for the whole batch. Readers take no lock: each file is only
// ever replaced whole. The lock is an advisory flock on a file of its own in the folder, released
// when its holder ends, whatever the way.
class FolderLock
{
public:
    static constexpr char kFileName[] = ".talvo5.lock";
    static constexpr int kDefaultWaitMs = 5000;

    // Waits at most waitMs for the lock (-1: $TALVO_LOCK_WAIT_MS when set, else kDefaultWaitMs).
    // Nothing, with errorText, when another program keeps it that long (naming it when it can) or
    // when the lock cannot be taken at all. Taking it clears what interrupted saves left behind.
    static std::optional<FolderLock> acquire(const QString &folder, QString *errorText, int waitMs = -1);

    FolderLock(FolderLock &&other) noexcept;
    FolderLock &operator=(FolderLock &&other) noexcept;
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;
    ~FolderLock();

    const QString &folder() const { return folder_; } // ends with "/"
    // Whether this lock lets path be changed: path lies in the locked folder or in one of its
    // sub-folders. When not (a writer given the lock of another folder, a fault of the program),
    // errorText says so.
    bool allows(const QString &path, QString *errorText) const;

private:
    FolderLock(int fd, QString folder) : fd_(fd), folder_(std::move(folder)) {}

    int fd_ = -1;
    QString folder_;
};

} // namespace files
