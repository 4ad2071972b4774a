#include "screens/logging/LOGS_5.h"

#include <cmath>
#include <string_view>

#include "engine/gps.h"
#include "platform/numbers.h"
#include "platform/trace.h"
#include "resources/dlg_logs.h"
#include "ui/messagebox.h"

namespace {

constexpr LogFileKind kPolygonLogFile{false, RECENT_POLYGON_LOG, LOGFILE_POLYGON, 5, 1036};
constexpr double kPi = 3.14159265358979323846;
constexpr const char* kPolygonHeadTrace = "Error or Exception When Logging Polygon File Head:";

double Unwrap(double degrees) {
    while (degrees >= 180.0) degrees -= 360.0;
    while (degrees < -180.0) degrees += 360.0;
    return degrees;
}

double DisplayedArea(double squareMetres) {
    return squareMetres *
           (App().iAreaUnits.load() != 0 ? kHectaresPerSquareMetre : kAcresPerSquareMetre);
}

}  // namespace

double PolygonAreaArcSec2(const std::vector<PolygonVertex>& ring) {
    const size_t n = ring.size();
    if (n < 3) return 0.0;
    double meanLat = 0.0;
    for (const PolygonVertex& v : ring) meanLat += v.dLat;
    meanLat /= static_cast<double>(n);
    const double scale = std::cos(meanLat * kPi / 180.0);
    const auto x = [&](size_t k) { return Unwrap(ring[k % n].dLon - ring[0].dLon) * scale; };
    const auto y = [&](size_t k) { return ring[k % n].dLat - ring[0].dLat; };
    double sum = 0.0;
    for (size_t k = 0; k < n; ++k) sum += y(k) * x(k + 1) - x(k) * y(k + 1);
    return std::fabs(sum * 3600.0 * 3600.0) * 0.5;
}

double ArcSec2ToSquareMetres(double arcSec2) {
    return arcSec2 * kMetresPerArcSecond * kMetresPerArcSecond;
}

std::string PolygonHead() {
    return "Start Polygon\r\n"
           "Lat and Lon are in decimal degrees, alt in meters\r\n"
           "Vertex          Lat             Lon             Alt\r\n";
}

std::string PolygonVertexRow(const PolygonVertex& v) {
    return platform::Format("%-6d          %-12.7lf    %-12.7lf    %-10.3lf\r\n", v.iVertex, v.dLat,
                            v.dLon, static_cast<double>(v.fAlt));
}

std::string PolygonTail(double squareMetres) {
    return platform::Format("Total area:     %27.6lf  hectares\r\n",
                            squareMetres * kHectaresPerSquareMetre) +
           platform::Format("                %27.6lf  acres\r\n",
                            squareMetres * kAcresPerSquareMetre) +
           "End Polygon\r\n" + std::string(58, '*') + "\r\n";
}

CLOGS_5::CLOGS_5() : CLogsFrame(Logs5DialogTemplate(), SCR_LOGS_5, kPolygonLogFile) {
    DDX_Text(IDC_LOGS5_AREA, m_strArea);
    OnControl(IDC_LOGS5_START, ui::BN_CLICKED, [this] { OnStartPolygon(); });
    OnControl(IDC_LOGS5_CLOSE, ui::BN_CLICKED, [this] { OnClosePolygon(); });
    OnControl(IDC_LOGS5_UNITS, ui::CBN_SELCHANGE, [this] { OnUnitsChange(); });
}

// A polygon still open is finished as "Close Polygon" would, so its file ends whole.
CLOGS_5::~CLOGS_5() {
    if (bPolygonOpen) OnClosePolygon();
}

void CLOGS_5::FillControls() {
    FillRecent(IDC_LOGS_FILE, RECENT_POLYGON_LOG);
    ResetContent(IDC_LOGS5_UNITS);
    AddString(IDC_LOGS5_UNITS, "Acres");
    AddString(IDC_LOGS5_UNITS, "Hectares");
    SetCurSel(IDC_LOGS5_UNITS, App().iAreaUnits.load() == 0 ? 0 : 1);
    ShowPolygonState();
    UpdateData(ui::FALSE);
}

