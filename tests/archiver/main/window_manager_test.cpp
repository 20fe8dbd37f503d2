// The main window on a real X server with a real window manager: where it opens, where it opens
// again, and where the boxes of a first start stand. Each test process starts its own Xvfb on a
// free display and openbox on it, and ends both whatever happens to the test.

#include "archiver/main/talvo.h"
#include "archiver/store/first_run.h"
#include "archiver/store/session.h"
#include "common/desktop/qt_desktop.h"
#include "common/desktop/scripted_desktop.h"

#include "tests/support/test_folder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <vector>

namespace {

// A placement policy that puts a window that asks for no place of its own in the top-left
// corner, so that a window the program forgot to place is seen as such.
constexpr char kOpenboxConfig[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <placement><policy>Smart</policy><center>no</center></placement>
  <desktops><number>1</number></desktops>
</openbox_config>
)";

// A child process that dies with the test process, even when that one is killed.
class Child
{
public:
    Child(const std::vector<QByteArray> &argv, int keepFd = -1)
    {
        std::vector<char *> args;
        for (const QByteArray &a : argv)
            args.push_back(const_cast<char *>(a.constData()));
        args.push_back(nullptr);
        const pid_t parent = ::getpid();
        pid_ = ::fork();
        if (pid_ != 0) return;
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(127);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        for (int fd = 3; fd < 256; ++fd)
            if (fd != keepFd) ::close(fd);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;
    ~Child()
    {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) return;
            QThread::msleep(10);
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    bool running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

private:
    pid_t pid_ = -1;
};

// Xvfb on the first free display, openbox on it, and the application drawing there.
struct XServer
{
    QString skipReason;
    QString failure;
    QTemporaryDir home;
    std::unique_ptr<Child> server, manager;
    std::unique_ptr<QApplication> app;

    XServer()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (xvfb.isEmpty() || openbox.isEmpty()) {
            skipReason = QStringLiteral("Xvfb or openbox is not installed (apt-get install xvfb openbox)");
            return;
        }
        const QString base = home.path();
        for (const char *sub : {"config", "cache", "data", "runtime"})
            QDir(base).mkpath(QLatin1String(sub));
        QFile::setPermissions(base + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                     QFileDevice::ExeOwner);
        qputenv("HOME", QFile::encodeName(base));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(base + QStringLiteral("/config")));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(base + QStringLiteral("/cache")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(base + QStringLiteral("/data")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(base + QStringLiteral("/runtime")));
        const QString config = base + QStringLiteral("/rc.xml");
        if (QFile f(config); f.open(QIODevice::WriteOnly)) f.write(kOpenboxConfig);

        // Xvfb chooses a free display itself and writes its number once it takes connections.
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) {
            failure = QStringLiteral("no pipe");
            return;
        }
        server = std::make_unique<Child>(std::vector<QByteArray>{QFile::encodeName(xvfb), "-displayfd",
                                                                 QByteArray::number(pipeFds[1]), "-screen", "0",
                                                                 "1280x800x24", "-nolisten", "tcp"},
                                         pipeFds[1]);
        ::close(pipeFds[1]);
        QByteArray number;
        pollfd wait{pipeFds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&wait, 1, 10000) > 0 && ::read(pipeFds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(pipeFds[0]);
        if (number.isEmpty()) {
            failure = QStringLiteral("Xvfb did not start");
            return;
        }
        qputenv("DISPLAY", ":" + number);
        manager = std::make_unique<Child>(
            std::vector<QByteArray>{QFile::encodeName(openbox), "--sm-disable", "--config-file", QFile::encodeName(config)});

        qputenv("QT_QPA_PLATFORM", "xcb");
        static int argc = 1;
        static char name[] = "window_manager_tests";
        static char *argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);

