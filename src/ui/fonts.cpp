#include "ui/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace ui {

namespace {

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
    font.setPointSize(pointSize > 0 ? pointSize : 8);
    if (bold || face.ends_with(" Bold")) font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont DialogFont() {
    return MakeFont("Tahoma", 8);
}

void InstallFontSubstitutes() {
    for (const char* face : {"Tahoma", "MS Shell Dlg", "MS Sans Serif"})
        QFont::insertSubstitution(QString::fromLatin1(face), NarrowSans());
}

QString PictureFamily() {
    return NarrowSans();
}

}  // namespace ui