void CLOGS_5::ShowPolygonState() {
    SetDlgItemText(IDC_LOGS5_START, bPolygonOpen ? "Log Point" : "Start Polygon");
}

void CLOGS_5::OnStartPolygon() {
    bool fix = true;
    {
        const NavInfo& nav = g_GPS.Info.Nav;
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        fix = nav.usNavMode != 0 || nav.iFixQuality != 0;
    }
    if (!fix) {
        ShowMessage("Tessaray_PC: No valid GPS position available yet! Try later.");
        return;
    }
    if (!bPolygonOpen) {
        if (!OpenPolygonFile()) return;
        bPolygonOpen = 1;
        SetOpenPolygonFile(m_strPolygonFile);
        ShowPolygonState();
        return;
    }
    if (iNextVertex > kMaxPolygonVertices) {
        ShowMessage(platform::Format(
            "A polygon has at most %d vertices.\nPress \"Close Polygon\" to finish it.",
            kMaxPolygonVertices));
        return;
    }
    AddVertex();
}

bool CLOGS_5::OpenPolygonFile() {
    try {
        const std::optional<std::string> name = TakeFileName();
        if (!name) return false;
        RememberRecent(IDC_LOGS_FILE, RECENT_POLYGON_LOG);
        App().SetLogFile(LOGFILE_POLYGON, *name);
        if (!PrepareLogFile(*name)) return false;
        std::string error;
        if (!m_PolygonFile.Open(*name, true, &error)) throw std::runtime_error(error);
        m_strPolygonFile = *name;
        iNextVertex = 1;
        if (!WriteOrReport(PolygonHead()) || !AddVertex()) {
            m_PolygonFile.Close(nullptr);
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        platform::Trace("%s%s\n", kPolygonHeadTrace, e.what());
        m_PolygonFile.Close(nullptr);
        ShowMessage(std::string("The polygon could not be started:\n") + e.what());
        return false;
    }
}

bool CLOGS_5::AddVertex() {
    const LoggedPosition pos = TakeLoggedPosition();
    PolygonVertex& v = m_Vertices[static_cast<size_t>(iNextVertex)];
    v = PolygonVertex{iNextVertex, pos.dLat, pos.dLon, static_cast<float>(pos.dAlt)};
    ++iNextVertex;
    return WriteOrReport(PolygonVertexRow(v));
}

bool CLOGS_5::WriteOrReport(const std::string& text) {
    std::string error;
    if (m_PolygonFile.Write(text, &error) && m_PolygonFile.Flush(&error)) return true;
    platform::Trace("Tessaray_PC: polygon file: %s\n", error.c_str());
    ShowMessage("The polygon file could not be written:\n" + error);
    return false;
}

void CLOGS_5::OnClosePolygon() {
    if (!bPolygonOpen) return;
    bPolygonOpen = 0;
    ShowPolygonState();
    m_Vertices[static_cast<size_t>(iNextVertex)] = m_Vertices[1];
    iVertexCount = iNextVertex - 1;
    iNextVertex = 1;
    ComputeArea();
    WriteOrReport(PolygonTail(ArcSec2ToSquareMetres(dPolygonArea)));
    std::string error;
    if (!m_PolygonFile.Close(&error))
        platform::Trace("Tessaray_PC: polygon file: %s\n", error.c_str());
    SetOpenPolygonFile("");
}

void CLOGS_5::ComputeArea() {
    const auto first = m_Vertices.begin() + 1;
    dPolygonArea = PolygonAreaArcSec2(std::vector<PolygonVertex>(first, first + iVertexCount));
    ShowArea();
}

void CLOGS_5::ShowArea() {
    m_strArea = platform::Format("%.6lf", DisplayedArea(ArcSec2ToSquareMetres(dPolygonArea)));
    UpdateData(ui::FALSE);
}

void CLOGS_5::OnUnitsChange() {
    const int sel = GetCurSel(IDC_LOGS5_UNITS);
    if (sel != 0 && sel != 1) return;
    App().iAreaUnits.store(sel);
    ShowArea();
}