        // The window manager is there once it frames a new window (one it finds already shown
        // when it starts, it frames without Qt seeing it).
        QElapsedTimer clock;
        clock.start();
        bool ready = false;
        while (!ready && clock.elapsed() < 10000 && manager->running()) {
            QWidget probe;
            probe.resize(100, 50);
            probe.show();
            for (int i = 0; i < 25 && !ready; ++i) {
                QCoreApplication::processEvents();
                QThread::msleep(10);
                ready = probe.frameGeometry().size() != probe.size();
            }
        }
        QCoreApplication::processEvents();
        if (!ready) failure = QStringLiteral("openbox frames no window");
    }

    ~XServer()
    {
        app.reset();
        manager.reset();
        server.reset();
    }
};

XServer *xserver = nullptr;

class UnderAWindowManager : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { xserver = new XServer; }
    static void TearDownTestSuite()
    {
        delete xserver;
        xserver = nullptr;
    }
    void SetUp() override
    {
        if (!xserver->skipReason.isEmpty()) GTEST_SKIP() << xserver->skipReason.toStdString();
        ASSERT_TRUE(xserver->failure.isEmpty()) << xserver->failure.toStdString();
    }
};

QRect area() { return QGuiApplication::primaryScreen()->availableGeometry(); }

bool framed(const QWidget *w) { return w->isVisible() && w->frameGeometry().size() != w->size(); }

// Lets the window manager frame the window and the window settle where it goes.
bool settle(const QWidget *w)
{
    QElapsedTimer clock;
    clock.start();
    QRect last;
    int steady = 0;
    while (clock.elapsed() < 5000) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
        const QRect now = w->frameGeometry();
        steady = framed(w) && now == last ? steady + 1 : 0;
        last = now;
        if (steady >= 10) return true;
    }
    return false;
}

// The frame's centre stands on the middle of the screen, and the title bar is on it.
void expectCentred(const QWidget *w, const char *what)
{
    const QRect frame = w->frameGeometry();
    const QPoint off = frame.center() - area().center();
    EXPECT_LE(std::abs(off.x()), 1) << what << " is off centre by " << off.x() << "," << off.y();
    EXPECT_LE(std::abs(off.y()), 1) << what << " is off centre by " << off.x() << "," << off.y();
    EXPECT_GE(frame.top(), area().top()) << what;
    EXPECT_GT(w->geometry().top() - frame.top(), 10) << what << " has no title bar";
}

struct Start
{
    ArchiverSession session;
    ScriptedDesktop desktop;
    Talvo talvo;
    explicit Start(const TestFolder &folder)
        : session(folder.path(), QStringLiteral("07-12-2026")), talvo(session, desktop)
    {
    }
    bool load()
    {
        if (!talvo.Form_Load()) return false;
        talvo.show();
        return settle(&talvo);
    }
};

struct Folder : TestFolder
{
    explicit Folder()
    {
        copyShipped(QStringLiteral("francais.lng"));
        copyShipped(QStringLiteral("english.lng"));
        QString error;
        EXPECT_TRUE(firstrun::InitialiserFichiers(lock(), QStringLiteral("07-12-2026"), &error));
        firstrun::ensureSubFolders(path(), [](const QString &) {});
    }
    QList<QByteArray> settingsLines() const { return read(QStringLiteral("TALVO.INI")).split('\n'); }
};

} // namespace

TEST_F(UnderAWindowManager, FirstStartIsCentredAndTheNextOpensWhereTheFrameWasLeft)
{
    Folder folder;
    const QPoint moved(137, 91);
    {
        Start first(folder);
        ASSERT_TRUE(first.load());
        expectCentred(&first.talvo, "the window of a first start");
        first.talvo.move(moved); // as the user drags it
        ASSERT_TRUE(settle(&first.talvo));
        ASSERT_EQ(first.talvo.frameGeometry().topLeft(), moved);
        ASSERT_TRUE(first.talvo.close());
    }
    const QList<QByteArray> lines = folder.settingsLines();
    ASSERT_GE(lines.size(), 10);
    EXPECT_EQ(lines[8].trimmed().toInt(), moved.x() * Talvo::kTwipsPerPixel);
    EXPECT_EQ(lines[9].trimmed().toInt(), moved.y() * Talvo::kTwipsPerPixel);

    Start again(folder);
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.talvo.frameGeometry().topLeft(), moved);
}

