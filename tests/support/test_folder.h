#pragma once

#include "common/files/folder_lock.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A temporary program folder for one test: TALVO5_HOME points at it, XDG_CONFIG_HOME and
// XDG_DATA_HOME (with the trash) inside it, so no test reads or writes the real home folder or depends on another test.
class TestFolder
{
public:
    TestFolder();
    ~TestFolder();

    QString path() const; // ends with "/"
    QString file(const QString &name) const { return path() + name; }

    void write(const QString &name, QByteArrayView bytes) const;
    QByteArray read(const QString &name) const;
    bool exists(const QString &name) const;
    // Copies a shipped data file (a language file, a sample) from the build's program folder.
    void copyShipped(const QString &name) const;
    // Names of the files of the folder, hidden ones included.
    QStringList entries() const;
    // The folder's lock, for the store's writing functions.
    files::FolderLock lock() const;
    // The files folder of the user's trash, ending with "/".
    QString trash() const;

private:
    QTemporaryDir dir_;
    QByteArray oldHome_, oldConfig_, oldData_;
};

// Sets the immutable attribute on a folder for as long as it lives: not even root writes there,
// as a read-only folder would refuse a user. set is false when the file system refuses it.
struct Immutable
{
    explicit Immutable(const QString &folder);
    ~Immutable();
    Immutable(const Immutable &) = delete;
    Immutable &operator=(const Immutable &) = delete;
    QString path;
    bool set = false;
};

// The build's program folder, where the programs and the shipped files are ($TALVO_PROGRAM_DIR
// overrides it).
QString shippedFolder();

struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QString errText() const { return QString::fromUtf8(err); }
    QString outText() const { return QString::fromUtf8(out); }
};

// Runs talvo5-cli with the given arguments on folder, its home folder being folder's "home";
// extraEnv entries are NAME=VALUE.
// The output goes to outputFile instead of being kept when one is named.
CliRun runCli(const TestFolder &folder, const QStringList &args,
              const QStringList &extraEnv = QStringList(), const QString &outputFile = QString());
