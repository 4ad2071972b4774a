#include "ui/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>
#include <cmath>

namespace ui {

namespace {

// Pixel size of the dialog font when the window was made for one given in pixels, else 0.
int g_dialogPixels = 0;

bool Installed(const QString& family) {
    return QFontDatabase::families().contains(family);
}

QString NarrowSans() {
    // Condensed metrics are close to the original face's, so texts fit the rectangles they
    // were laid out for and the window keeps its proportions.
    static const QString family = [] {
        for (const char* f : {"DejaVu Sans Condensed", "DejaVu Sans", "Liberation Sans"}) {
            if (Installed(QString::fromLatin1(f))) return QString::fromLatin1(f);
        }
        return QString::fromLatin1("Sans Serif");
    }();
    return family;
}

}  // namespace

QString SubstituteFamily(std::string_view face) {
    QString name = QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()));
    if (name.endsWith(QLatin1String(" Bold"))) name.chop(5);
    if (name.compare(QLatin1String("Tahoma"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("MS Shell Dlg"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0 || name.isEmpty())
        return NarrowSans();
    return Installed(name) ? name : NarrowSans();
}

QFont MakeFont(std::string_view face, int pointSize, bool bold) {
    QFont font(SubstituteFamily(face));
    const int points = pointSize > 0 ? pointSize : 8;
    // Sizes are relative to the 8-point dialog font; one given in pixels takes them along, as
    // a larger desktop resolution takes point sizes along.
    if (g_dialogPixels > 0)
        font.setPixelSize(
            std::max(1, static_cast<int>(std::lround(g_dialogPixels * points / 8.0))));
    else
        font.setPointSize(points);
    if (bold || face.ends_with(" Bold")) font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont DialogFont() {
    return MakeFont("Tahoma", 8);
}

void UseDialogFont(const QFont& font) {
    g_dialogPixels = font.pixelSize() > 0 ? font.pixelSize() : 0;
    QApplication::setFont(font);
}

void ScaleWithDialogFont() {
    if (!qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING"))
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
}

void InstallFontSubstitutes() {
    for (const char* face : {"Tahoma", "MS Shell Dlg", "MS Sans Serif"})
        QFont::insertSubstitution(QString::fromLatin1(face), NarrowSans());
}

QString PictureFamily() {
    return NarrowSans();
}

}  // namespace ui