// A place that would leave the title bar off every screen is not taken: the window is centred.
TEST_F(UnderAWindowManager, AStoredPositionOffEveryScreenIsIgnored)
{
    const struct
    {
        int left, top; // twips, as stored
        bool kept;
    } cases[] = {
        {1500, 1200, true},     // on the screen
        {-15, -300, false},     // title bar above the screen's top
        {30000, 1500, false},   // right of the screen
        {1500, 12000, false},   // below the screen
        {-10005, 1500, false},  // all but a sliver left of the screen
        {-3000, 11550, true},   // partly off the left edge, title bar on the last lines
    };
    for (const auto &c : cases) {
        Folder folder;
        folder.write(QStringLiteral("TALVO.INI"),
                     QStringLiteral("\r\n\r\n\r\n 10500 \r\n 0 \r\n 4500 \r\n 3000 \r\n 41 \r\n %1 \r\n %2 \r\n")
                         .arg(c.left)
                         .arg(c.top)
                         .toLatin1());
        Start start(folder);
        ASSERT_TRUE(start.load());
        const QPoint stored(c.left / Talvo::kTwipsPerPixel, c.top / Talvo::kTwipsPerPixel);
        if (c.kept)
            EXPECT_EQ(start.talvo.frameGeometry().topLeft(), stored) << c.left << "," << c.top;
        else
            expectCentred(&start.talvo, qPrintable(QStringLiteral("the window stored at %1,%2").arg(c.left).arg(c.top)));
    }
}

// The questions of a first start come before the window is shown: they stand in the middle of
// the screen, not in the corner of a window that is not there yet.
TEST_F(UnderAWindowManager, TheBoxesOfAFirstStartAreCentredOnTheScreen)
{
    TestFolder folder;
    folder.copyShipped(QStringLiteral("francais.lng"));
    ArchiverSession session(folder.path(), QStringLiteral("07-12-2026"));
    QtDesktop desktop;
    Talvo talvo(session, desktop);

    struct Seen
    {
        QString text;
        QRect frame, inside;
    };
    QList<Seen> seen;
    QElapsedTimer clock;
    QRect last;
    int steady = 0;
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) return;
        const QRect now = box->frameGeometry();
        steady = framed(box) && now == last ? steady + 1 : 0;
        last = now;
        if (steady < 10 && clock.elapsed() < 5000) return;
        seen.append({box->text(), now, box->geometry()});
        steady = 0;
        last = QRect();
        clock.restart();
        // Refuse the work files: the refusal follows, and the start ends.
        QAbstractButton *no = box->button(QMessageBox::No);
        (no ? no : box->buttons().value(0))->click();
    });
    clock.start();
    watch.start();
    EXPECT_FALSE(talvo.Form_Load());
    watch.stop();

    ASSERT_EQ(seen.size(), 2);
    EXPECT_TRUE(seen[0].text.contains(QStringLiteral("Fichiers de Travail"))) << seen[0].text.toStdString();
    for (const Seen &s : seen) {
        const QPoint off = s.frame.center() - area().center();
        EXPECT_LE(std::abs(off.x()), 1) << s.text.toStdString() << " off centre by " << off.x() << "," << off.y();
        EXPECT_LE(std::abs(off.y()), 1) << s.text.toStdString() << " off centre by " << off.x() << "," << off.y();
        EXPECT_GT(s.inside.top() - s.frame.top(), 10) << s.text.toStdString() << " has no title bar";
    }
    EXPECT_FALSE(talvo.isVisible());
}
