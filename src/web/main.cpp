// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/WebWorker.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QQuickWindow>
#include <QStringList>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __SANITIZE_ADDRESS__
// Under AddressSanitizer (debug builds): Qt WebEngine 6.4 frees some of its own objects with a sized
// delete of another size and leaves much allocated at exit; neither is this program's to report.
extern "C" const char* __asan_default_options()
{
    return "new_delete_type_mismatch=0:detect_leaks=0";
}
#endif

namespace {

// Creates the folder and each missing parent owner-only, whatever the umask: the first start may
// create the data folder itself on the way to the profile.
bool createPrivateFolders(const QString& folder)
{
    const QFileInfo info(folder);
    if (info.exists())
        return info.isDir();
    return createPrivateFolders(info.absolutePath())
        && QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Before the application object exists. The pages are forms and tables: software drawing serves
// them and keeps a GL driver out of the process (Mesa's software one alone maps some 40 MiB), which
// X11's GL integration would otherwise load at start-up. Pages of one site share one renderer
// process, and without strict site isolation, as this engine runs, that is one renderer for all the
// worker's pages: at a first sign-in the login window's page and both hidden pages are open.
void useLeanEngine()
{
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --process-per-site");
}

// Before the engine starts. On Linux the engine hides every page from screen readers unless this is
// set, and a sign-in window whose form a screen reader cannot see locks a blind student out. It
// costs nothing until an assistive technology turns Qt's accessibility on; from then on every page
// of the worker, the hidden ones too, keeps an accessibility tree (measured in the benchmarks).
void showPagesToScreenReaders()
{
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
}

} // namespace

// vantory-web --profile <folder>: the application's web engine, driven over stdin and stdout.
int main(int argc, char** argv)
{
    // A write to a parent that died must end in an error, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    // The engine refuses to start as root with its sandbox on.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    // The protocol moves off descriptors 0 and 1, which the engine and its child processes might
    // write to or inherit: standard output becomes standard error, standard input /dev/null.
    const int input = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
    const int output = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    const int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (input < 0 || output < 0 || nothing < 0 || ::dup2(nothing, STDIN_FILENO) < 0
        || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return 2;
    ::close(nothing);
    ::fcntl(input, F_SETFL, ::fcntl(input, F_GETFL) | O_NONBLOCK);

    useLeanEngine();
    showPagesToScreenReaders();
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);

    const QStringList arguments = QApplication::arguments();
    const qsizetype flag = arguments.indexOf(QStringLiteral("--profile"));
    if (flag < 0 || flag + 1 >= arguments.size() || arguments[flag + 1].isEmpty())
        return 2;
    // The profile holds the sign-in cookies: owner only.
    const QString folder = QDir(arguments[flag + 1]).absolutePath();
    if (!createPrivateFolders(folder) || ::chmod(QFile::encodeName(folder).constData(), 0700) != 0)
        return 2;

    vantory::WebWorker worker(folder, input, output);
    return application.exec();
}
