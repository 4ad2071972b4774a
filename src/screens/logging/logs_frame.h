#pragma once
// What the five logging screens share: the tab strip, the file row with its recent list and
// Browse, the file-mode buttons, the recording lamp, the baud note, the data-loss question
// on leaving the group, and the checks every log makes before it writes a file.

#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/appstate.h"
#include "shell/BaseDialog.h"

// Frame controls, the same ids on every logging screen.
enum : int {
    IDC_LOGS_TAB = 1008,
    IDC_LOGS_FILE = 1052,
    IDC_LOGS_BROWSE = 1064,
    IDC_LOGS_APPEND = 1032,
    IDC_LOGS_OVERWRITE = 1033,
    IDC_LOGS_START = 1065,
    IDC_LOGS_STOP = 1066,
    IDC_LOGS_LAMP_ON = 1140,
    IDC_LOGS_LAMP_OFF = 1141,
};

// eLogFileMode.
enum eLogFileMode : int32_t {
    LOGFILE_APPEND = 0,
    LOGFILE_OVERWRITE = 1,
    LOGFILE_CREATE_NEW = 2,
};

// The recent lists in the order of the profile archive's text table.
enum eRecentList : int {
    RECENT_NMEA_LOG = 0,
    RECENT_RAW_LOG,
    RECENT_BIN_LOG,
    RECENT_STATION_ID,
    RECENT_POINT_LOG,
    RECENT_POINT_ID,
    RECENT_POLYGON_LOG,
};

inline constexpr const char* kWrongTxtText =
    "You have chosen an incorrect file type.\n The postfix can only be either txt or TXT.";
inline constexpr const char* kWrongBinText =
    "You have chosen an incorrect file type.\n The postfix can only be either bin or BIN.";
inline constexpr const char* kDataLossText =
    "Tessaray_PC: Possible Data Loss In\n Log File If You Leave This Window.\n Want To Go Ahead?";
inline constexpr const char* kBaudNoteText =
    "We suggest that you use baud\n rate 38,400 when logging to\n ensure no data is lost.\n You "
    "can change the baud rates\n in Setup Window of GPS Group.";
inline constexpr const char* kLogHeadErrorTrace = "Error or Exception When Logging NMEA File Head:";

// What distinguishes one screen's log file.
struct LogFileKind {
    bool bin;            // ".bin" / ".BIN", else ".txt" / ".TXT"
    eRecentList recent;  // the list of its file names
    eLogFile nameField;  // szNMEALogFile ...
    int browseType;      // file type of the file browser
    int createNewId;     // the "Create New File" button
};

// Whether the name ends in the extension in lower or upper case (".Txt" does not count).
bool HasLogExtension(std::string_view name, bool bin);

// The same file, also when named through different paths.
bool SameFile(const std::string& a, const std::string& b);

// The log or polygon that writes this file now, as a user reads it ("the NMEA log"); nothing
// when none does. `self` is the asking log's own name field, which does not count.
std::optional<std::string> FileWrittenBy(const std::string& path, eLogFile self);

// The polygon screen's open file, or "" when no polygon is open.
void SetOpenPolygonFile(const std::string& path);

// The recent list `list` in the record, read as the Part lays it out (byte 49 forced to 0,
// the first empty entry ends the list), as UTF-8.
std::vector<std::string> ReadRecentList(int list);
// Stores names (UTF-8, newest first) into the list: a file name under the home folder as
// "~/…"; those that Windows-1252 cannot hold or that are too long for a slot are left out; at
// most ten are kept.
void StoreRecentList(int list, const std::vector<std::string>& names);

// A rate code with a higher output rate wins: 0 off < 1 "5 s" < 2 "1 Hz" < 3 "5 Hz" < 4.
int FasterRate(int a, int b);

// Position of a point or polygon vertex, copied whole under the record's lock.
struct LoggedPosition {
    double dLat;
    double dLon;
    double dAlt;
};
LoggedPosition TakeLoggedPosition();

class CLogsFrame : public CBaseDialog {
public:
    CLogsFrame(const ui::DialogTemplate& tpl, eScreen screen, const LogFileKind& kind);
    ~CLogsFrame() override;

    ui::BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(ui::UINT id) override;
    bool ConfirmLeaveWithLogs() override;

