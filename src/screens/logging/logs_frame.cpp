#include "screens/logging/logs_frame.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "engine/coords.h"
#include "engine/cp1252.h"
#include "engine/gps.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "platform/trace.h"
#include "shell/FileOpenDlg.h"
#include "shell/Tessaray_PC.h"
#include "ui/fonts.h"
#include "ui/messagebox.h"

namespace {

constexpr ui::UINT kTickTimer = 1;
constexpr ui::UINT kTickMs = 1000;

constexpr std::array<const char*, 5> kTabLabels{"NMEA", "Raw Data", "Binary", "Point", "Polygon"};

struct RunningLog {
    eLogFile name;
    std::atomic<int> AppShared::*running;
    const char* label;
};
constexpr RunningLog kRunningLogs[] = {
    {LOGFILE_NMEA, &AppShared::bNMEALogOn, "the NMEA log"},
    {LOGFILE_RAW, &AppShared::bRawLogOn, "the raw data log"},
    {LOGFILE_BIN, &AppShared::bBinLogOn, "the binary log"},
};

std::mutex g_polygonMutex;
std::string g_polygonFile;

// The lists of file names (the others hold station and point IDs).
bool IsFileList(int list) {
    return list != RECENT_STATION_ID && list != RECENT_POINT_ID;
}

// A file name under the home folder is kept as "~/…": most such paths fit a slot only so.
std::string StoredForm(int list, const std::string& name) {
    return IsFileList(list) ? platform::ShortenHome(platform::ExpandHome(name)) : name;
}

bool IsNonEmptyFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
}

}  // namespace

bool HasLogExtension(std::string_view name, bool bin) {
    if (name.size() < 4) return false;
    const std::string_view tail = name.substr(name.size() - 4);
    return bin ? (tail == ".bin" || tail == ".BIN") : (tail == ".txt" || tail == ".TXT");
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code ea;
    std::error_code eb;
    const auto pa = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ea), ea);
    const auto pb = std::filesystem::weakly_canonical(std::filesystem::absolute(b, eb), eb);
    return !ea && !eb && pa == pb;
}

void SetOpenPolygonFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_polygonMutex);
    g_polygonFile = path;
}

std::optional<std::string> FileWrittenBy(const std::string& path, eLogFile self) {
    AppShared& app = App();
    for (const RunningLog& log : kRunningLogs) {
        if (log.name == self || (app.*log.running).load() == 0) continue;
        if (SameFile(path, app.GetLogFile(log.name))) return std::string(log.label);
    }
    if (self != LOGFILE_POLYGON) {
        std::lock_guard<std::mutex> lock(g_polygonMutex);
        if (!g_polygonFile.empty() && SameFile(path, g_polygonFile))
            return std::string("the open polygon");
    }
    return std::nullopt;
}

std::vector<std::string> ReadRecentList(int list) {
    std::vector<std::string> names;
    GPSInfo& info = g_GPS.Info;
    RecordLock lock(info.ulPart1Lock);
    char(*entries)[kRecentTextSize] = info.Settings.szLogComboTexts.List(list);
    for (int i = 0; i < kRecentEntries; ++i) {
        entries[i][kRecentTextSize - 1] = '\0';
        if (entries[i][0] == '\0') break;
        names.push_back(Cp1252ToUtf8(entries[i]));
    }
    return names;
}

void StoreRecentList(int list, const std::vector<std::string>& names) {
    std::vector<std::string> stored;
    for (const std::string& name : names) {
        if (stored.size() == static_cast<size_t>(kRecentEntries)) break;
        const std::optional<std::string> bytes = Utf8ToCp1252(StoredForm(list, name));
        if (!bytes || bytes->empty() || bytes->size() > kRecentTextSize - 1) continue;
        if (std::find(stored.begin(), stored.end(), *bytes) != stored.end()) continue;
        stored.push_back(*bytes);
    }
    GPSInfo& info = g_GPS.Info;
    RecordLock lock(info.ulPart1Lock);
    char(*entries)[kRecentTextSize] = info.Settings.szLogComboTexts.List(list);
    for (int i = 0; i < kRecentEntries; ++i) {
        std::memset(entries[i], 0, kRecentTextSize);
        if (static_cast<size_t>(i) < stored.size())
            std::memcpy(entries[i], stored[static_cast<size_t>(i)].data(),
                        stored[static_cast<size_t>(i)].size());
    }
}

