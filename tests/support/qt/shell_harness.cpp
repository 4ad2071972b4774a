#include "support/qt/shell_harness.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <QApplication>
#include <QFont>
#include <QPixmap>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "shell/Tessaray_PC.h"
#include "support/temp_dir.h"
#include "ui/dialog.h"
#include "ui/fonts.h"

namespace shelltest {

namespace {

std::string g_tempDir;

}  // namespace

void StartQt() {
    if (QCoreApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char tmpl[] = "/tmp/tessaray_shell_XXXXXX";
    const char* dir = mkdtemp(tmpl);
    g_tempDir = dir ? dir : "/tmp";
    // Left behind, thousands of these folders slow every file browser that lists /tmp.
    if (dir)
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(g_tempDir, ec);
        });
    const std::string runtime = g_tempDir + "/run";
    const std::string config = g_tempDir + "/config";
    mkdir(runtime.c_str(), 0700);
    mkdir(config.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("TESSARAY_PC_CONFIG_DIR", (config + "/Tessaray_PC").c_str(), 1);
    static int argc = 1;
    static char name[] = "shell_test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    ui::InstallFontSubstitutes();
}

std::string TempDir() {
    return g_tempDir;
}

std::string ConfigDir() {
    return g_tempDir + "/config/Tessaray_PC";
}

ui::Host& MakeHost(double scale) {
    if (ui::Host* existing = ui::Host::Existing()) return *existing;
    QFont best = ui::DialogFont();
    double bestError = 1e9;
    for (int px = 6; px <= 40; ++px) {
        QFont f = ui::DialogFont();
        f.setPixelSize(px);
        const QSize s = ui::Host::ClientSizeFor(f);
        const double error =
            std::fabs(s.width() / 370.0 - scale) + std::fabs(s.height() / 510.0 - scale);
        if (error < bestError) {
            bestError = error;
            best = f;
        }
    }
    QApplication::setFont(best);
    return *new ui::Host(best);
}

ui::Host& StartProgram(double scale) {
    StartQt();
    ui::Host& host = MakeHost(scale);
    CTessaray_PCApp& app = theApp();
    SetApp(&app);
    app.iWinWidth = host.ClientSize().width();
    app.iWinHeight = host.ClientSize().height();
    app.fScaleX = host.fScaleX();
    app.fScaleY = host.fScaleY();
    app.iNavBarWidth = static_cast<int>(282 * app.fScaleX);
    app.iNavBarHeight = static_cast<int>(28 * app.fScaleY);
    host.show();
    return host;
}

void Shot(const std::string& name) {
    const char* dir = getenv("TESSARAY_PC_SHOTS");
    ui::Host* host = ui::Host::Existing();
    if (!dir || !*dir || !host) return;
    host->grab().save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
}

void ShotOf(QWidget* window, const std::string& name) {
    const char* dir = getenv("TESSARAY_PC_SHOTS");
    if (!dir || !*dir || !window) return;
    window->grab().save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
}

std::string Texts(const ui::Dialog* page, std::initializer_list<int> ids) {
    std::string out;
    for (int id : ids) out += (out.empty() ? "" : "|") + page->GetDlgItemText(id);
    return out;
}

std::string Shown(const ui::Dialog* page, std::initializer_list<int> ids) {
    std::string out;
    for (int id : ids) out += page->IsItemVisible(id) ? '1' : '0';
    return out;
}

std::string ReadFile(const std::string& path) {
    return testsupport::ReadBytes(path);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    testsupport::WriteBytes(path, bytes);
}

}  // namespace shelltest
