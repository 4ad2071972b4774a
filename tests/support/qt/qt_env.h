#pragma once
// One QApplication per test process on the offscreen platform, HOME and the configuration and
// runtime folders in a fresh temporary folder, so results do not depend on the machine or
// desktop the tests run on. Header only: the widget tests of the ui library include it without
// linking the program; for them it also sets a fixed font before the first test.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>

#include "ui/fonts.h"

namespace qttest {

inline std::string TempRoot() {
    static QTemporaryDir dir;
    return dir.path().toStdString();
}

inline void StartApp() {
    if (QCoreApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string root = TempRoot();
    for (const char* sub : {"/config", "/runtime", "/home"})
        QDir().mkpath(QString::fromStdString(root + sub));
    QFile::setPermissions(QString::fromStdString(root + "/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/runtime").c_str(), 1);
    setenv("HOME", (root + "/home").c_str(), 1);  // the file browser starts there
    static int argc = 1;
    static char name[] = "qt_test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // kept for the life of the process: pages outlive tests
    ui::InstallFontSubstitutes();
}

#ifndef QTTEST_NO_ENVIRONMENT
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        StartApp();
        QApplication::setFont(ui::MakeFont("Tahoma", 8));
    }
};

inline ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);
#endif

}  // namespace qttest