int FasterRate(int a, int b) {
    return a > b ? a : b;
}

LoggedPosition TakeLoggedPosition() {
    const bool signedDegrees = App().bBin1Position.load() != 0;
    NavInfo& nav = g_GPS.Info.Nav;
    RecordLock lock(nav.ulNavLock);
    return LoggedPosition{SignedDegrees(nav.iLatDeg, nav.dLatMin, nav.cLatDir, signedDegrees),
                          SignedDegrees(nav.iLonDeg, nav.dLonMin, nav.cLonDir, signedDegrees),
                          static_cast<double>(nav.fAltitude)};
}

CLogsFrame::CLogsFrame(const ui::DialogTemplate& tpl, eScreen screen, const LogFileKind& kind)
    : CBaseDialog(tpl, ScreenFamily::Logs, screen), kind_(kind) {
    SetTabScreens(IDC_LOGS_TAB, {SCR_LOGS_1, SCR_LOGS_2, SCR_LOGS_3, SCR_LOGS_4, SCR_LOGS_5});
    OnControl(IDC_LOGS_BROWSE, ui::BN_CLICKED, [this] { Browse(); });
    // A name chosen from the list is that item's file, not the browser's last pick.
    OnControl(IDC_LOGS_FILE, ui::CBN_SELCHANGE, [this] { browsed_.reset(); });
    OnControl(IDC_LOGS_APPEND, ui::BN_CLICKED, [this] { SetFileMode(LOGFILE_APPEND); });
    OnControl(IDC_LOGS_OVERWRITE, ui::BN_CLICKED, [this] { SetFileMode(LOGFILE_OVERWRITE); });
    OnControl(kind.createNewId, ui::BN_CLICKED, [this] { SetFileMode(LOGFILE_CREATE_NEW); });
}

CLogsFrame::~CLogsFrame() = default;

ui::BOOL CLogsFrame::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        DeleteAllItems(IDC_LOGS_TAB);
        for (size_t i = 0; i < kTabLabels.size(); ++i)
            InsertItem(IDC_LOGS_TAB, static_cast<int>(i), kTabLabels[i]);
        QFont font = Widget()->font();
        font.setFamily(ui::SubstituteFamily("Tahoma"));
        for (const ui::ControlSpec& spec : Template().controls) {
            if (spec.id > 0 && spec.kind != ui::Kind::Picture) SetItemFont(spec.id, font);
        }
        UpdateStatusStrip();
    }
    eLogFileMode = LOGFILE_CREATE_NEW;
    CheckDlgButton(IDC_LOGS_APPEND, 0);
    CheckDlgButton(IDC_LOGS_OVERWRITE, 0);
    CheckDlgButton(kind_.createNewId, 1);
    FillControls();
    UpdateStatusStrip();
    if (const auto running = LogRunning()) ShowRunState(*running);
    SelectOwnTab();
    m_nTimer1 = SetTimer(kTickTimer, kTickMs);
    ActivationDone();
    return ui::TRUE;
}

void CLogsFrame::OnCancel() {
    KillTimer(m_nTimer1);
    CBaseDialog::OnCancel();
}

void CLogsFrame::OnTimer(ui::UINT id) {
    if (bBaudNotePending) {
        bBaudNotePending = 0;
        ShowMessage(kBaudNoteText);
    }
    if (!BeginScreenTick(id)) return;
    UpdateStatusStrip();
    EndScreenTick();
    if (const auto running = LogRunning()) ShowRunState(*running);
    CBaseDialog::OnTimer(id);
}

bool CLogsFrame::ConfirmLeaveWithLogs() {
    const AppShared& app = App();
    const bool running = app.bNMEALogOn.load() || app.bRawLogOn.load() || app.bBinLogOn.load() ||
                         app.bPointSentenceLogOn.load();
    if (!running) return true;
    return ui::MessageBox(kDataLossText, ui::MB_OKCANCEL) == ui::IDOK;
}

