#pragma once

// One QApplication per test process on the offscreen platform, with the configuration and
// runtime folders in a fresh temporary folder and a fixed font, so results do not depend
// on the desktop the tests run on.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>

#include "ui/fonts.h"

namespace uitest {

inline QString TempRoot() {
    static QTemporaryDir dir;
    return dir.path();
}

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        const std::string root = TempRoot().toStdString();
        QDir().mkpath(QString::fromStdString(root + "/config"));
        QDir().mkpath(QString::fromStdString(root + "/runtime"));
        QFile::setPermissions(
            QString::fromStdString(root + "/runtime"),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (root + "/runtime").c_str(), 1);
        static int argc = 1;
        static char name[] = "ui_test";
        static char* argv[] = {name, nullptr};
        // Kept for the life of the process: pages may outlive any one test.
        static QApplication* app = new QApplication(argc, argv);
        (void)app;
        ui::InstallFontSubstitutes();
        QApplication::setFont(ui::MakeFont("Tahoma", 8));
    }
};

inline ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace uitest
