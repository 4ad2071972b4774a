// Failures reach the user: odd files, an unwritable configuration folder, a non-serial port.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "resources/dlg_exit.h"
#include "resources/dlg_startup.h"
#include "support/driver_client.h"
#include "support/temp_dir.h"

namespace {

using testsupport::DriverProcess;

bool AnyHas(const std::vector<std::string>& texts, const std::string& part) {
    for (const std::string& t : texts)
        if (t.find(part) != std::string::npos) return true;
    return false;
}

// Starts the program, hands over to the start-up page and answers every message box until
// that page shows and every text of `awaited` was shown (notices are queued, so one may come
// after the page); the texts shown (line ends as "\n"), each without its "ok <type> ".
std::vector<std::string> StartAndAnswerBoxes(DriverProcess& p,
                                             const std::vector<std::string>& awaited = {}) {
    EXPECT_TRUE(p.Connect());
    EXPECT_EQ(p.AskUntil("top", "ok CTessaray_PCDlg"), "ok CTessaray_PCDlg");
    p.Ask("timer 1");  // the hand-over without waiting for its three seconds
    std::vector<std::string> texts;
    const bool reached = testsupport::WaitUntil([&] {
        const std::string box = p.Ask("msgbox");
        if (box.rfind("ok ", 0) == 0 && box != "ok none") {
            texts.push_back(box.substr(box.find(' ', 3) + 1));
            p.Ask("answer ok");
            return false;
        }
        for (const std::string& part : awaited)
            if (!AnyHas(texts, part)) return false;
        return p.Ask("top") == "ok CSTARTUP3" && p.Ask("msgbox") == "ok none";
    });
    EXPECT_TRUE(reached) << "never reached the start-up page";
    return texts;
}

// Only a damaged archive is replaced (by 3824 default bytes marked 'A'); a pipe is left alone.
TEST(DriverErrors, StartSaysWhatBecameOfTheConfigurationFiles) {
    // Archive bytes ("": pipes, none: the folder is a file), texts ("%": the folder), size after.
    const std::string damaged = "X" + std::string(3823, '\0');
    const struct {
        std::optional<std::string> archive;
        std::vector<std::string> shown;
        size_t sizeAfter;
    } cases[] = {
        {"",
         {"%/ports.conf: not a regular file",
          "%/Tessaray_PC.CFG: not a regular file\\nThe program runs on its default settings"},
         0},
        {damaged,
         {"Tessaray_PC.CFG does not start with a valid marker; it is replaced by the default "
          "settings."},
         3824},
        {std::nullopt,
         {"Tessaray_PC: Error Occured When Writting To Your Disk.\\ncannot write ",
          "/Tessaray_PC.CFG: Not a directory"},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown[0]);
        testsupport::TempDir temp;
        const std::string config = temp / "config", archive = config + "/Tessaray_PC.CFG";
        if (!c.archive) {
            testsupport::WriteBytes(config, "x");
        } else {
            std::filesystem::create_directories(config);
            for (const char* name : {"/ports.conf", "/Tessaray_PC.CFG"})
                ASSERT_TRUE(!c.archive->empty() || ::mkfifo((config + name).c_str(), 0600) == 0);
            if (!c.archive->empty()) testsupport::WriteBytes(archive, *c.archive);
        }
        std::vector<std::string> shown;
        for (std::string s : c.shown) shown.push_back(s[0] == '%' ? config + s.substr(1) : s);
        testsupport::DriverOptions options;
        options.configDir = config;
        DriverProcess p(options);
        const std::vector<std::string> texts = StartAndAnswerBoxes(p, shown);
        for (const std::string& part : shown) EXPECT_TRUE(AnyHas(texts, part)) << part;
        EXPECT_EQ(p.Ask("quit"), "ok");
        EXPECT_EQ(p.WaitExit(), 0);
        struct stat st {};
        if (c.archive && c.archive->empty()) {  // reading a pipe would wait for a writer
            EXPECT_TRUE(::stat(archive.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
            continue;
        }
        const std::string after = testsupport::ReadBytes(archive);
        EXPECT_EQ(after.size(), c.sizeAfter);
        EXPECT_EQ(after.substr(0, 1), c.sizeAfter ? "A" : "");
    }
}

// A port that opens but is no serial device: the start-up page gives that reason, whole.
// Then the configuration folder turns into a file: "Exit and Save" says that the archive
// could not be written, naming it and the OS error, before the end.
TEST(DriverErrors, PortThatIsNoSerialDeviceThenExitAndSaveIntoAnUnusableFolder) {
    testsupport::DriverOptions options;
    options.com1 = "/dev/null";
    DriverProcess p(options);
    EXPECT_TRUE(StartAndAnswerBoxes(p).empty());
    const auto id = [](int n) { return std::to_string(n); };
    EXPECT_EQ(p.Ask("click " + id(IDC_AUTO_BAUD)), "ok");
    EXPECT_EQ(p.Ask("click " + id(IDC_SEARCH)), "ok");
    // Two silent ticks of the link watch (id 11) without waiting for their seconds.
    for (int tick = 0; tick < 2; ++tick) EXPECT_EQ(p.AskUntil("timer 11", "ok"), "ok");
    const std::string reason = "ok - cannot open COM1 (/dev/null): not a serial device";
    EXPECT_EQ(p.AskUntil("get " + id(kProgressLineIds[4]), reason), reason);
    EXPECT_EQ(p.Ask("get " + id(kProgressLineIds[1])), "ok - Receiver not found");
    if (const char* shots = std::getenv("TESSARAY_PC_SHOTS"))
        p.Ask("screenshot " + std::string(shots) + "/startup_not_a_serial_device.png");
    std::filesystem::remove_all(p.configDir());
    testsupport::WriteBytes(p.configDir(), "not a folder");
    EXPECT_EQ(p.Ask("nav 7"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CCHECK"), "ok CCHECK");
    EXPECT_EQ(p.Ask("click " + id(resources::IDC_EXIT_SAVE)), "ok");
    const std::string box =
        "ok 48 You are not permitted to write into current folder.\\n"
        "cannot write " +
        p.configDir() + "/Tessaray_PC.CFG: Not a directory";
    EXPECT_EQ(p.AskUntil("msgbox", box), box);
    EXPECT_EQ(p.Ask("answer ok"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(testsupport::ReadBytes(p.configDir()), "not a folder");
}

}  // namespace