void CLogsFrame::SetFileMode(int32_t mode) {
    eLogFileMode = mode;
    OnFileModeChanged();
}

void CLogsFrame::Browse() {
    CFileOpenDlg dlg;
    dlg.SetKind(eLogFileMode);
    dlg.SetFileType(kind_.browseType);
    dlg.SetFolder(FileText());
    if (dlg.DoModal() != ui::IDOK) return;
    const std::string path = dlg.GetPathName();
    SetDlgItemText(IDC_LOGS_FILE, path);
    // The combo shows bytes that are not UTF-8 as replacement characters; the log must still
    // go to the file chosen, not to a lookalike.
    browsed_ = BrowsedPath{GetDlgItemText(IDC_LOGS_FILE), path};
    OnBrowsed(path);
}

std::string CLogsFrame::FileText() const {
    std::string text = GetDlgItemText(IDC_LOGS_FILE);
    if (browsed_ && text == browsed_->shown) return browsed_->path;
    // Names that look alike are told apart by the item chosen.
    const int sel = GetCurSel(IDC_LOGS_FILE);
    const auto items = itemBytes_.find(IDC_LOGS_FILE);
    if (items == itemBytes_.end() || sel < 0 || static_cast<size_t>(sel) >= items->second.size() ||
        GetLBText(IDC_LOGS_FILE, sel) != text)
        return text;
    return items->second[static_cast<size_t>(sel)];
}

void CLogsFrame::FillRecent(int comboId, int list) {
    std::vector<std::string> shown = runNames_[comboId];
    const auto listed = [&](const std::string& name) {
        return std::any_of(shown.begin(), shown.end(), [&](const std::string& used) {
            return StoredForm(list, used) == StoredForm(list, name);
        });
    };
    for (const std::string& name : ReadRecentList(list))
        if (!listed(name)) shown.push_back(name);
    ResetContent(comboId);
    for (const std::string& name : shown) AddString(comboId, name);
    SetCurSel(comboId, 0);
    itemBytes_[comboId] = std::move(shown);
    if (comboId == IDC_LOGS_FILE) browsed_.reset();
}

void CLogsFrame::RememberRecent(int comboId, int list) {
    const std::string bytes = comboId == IDC_LOGS_FILE ? FileText() : GetDlgItemText(comboId);
    std::vector<std::string>& items = itemBytes_[comboId];
    if (std::find(items.begin(), items.end(), bytes) == items.end()) {
        InsertString(comboId, 0, bytes);
        items.insert(items.begin(), bytes);
    }
    // The archive keeps the names as shown.
    std::vector<std::string> names;
    const int count = GetCount(comboId);
    for (int i = 0; i < count; ++i) names.push_back(GetLBText(comboId, i));
    StoreRecentList(list, names);
    runNames_[comboId] = items;
}

std::optional<std::string> CLogsFrame::TakeFileName() {
    const std::string name = FileText();
    if (!HasLogExtension(name, kind_.bin)) {
        ShowMessage(kind_.bin ? kWrongBinText : kWrongTxtText);
        return std::nullopt;
    }
    return platform::ExpandHome(name);
}

bool CLogsFrame::PrepareLogFile(const std::string& path, bool emptyAllowed) {
    if (const auto user = FileWrittenBy(path, kind_.nameField)) {
        ShowMessage("The file \"" + path + "\" is already written by " + *user +
                    ".\nChoose another file.");
        return false;
    }
    std::string error;
    if (!platform::CreateFoldersOf(path, &error)) {
        ShowMessage("The log could not be started:\n" + error);
        return false;
    }
    const bool empty = emptyAllowed && eLogFileMode != LOGFILE_APPEND;
    if (empty && eLogFileMode == LOGFILE_CREATE_NEW && IsNonEmptyFile(path)) {
        const int answer = ui::MessageBox("The file \"" + path +
                                              "\" already exists and is not empty.\nEmpty it "
                                              "and start a new file?",
                                          ui::MB_YESNO | ui::MB_ICONQUESTION);
        if (answer != ui::IDYES) return false;
    }
    platform::RawFileWriter file;
    if (!file.Open(path, !empty, &error) || !file.Close(&error)) {
        ReportStartFailure(error);
        return false;
    }
    return true;
}

