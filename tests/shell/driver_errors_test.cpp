// Failures reach the user of the whole program: files that are not what they seem, a
// configuration folder that cannot be written, a receiver unplugged before the exit.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "resources/dlg_exit.h"
#include "resources/dlg_startup.h"
#include "support/driver_client.h"
#include "support/receiver_simulator.h"
#include "support/temp_dir.h"

namespace {

using testsupport::DriverProcess;

std::string Id(int n) {
    return std::to_string(n);
}

bool AnyHas(const std::vector<std::string>& texts, const std::string& part) {
    for (const std::string& t : texts) {
        if (t.find(part) != std::string::npos) return true;
    }
    return false;
}

// Answers every message box the program shows until `top` reports the page and every text of
// `awaited` was shown (notices are queued, so one may come after the page); the texts shown
// (line ends as "\n"), each without its "ok <type> " prefix.
std::vector<std::string> AnswerBoxesUntil(DriverProcess& p, const std::string& top,
                                          const std::vector<std::string>& awaited = {}) {
    std::vector<std::string> texts;
    const bool reached = testsupport::WaitUntil([&] {
        const std::string box = p.Ask("msgbox");
        if (box.rfind("ok ", 0) == 0 && box != "ok none") {
            texts.push_back(box.substr(box.find(' ', 3) + 1));
            p.Ask("answer ok");
            return false;
        }
        for (const std::string& part : awaited) {
            if (!AnyHas(texts, part)) return false;
        }
        return p.Ask("top") == "ok " + top && p.Ask("msgbox") == "ok none";
    });
    if (!reached) ADD_FAILURE() << "never reached " << top;
    return texts;
}

// A pipe as ports.conf and as the archive: the start goes on, each is named in a message,
// and the archive is left as it is.
TEST(DriverErrors, PipesInPlaceOfConfigurationFilesDoNotHoldTheStart) {
    testsupport::TempDir temp;
    const std::string config = temp / "config";
    std::filesystem::create_directories(config);
    ASSERT_EQ(::mkfifo((config + "/ports.conf").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((config + "/Tessaray_PC.CFG").c_str(), 0600), 0);
    testsupport::DriverOptions options;
    options.configDir = config;
    DriverProcess p(options);
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(p.AskUntil("top", "ok CTessaray_PCDlg"), "ok CTessaray_PCDlg");
    p.Ask("timer 1");
    const std::string ports = config + "/ports.conf: not a regular file";
    const std::string archive =
        config + "/Tessaray_PC.CFG: not a regular file\\nThe program runs on its default settings";
    const std::vector<std::string> texts = AnswerBoxesUntil(p, "CSTARTUP3", {ports, archive});
    EXPECT_TRUE(AnyHas(texts, ports));
    EXPECT_TRUE(AnyHas(texts, archive));
    EXPECT_EQ(p.Ask("quit"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
    struct stat st {};
    ASSERT_EQ(::stat((config + "/Tessaray_PC.CFG").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// What the start makes of the archive it finds: each case is shown to the user, and only a
// damaged archive is replaced (by defaults, 3824 bytes marked 'A').
TEST(DriverErrors, StartSaysWhatBecameOfTheArchive) {
    const std::string damaged = std::string(1, 'X') + std::string(3823, '\0');
    const struct {
        const char* what;
        bool folderIsFile;
        std::string archive;  // "" for none
        std::vector<std::string> shown;
        size_t sizeAfter;  // 0: no regular file
    } cases[] = {
        {"damaged",
         false,
         damaged,
         {"Tessaray_PC.CFG does not start with a valid marker; it is replaced by the default "
          "settings."},
         3824},
        {"short", false, "N", {"You are not permitted to write into current folder."}, 3824},
        {"folder is a file",
         true,
         "",
         {"You are not permitted to write into current folder.\\ncannot write ",
          "Tessaray_PC: Error Occured When Writting To Your Disk.\\ncannot write ",
          "/Tessaray_PC.CFG: Not a directory"},
         0},
    };
    for (const auto& c : cases) {
        testsupport::TempDir temp;
        const std::string config = temp / "config", archive = config + "/Tessaray_PC.CFG";
        if (c.folderIsFile) {
            testsupport::WriteBytes(config, "x");
        } else {
            std::filesystem::create_directories(config);
            if (!c.archive.empty()) testsupport::WriteBytes(archive, c.archive);
        }
        testsupport::DriverOptions options;
        options.configDir = config;
        DriverProcess p(options);
        ASSERT_TRUE(p.Connect()) << c.what;
        ASSERT_EQ(p.AskUntil("top", "ok CTessaray_PCDlg"), "ok CTessaray_PCDlg");
        p.Ask("timer 1");
        const std::vector<std::string> texts = AnswerBoxesUntil(p, "CSTARTUP3");
        for (const std::string& part : c.shown) EXPECT_TRUE(AnyHas(texts, part)) << c.what << part;
        EXPECT_EQ(p.Ask("quit"), "ok");
        EXPECT_EQ(p.WaitExit(), 0);
        const std::string after = testsupport::ReadBytes(archive);
        EXPECT_EQ(after.size(), c.sizeAfter) << c.what;
        EXPECT_EQ(after.substr(0, 1), c.sizeAfter ? "A" : "") << c.what;
    }
}

// The configuration folder turns into a file while the program runs: "Exit and Save" says
// that the archive could not be written, naming it and the OS error, before the end.
TEST(DriverErrors, ExitAndSaveIntoAnUnusableFolderSaysSo) {
    DriverProcess p;
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(p.AskUntil("top", "ok CTessaray_PCDlg"), "ok CTessaray_PCDlg");
    p.Ask("timer 1");
    EXPECT_TRUE(AnswerBoxesUntil(p, "CSTARTUP3").empty());
    std::filesystem::remove_all(p.configDir());
    testsupport::WriteBytes(p.configDir(), "not a folder");
    EXPECT_EQ(p.Ask("nav 7"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CCHECK"), "ok CCHECK");
    EXPECT_EQ(p.Ask("click " + Id(resources::IDC_EXIT_SAVE)), "ok");
    EXPECT_EQ(p.AskUntil("msgbox",
                         "ok 48 You are not permitted to write into current folder.\\n"
                         "cannot write " +
                             p.configDir() + "/Tessaray_PC.CFG: Not a directory"),
              "ok 48 You are not permitted to write into current folder.\\ncannot write " +
                  p.configDir() + "/Tessaray_PC.CFG: Not a directory");
    EXPECT_EQ(p.Ask("answer ok"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(testsupport::ReadBytes(p.configDir()), "not a folder");
}

// A port that opens but is no serial device: the start-up page gives that reason, whole.
TEST(DriverErrors, PortThatIsNoSerialDeviceIsNamedOnTheStartupPage) {
    testsupport::DriverOptions options;
    options.com1 = "/dev/null";
    DriverProcess p(options);
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(p.AskUntil("top", "ok CTessaray_PCDlg"), "ok CTessaray_PCDlg");
    p.Ask("timer 1");
    ASSERT_EQ(p.AskUntil("top", "ok CSTARTUP3"), "ok CSTARTUP3");
    EXPECT_EQ(p.Ask("click " + Id(IDC_AUTO_BAUD)), "ok");
    EXPECT_EQ(p.Ask("click " + Id(IDC_SEARCH)), "ok");
    // Two silent ticks of the link watch (id 11) without waiting for their seconds.
    for (int tick = 0; tick < 2; ++tick) EXPECT_EQ(p.AskUntil("timer 11", "ok"), "ok");
    const std::string reason = "ok - cannot open COM1 (/dev/null): not a serial device";
    EXPECT_EQ(p.AskUntil("get " + Id(kProgressLineIds[4]), reason), reason);
    EXPECT_EQ(p.Ask("get " + Id(kProgressLineIds[1])), "ok - Receiver not found");
    if (const char* shots = std::getenv("TESSARAY_PC_SHOTS")) {
        p.Ask("screenshot " + std::string(shots) + "/startup_not_a_serial_device.png");
    }
    EXPECT_EQ(p.Ask("quit"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
}

// The receiver is unplugged a moment before "Exit and Save", before the watchdog could notice:
// the saving screen offers Retry and Close Anyway rather than reporting a save.
TEST(DriverErrors, ReceiverGoneBeforeExitAndSaveGivesNotFound) {
    testsupport::ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    sim.Stream({"$GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*5C\r\n"}, 200,
               true);
    DriverProcess p(sim);
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(p.AskUntil("top", "ok CTessaray_PCDlg"), "ok CTessaray_PCDlg");
    p.Ask("timer 1");
    ASSERT_EQ(p.AskUntil("top", "ok CSTARTUP3"), "ok CSTARTUP3");
    EXPECT_EQ(p.Ask("click " + Id(IDC_AUTO_BAUD)), "ok");
    EXPECT_EQ(p.Ask("click " + Id(IDC_SEARCH)), "ok");
    const std::string shown = "ok enabled=1 visible=1 checked=0 sel=-1 pos=0";
    ASSERT_EQ(p.AskUntil("state " + Id(IDC_STARTUP_OK), shown), shown);
    EXPECT_EQ(p.Ask("click " + Id(IDC_STARTUP_OK)), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CGPS_1"), "ok CGPS_1");
    sim.HangUp();
    EXPECT_EQ(p.Ask("nav 7"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CCHECK"), "ok CCHECK");
    EXPECT_EQ(p.Ask("click " + Id(resources::IDC_EXIT_SAVE)), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CCLOSESCREEN_1"), "ok CCLOSESCREEN_1");
    for (int tick = 0; tick < 3; ++tick) EXPECT_EQ(p.Ask("timer 1"), "ok");
    const std::string line2 = "ok  - Receiver not found, ";
    EXPECT_EQ(p.AskUntil("get " + Id(resources::IDC_SAVING_LINE1 + 1), line2), line2);
    EXPECT_EQ(p.Ask("get " + Id(resources::IDC_SAVING_LINE1 + 3)), "ok ");
    EXPECT_EQ(p.Ask("click " + Id(resources::IDC_SAVING_CLOSE)), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
}

}  // namespace