    int32_t eLogFileMode = LOGFILE_CREATE_NEW;

protected:
    // The screen's own part of every activation (after the frame's).
    virtual void FillControls() = 0;
    // The run flag the lamp pair (and Start/Stop) follow; nothing on the polygon screen.
    virtual std::optional<bool> LogRunning() const { return std::nullopt; }
    virtual void OnFileModeChanged() {}
    // The file browser gave `path` (as the folder holds it).
    virtual void OnBrowsed(const std::string& path) { (void)path; }

    // Refills a combo with the names used in this run, then those of the recent list not among
    // them; item 0 selected.
    void FillRecent(int comboId, int list);
    // The recent-list update: the combo's text goes to the top when not listed yet, then
    // the combo's first ten names are stored. The combo's names stay listed for the whole run,
    // also those the list cannot hold.
    void RememberRecent(int comboId, int list);
    // The file combo's text (or the browser's unchanged pick), checked for the screen's
    // extension (a message when wrong), with a leading "~/" taken as the home folder.
    std::optional<std::string> TakeFileName();
    // Before a log writes to `path`: refuses a file another log writes, creates the
    // folders, empties the file outside "Append" ("Create New File" asks first when it
    // holds something) and checks that it can be written. Messages say why not.
    // emptyAllowed: outside "Append" the file is emptied (else it is only checked).
    bool PrepareLogFile(const std::string& path, bool emptyAllowed = true);
    // Start and Stop of the thread-written logs (NMEA, raw data, binary).
    void ShowRunState(bool running);
    void ShowLamp(bool on);
    void ShowMessage(const std::string& text);
    // A file the log could not be prepared or begun in: traced and told to the user.
    void ReportStartFailure(const std::string& error);
    // The code of the rate a combo of `items` entries shows; nothing when none is chosen.
    std::optional<int> ChosenRate(int comboId, int items);

    const LogFileKind& kind_;
    int32_t bBaudNotePending = 0;

private:
    void Browse();
    void SetFileMode(int32_t mode);
    // The file combo's text; for the browser's pick still shown, or a list item chosen, the
    // path as the folder holds it (a name need not be valid UTF-8).
    std::string FileText() const;

    // The browser's last pick while no list item was chosen after it: what the combo shows of
    // it and its path.
    struct BrowsedPath {
        std::string shown;
        std::string path;
    };
    std::optional<BrowsedPath> browsed_;

    // Per combo, the bytes of each of its items in order.
    std::map<int, std::vector<std::string>> itemBytes_;
    // Per combo, its names (bytes) as last remembered.
    std::map<int, std::vector<std::string>> runNames_;
};

// Which run flag and wLogFlags bit a thread-written log uses.
struct ThreadLog {
    std::atomic<int> AppShared::*running;
    uint32_t bit;
};

// The NMEA, raw-data and binary screens: Start names the file and sets the bit, the reader
// thread writes; Stop clears it again.
class CThreadLogScreen : public CLogsFrame {
public:
    CThreadLogScreen(const ui::DialogTemplate& tpl, eScreen screen, const LogFileKind& kind,
                     ThreadLog log);

    void OnStartLog();
    void OnStopLog();

protected:
    std::optional<bool> LogRunning() const override;
    virtual void OnStarted() {}
    // Writes what a recording begins with; false stops the Start.
    virtual bool WriteHead(const std::string& path) {
        (void)path;
        return true;
    }
    virtual void AfterStop() {}

private:
    ThreadLog log_;
};

// Rate combos: list position to eRateCode ("OFF", "1 Hz", "5 Hz", "5 s", "10Hz").
int RateCodeAt(int position);
// The list position that shows a code on a combo of `items` entries: -1 (no item) when the
// combo lacks that position, nothing (leave the selection) for a code outside the mapping;
// codes 4 and 5 map only with tenHz.
std::optional<int> RatePosition(int code, int items, bool tenHz);
// Fills a rate combo with its first `items` entries, none of them chosen.
void FillRateCombo(ui::Dialog& dlg, int comboId, int items);

// Rate words are read by the reader thread while a screen changes them.
void StoreRate(int32_t& word, int code);
int LoadRate(const int32_t& word);