void CLogsFrame::ReportStartFailure(const std::string& error) {
    platform::Trace("%s %s\n", kLogHeadErrorTrace, error.c_str());
    ShowMessage("The log could not be started:\n" + error);
}

std::optional<int> CLogsFrame::ChosenRate(int comboId, int items) {
    const int sel = GetCurSel(comboId);
    if (sel < 0 || sel >= items) return std::nullopt;
    return RateCodeAt(sel);
}

void CLogsFrame::ShowLamp(bool on) {
    ShowItem(IDC_LOGS_LAMP_ON, on);
    ShowItem(IDC_LOGS_LAMP_OFF, !on);
}

void CLogsFrame::ShowRunState(bool running) {
    ShowLamp(running);
    if (GetDlgItem(IDC_LOGS_START)) EnableItem(IDC_LOGS_START, !running);
}

void CLogsFrame::ShowMessage(const std::string& text) {
    ui::MessageBox(text, ui::MB_OK);
}

void StoreRate(int32_t& word, int code) {
    std::atomic_ref<int32_t>(word).store(code, std::memory_order_relaxed);
}

int LoadRate(const int32_t& word) {
    return std::atomic_ref<int32_t>(const_cast<int32_t&>(word)).load(std::memory_order_relaxed);
}

CThreadLogScreen::CThreadLogScreen(const ui::DialogTemplate& tpl, eScreen screen,
                                   const LogFileKind& kind, ThreadLog log)
    : CLogsFrame(tpl, screen, kind), log_(log) {
    OnControl(IDC_LOGS_START, ui::BN_CLICKED, [this] { OnStartLog(); });
    OnControl(IDC_LOGS_STOP, ui::BN_CLICKED, [this] { OnStopLog(); });
}

std::optional<bool> CThreadLogScreen::LogRunning() const {
    return (App().*log_.running).load() != 0;
}

void CThreadLogScreen::OnStartLog() {
    try {
        const std::optional<std::string> name = TakeFileName();
        if (!name) return;
        RememberRecent(IDC_LOGS_FILE, kind_.recent);
        if (!PrepareLogFile(*name) || !WriteHead(*name)) return;
        AppShared& app = App();
        // The reader thread must never find the bit without the name.
        app.SetLogFile(kind_.nameField, *name);
        (app.*log_.running).store(1);
        app.wLogFlags.fetch_or(log_.bit);
        OnStarted();
        ShowRunState(true);
    } catch (const std::exception& e) {
        platform::Trace("%s%s\n", kLogHeadErrorTrace, e.what());
    }
}

void CThreadLogScreen::OnStopLog() {
    AppShared& app = App();
    (app.*log_.running).store(0);
    app.wLogFlags.fetch_and(~log_.bit);
    AfterStop();
    ShowRunState(false);
}

namespace {
constexpr std::array<const char*, 5> kRateItems{"OFF", "1 Hz", "5 Hz", "5 s", "10Hz"};
constexpr std::array<int, 5> kRateCodes{0, 2, 3, 1, 4};
}  // namespace

int RateCodeAt(int position) {
    if (position < 0 || position >= static_cast<int>(kRateCodes.size())) return 0;
    return kRateCodes[static_cast<size_t>(position)];
}

std::optional<int> RatePosition(int code, int items, bool tenHz) {
    static constexpr int kPositions[] = {0, 3, 1, 2, 4, 5};
    if (code < 0 || code > (tenHz ? 5 : 3)) return std::nullopt;
    const int position = kPositions[code];
    return position < items ? position : -1;
}

void FillRateCombo(ui::Dialog& dlg, int comboId, int items) {
    dlg.ResetContent(comboId);
    for (int i = 0; i < items && i < static_cast<int>(kRateItems.size()); ++i)
        dlg.AddString(comboId, kRateItems[static_cast<size_t>(i)]);
    // A refilled list has no item chosen: a rate it cannot show must not read as "OFF".
    dlg.SetCurSel(comboId, -1);
}
