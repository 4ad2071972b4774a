#define QTTEST_NO_ENVIRONMENT
#include "support/qt/shell_harness.h"

#include <QApplication>
#include <QFont>
#include <QPixmap>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "shell/Tessaray_PC.h"
#include "support/qt/qt_env.h"
#include "ui/dialog.h"
#include "ui/fonts.h"

namespace shelltest {

namespace {

// Every test starts on an empty temporary folder: files an earlier test of the process left
// there (archive, terminal file, profiles, logs, pipes) would change what the program loads.
// Qt's runtime folder stays.
class FreshFolders : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        namespace fs = std::filesystem;
        const fs::path root = qttest::TempRoot();
        std::error_code ec;
        for (const fs::directory_entry& e : fs::directory_iterator(root, ec))
            if (e.path().filename() != "runtime") fs::remove_all(e.path(), ec);
        for (const char* sub : {"config", "home"}) fs::create_directories(root / sub, ec);
    }
};

[[maybe_unused]] const bool kFreshFolders = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshFolders);
    return true;
}();

}  // namespace

void StartQt() {
    if (QCoreApplication::instance()) return;
    qttest::StartApp();
    setenv("TESSARAY_PC_CONFIG_DIR", ConfigDir().c_str(), 1);
}

std::string TempDir() {
    return qttest::TempRoot();
}

std::string ConfigDir() {
    return TempDir() + "/config/Tessaray_PC";
}

ui::Host& MakeHost(double scale) {
    QFont best = ui::DialogFont();
    double bestError = 1e9;
    for (int px = 6; px <= 40; ++px) {
        QFont f = ui::DialogFont();
        f.setPixelSize(px);
        const QSize s = ui::Host::ClientSizeFor(f);
        const double error =
            std::fabs(s.width() / 370.0 - scale) + std::fabs(s.height() / 510.0 - scale);
        if (error < bestError) bestError = error, best = f;
    }
    // A window of another scale, left by an earlier test of the process, is replaced.
    if (ui::Host* existing = ui::Host::Existing()) {
        if (existing->ClientSize() == ui::Host::ClientSizeFor(best)) return *existing;
        delete existing;
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
    ShotOf(ui::Host::Existing(), name);
}

void ShotOf(QWidget* window, const std::string& name) {
    const char* dir = getenv("TESSARAY_PC_SHOTS");
    if (dir && *dir && window)
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

}  // namespace shelltest
