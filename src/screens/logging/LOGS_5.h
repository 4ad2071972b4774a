#pragma once
// The polygon log screen: a corner of an area at each press, written to a text file kept
// open while the polygon is recorded; "Close Polygon" closes the ring and writes its area in
// hectares and acres.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/textfile.h"
#include "screens/logging/logs_frame.h"

enum : int {
    IDC_LOGS5_START = 1054,
    IDC_LOGS5_CLOSE = 1170,
    IDC_LOGS5_AREA = 1051,
    IDC_LOGS5_UNITS = 1053,
};

struct PolygonVertex {
    int32_t iVertex;
    double dLat;  // decimal degrees, north positive
    double dLon;  // decimal degrees, east positive
    float fAlt;   // metres
};

// Records 1 .. 100; the closing copy of vertex 1 takes the record after the last vertex.
inline constexpr int kPolygonRecords = 100;
inline constexpr int kMaxPolygonVertices = kPolygonRecords - 1;

inline constexpr double kMetresPerArcSecond = 30.86660277777778;
inline constexpr double kHectaresPerSquareMetre = 0.0001;
inline constexpr double kAcresPerSquareMetre = 0.0002471;

// The enclosed area in arc-seconds squared of a ring of vertices (the first not repeated):
// longitudes relative to the first vertex, unwrapped into ±180° and scaled by the cosine of
// the mean latitude, so an arc-second on both axes is the same length on the ground.
double PolygonAreaArcSec2(const std::vector<PolygonVertex>& ring);
double ArcSec2ToSquareMetres(double arcSec2);

// Lines of the polygon file.
std::string PolygonHead();
std::string PolygonVertexRow(const PolygonVertex& v);
std::string PolygonTail(double squareMetres);

class CLOGS_5 : public CLogsFrame {
public:
    CLOGS_5();
    ~CLOGS_5() override;

    void OnStartPolygon();
    void OnClosePolygon();
    void OnUnitsChange();

    int32_t bPolygonOpen = 0;
    int32_t iNextVertex = 1;
    int32_t iVertexCount = 0;
    double dPolygonArea = 0.0;
    std::string m_strArea;

protected:
    void FillControls() override;

private:
    bool OpenPolygonFile();
    bool AddVertex();
    void ComputeArea();
    void ShowArea();
    void ShowPolygonState();
    bool WriteOrReport(const std::string& text);

    std::array<PolygonVertex, kPolygonRecords + 1> m_Vertices{};  // [0] unused
    platform::RawFileWriter m_PolygonFile;
    std::string m_strPolygonFile;
};
