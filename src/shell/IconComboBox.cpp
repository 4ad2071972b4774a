#include "shell/IconComboBox.h"

#include <QImageReader>
#include <QSignalBlocker>

#include "platform/trace.h"

namespace {

// The internal errors name the places of the original source, so traces stay comparable.
void InternalError(int line) {
    platform::TraceInternalError("IconComboBox.cpp", line);
}

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

int CIconComboBox::AddIcon(unsigned iconId) {
    if (!control_ || iconId > 0x7FFFFFFFu) return -1;
    return control_->AddIcon(static_cast<int>(iconId));
}

int CIconComboBox::AddIcon(const std::string& path) {
    return InsertIcon(-1, path);
}

int CIconComboBox::InsertIcon(int index, const std::string& path) {
    if (!control_) return -1;
    QImageReader reader(Q(path));
    const QImage image = reader.read();
    if (image.isNull()) return -1;
    QSignalBlocker block(control_.data());
    const int count = control_->count();
    const int at = index < 0 || index > count ? count : index;
    control_->insertItem(at, QIcon(QPixmap::fromImage(image)), QString(), 0);
    control_->setItemData(at, Q(path), Qt::AccessibleTextRole);
    return at;
}

std::string CIconComboBox::GetText(int index) const {
    if (!control_ || index < 0 || index >= control_->count()) return {};
    return control_->itemData(index, Qt::AccessibleTextRole).toString().toStdString();
}

int CIconComboBox::GetCount() const {
    return control_ ? control_->count() : 0;
}

int CIconComboBox::GetCurSel() const {
    return control_ ? control_->currentIndex() : -1;
}

int CIconComboBox::FindExact(const std::string& text) const {
    return control_ ? control_->findData(Q(text), Qt::AccessibleTextRole, Qt::MatchFixedString)
                    : -1;
}

void CIconComboBox::SelectIcon(int index) {
    if (!control_) return;
    QSignalBlocker block(control_.data());
    control_->setCurrentIndex(index >= 0 && index < control_->count() ? index : -1);
}

void CIconComboBox::SelectIcon(const std::string& text) {
    if (control_) control_->SelectByText(text);
}

void CIconComboBox::DeleteIcon(int index) {
    if (!control_ || index < 0 || index >= control_->count()) return;
    QSignalBlocker block(control_.data());
    control_->removeItem(index);
}

void CIconComboBox::DeleteIcon(const std::string& text) {
    DeleteIcon(FindExact(text));
}

int CIconComboBox::AddString(const std::string&) {
    InternalError(112);
    return -1;
}

int CIconComboBox::InsertString(int, const std::string&) {
    InternalError(118);
    return -1;
}

int CIconComboBox::Dir(const std::string&) {
    InternalError(124);
    return -1;
}
