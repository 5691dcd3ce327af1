#include <QApplication>

#include <gtest/gtest.h>
#include <unistd.h>

#ifdef __SANITIZE_ADDRESS__
// Qt WebEngine frees some of its own objects with a sized delete of another size and leaves much
// allocated at exit; neither is ours to report.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0:new_delete_type_mismatch=0";
}
#endif

// GoogleTest inside a QApplication for the tests that run Qt WebEngine, here or in a worker they
// start: offscreen, software rendering, and as root without the engine's sandbox, which refuses
// root. The environment may choose otherwise. (Set here rather than as CTest properties, which
// gtest_discover_tests in CMake 3.25 cannot pass as a list.)
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
