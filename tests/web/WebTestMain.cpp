// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include <gtest/gtest.h>
#include <unistd.h>

#ifdef __SANITIZE_ADDRESS__
// Qt WebEngine frees some of its objects with a sized delete of another size and leaves much allocated at exit.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0:new_delete_type_mismatch=0";
}
#endif

// GoogleTest in a QApplication for Qt WebEngine, here or in a worker: offscreen, software rendering and, as root,
// without the engine's sandbox, unless the environment says otherwise (gtest_discover_tests cannot pass variables).
int main(int argc, char** argv)
{
    for (const auto& [name, value] : {std::pair{"QT_QPA_PLATFORM", "offscreen"},
             {"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu"}, {"QTWEBENGINE_DISABLE_SANDBOX", ::geteuid() ? "" : "1"}})
        if (qEnvironmentVariableIsEmpty(name) && *value)
            qputenv(name, value);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
