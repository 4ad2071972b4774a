#include "ui/settings.h"

#include <QSettings>
#include <QString>
#include <charconv>

namespace ui {

namespace {

QString Key(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

QSettings Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Varnholt GPS"),
                     QStringLiteral("Tessaray"));
}

bool Flush(QSettings& s) {
    s.sync();
    return s.status() == QSettings::NoError && s.isWritable();
}

}  // namespace

std::optional<int> Settings::ReadInt(std::string_view key) {
    QSettings s = Store();
    const QVariant v = s.value(Key(key));
    if (!v.isValid()) return std::nullopt;
    const std::string text = v.toString().trimmed().toStdString();
    int value = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || p != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

int Settings::GetInt(std::string_view key, int fallback) {
    return ReadInt(key).value_or(fallback);
}

bool Settings::SetInt(std::string_view key, int value) {
    QSettings s = Store();
    s.setValue(Key(key), value);
    return Flush(s);
}

bool Settings::SetString(std::string_view key, std::string_view value) {
    QSettings s = Store();
    s.setValue(Key(key), QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    return Flush(s);
}

bool Settings::Remove(std::string_view key) {
    QSettings s = Store();
    s.remove(Key(key));
    return Flush(s);
}

std::string Settings::Location() {
    return Store().fileName().toStdString();
}

}  // namespace ui
