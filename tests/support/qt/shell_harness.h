#pragma once
// Shared set-up of the shell's headless tests: the application, a host window of a chosen
// scale, screenshots for review.

#include <QImage>
#include <QWidget>
#include <initializer_list>
#include <string>

#include "support/temp_dir.h"

namespace ui {
class Dialog;
class Host;
}  // namespace ui

namespace shelltest {

// Creates the QApplication (offscreen unless QT_QPA_PLATFORM says otherwise) with HOME,
// XDG_RUNTIME_DIR, XDG_CONFIG_HOME and TESSARAY_PC_CONFIG_DIR in a fresh temporary folder.
void StartQt();
// The temporary folder made by StartQt, and the configuration folder in it.
std::string TempDir();
std::string ConfigDir();

// Makes the host window with a dialog font that gives about `scale` times the design size.
ui::Host& MakeHost(double scale);
// StartQt and MakeHost, then hands the program object the window's size, scale factors and
// navigation-bar size as the main window would, and shows the window.
ui::Host& StartProgram(double scale);

// Saves the host window (or any window) to <TESSARAY_PC_SHOTS>/<name>.png when that is set.
void Shot(const std::string& name);
void ShotOf(QWidget* window, const std::string& name);

// The texts of controls joined by "|", and whether each is shown ("1") or hidden ("0"), so
// one comparison holds a page's row of read-outs or lamps.
std::string Texts(const ui::Dialog* page, std::initializer_list<int> ids);
std::string Shown(const ui::Dialog* page, std::initializer_list<int> ids);

inline std::string ReadFile(const std::string& path) {
    return testsupport::ReadBytes(path);
}
inline void WriteFile(const std::string& path, const std::string& bytes) {
    testsupport::WriteBytes(path, bytes);
}

}  // namespace shelltest
