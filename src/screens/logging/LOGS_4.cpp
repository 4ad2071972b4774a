#include "screens/logging/LOGS_4.h"

#include <filesystem>
#include <limits>

#include "engine/cp1252.h"
#include "platform/numbers.h"
#include "platform/textfile.h"
#include "platform/trace.h"
#include "resources/dlg_logs.h"
#include "shell/Tessaray_PC.h"

namespace {

constexpr LogFileKind kPointLogFile{false, RECENT_POINT_LOG, LOGFILE_POINT, 4, 1036};
constexpr int32_t kMaxPointId = std::numeric_limits<int32_t>::max();

int32_t LeadingInteger(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '-' || line[i] == '+')) negative = line[i++] == '-';
    int64_t value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = value * 10 + (line[i] - '0');
        if (value > kMaxPointId) value = kMaxPointId;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

// The running number after `id`; nothing when it cannot grow.
std::optional<int32_t> Next(int32_t id) {
    if (id >= kMaxPointId) return std::nullopt;
    return id + 1;
}

}  // namespace

std::string PointRow(std::string_view id, double lat, double lon, double alt) {
    const std::string text(id);
    return platform::Format("%-16s%-12.7lf    %-12.7lf    %-10.3lf\r\n", text.c_str(), lat, lon,
                            alt);
}

int32_t LargestPointId(std::string_view fileBytes) {
    int32_t largest = 0;
    size_t start = 0;
    while (start < fileBytes.size()) {
        size_t end = fileBytes.find('\n', start);
        if (end == std::string_view::npos) end = fileBytes.size();
        const int32_t id = LeadingInteger(fileBytes.substr(start, end - start));
        if (id > largest) largest = id;
        start = end + 1;
    }
    return largest;
}

CLOGS_4::CLOGS_4() : CLogsFrame(Logs4DialogTemplate(), SCR_LOGS_4, kPointLogFile) {
    OnControl(IDC_LOGS4_AUTO, ui::BN_CLICKED, [this] { ePointIdMode = POINTID_AUTO; });
    OnControl(IDC_LOGS4_CUSTOM, ui::BN_CLICKED, [this] { ePointIdMode = POINTID_CUSTOM; });
    OnControl(IDC_LOGS4_LOG_POINT, ui::BN_CLICKED, [this] { OnLogPoint(); });
}

ui::BOOL CLOGS_4::OnInitDialog() {
    if (FirstActivation()) bPointFileChanged = 1;
    return CLogsFrame::OnInitDialog();
}

void CLOGS_4::FillControls() {
    FillRecent(IDC_LOGS_FILE, RECENT_POINT_LOG);
    FillRecent(IDC_LOGS4_ID, RECENT_POINT_ID);
    CheckDlgButton(IDC_LOGS4_AUTO, ePointIdMode == POINTID_AUTO);
    CheckDlgButton(IDC_LOGS4_CUSTOM, ePointIdMode == POINTID_CUSTOM);
}

std::optional<bool> CLOGS_4::LogRunning() const {
    return App().bPointSentenceLogOn.load() != 0;
}

void CLOGS_4::OnLogPoint() {
    std::string id;
    bool grown = true;
    if (ePointIdMode == POINTID_AUTO) {
        const std::optional<int32_t> next = Next(iNextPointId);
        grown = next.has_value();
        if (next) iNextPointId = *next;
    } else {
        const std::string typed = GetDlgItemText(IDC_LOGS4_ID);
        const std::optional<std::string> bytes = Utf8ToCp1252(typed);
        if (!bytes || bytes->size() > kPointIdMaxBytes) {
            ShowMessage(platform::Format(
                "The point ID \"%s\" cannot be written.\nIt may hold at most %d characters of "
                "the Western European character set.",
                typed.c_str(), static_cast<int>(kPointIdMaxBytes)));
            return;
        }
        RememberRecent(IDC_LOGS4_ID, RECENT_POINT_ID);
        id = bytes->empty() ? std::string(" ") : *bytes;
    }
    EnableItem(IDC_LOGS4_LOG_POINT, false);
    WritePoint(id, grown);
    EnableItem(IDC_LOGS4_LOG_POINT, true);
}

void CLOGS_4::WritePoint(const std::string& customId, bool autoIdGrown) {
    try {
        const std::optional<std::string> name = TakeFileName();
        if (!name) return;
        ShowLamp(true);
        RememberRecent(IDC_LOGS_FILE, RECENT_POINT_LOG);
        App().SetLogFile(LOGFILE_POINT, *name);
        // A file chosen by typing or from the list is a new file too, except in "Overwrite
        // Existing File": there only a file-mode button or Browse may empty a file, and the
        // running number goes on.
        const bool renamed = *name != m_strPointFile;
        if (renamed && eLogFileMode != LOGFILE_OVERWRITE) bPointFileChanged = 1;
        const bool changed =
            bPointFileChanged && !(eLogFileMode == LOGFILE_OVERWRITE && browsedPointFile_ &&
                                   *browsedPointFile_ != *name);
        if (!PrepareLogFile(*name, changed)) return;
        m_strPointFile = *name;

        std::string error;
        bool fresh = false;
        if (changed) {
            std::string bytes;
            if (!platform::ReadFileBytes(*name, &bytes, &error)) throw std::runtime_error(error);
            const int32_t largest = LargestPointId(bytes);
            const std::optional<int32_t> next = Next(largest);
            autoIdGrown = next.has_value();
            iNextPointId = ePointIdMode == POINTID_AUTO && next ? *next : largest;
            fresh = bytes.empty();
        } else if (renamed) {
            std::error_code ec;
            fresh = std::filesystem::file_size(*name, ec) == 0 && !ec;
        }
        if (fresh) {
            platform::RawFileWriter head;
            if (!head.Open(*name, true, &error) || !head.Write(kPointHeader, &error) ||
                !head.Close(&error))
                throw std::runtime_error(error);
        }
        if (changed) {
            bPointFileChanged = 0;
            browsedPointFile_.reset();
        }

        if (ePointIdMode == POINTID_AUTO && !autoIdGrown) {
            ShowMessage(platform::Format(
                "An Auto ID goes up to %d, and \"%s\" already holds a point ID that "
                "large.\nChoose another file or a Custom ID.",
                kMaxPointId, name->c_str()));
            return;
        }
        const std::string id =
            ePointIdMode == POINTID_AUTO ? platform::Format("%-d", iNextPointId) : customId;
        const LoggedPosition pos = TakeLoggedPosition();
        platform::RawFileWriter file;
        if (!file.Open(*name, true, &error) ||
            !file.Write(PointRow(id, pos.dLat, pos.dLon, pos.dAlt), &error) ||
            !file.Flush(&error) || !file.Close(&error))
            throw std::runtime_error(error);
    } catch (const std::exception& e) {
        platform::Trace("%s%s\n", kLogHeadErrorTrace, e.what());
        ShowMessage(std::string("The point could not be written:\n") + e.what());
    }
}
