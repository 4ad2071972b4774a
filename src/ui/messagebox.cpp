#include "ui/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <array>

#include "ui/dialog.h"

namespace ui {

namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

struct ButtonDef {
    int result;
    const char* text;
};

std::vector<ButtonDef> ButtonsOf(unsigned type) {
    switch (type & 0xF) {
        case MB_OKCANCEL:
            return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
        case MB_ABORTRETRYIGNORE:
            return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
        case MB_YESNOCANCEL:
            return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
        case MB_YESNO:
            return {{IDYES, "&Yes"}, {IDNO, "&No"}};
        case MB_RETRYCANCEL:
            return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
        default:
            return {{IDOK, "OK"}};
    }
}

}  // namespace

int CancelAnswer(unsigned type) {
    switch (type & 0xF) {
        case MB_OKCANCEL:
        case MB_YESNOCANCEL:
        case MB_RETRYCANCEL:
            return IDCANCEL;
        case MB_YESNO:
            return IDNO;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        default:
            return IDOK;
    }
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

int MessageBox(std::string_view text, unsigned type) {
    const std::string s(text);
    if (Hook()) return Hook()(s, type);

    QMessageBox box(Host::Existing());
    box.setWindowTitle(QString::fromLatin1(kMessageBoxCaption));
    box.setText(QString::fromStdString(s));
    box.setTextFormat(Qt::PlainText);
    switch (type & 0xF0) {
        case MB_ICONSTOP:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONEXCLAMATION:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONINFORMATION:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    const auto defs = ButtonsOf(type);
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    for (const auto& d : defs) {
        auto* b = box.addButton(QString::fromLatin1(d.text), QMessageBox::ActionRole);
        buttons.emplace_back(b, d.result);
    }
    box.setDefaultButton(static_cast<QPushButton*>(buttons.front().first));
    const int cancel = CancelAnswer(type);
    for (const auto& [b, r] : buttons)
        // Boxes with no cancelling button cannot be dismissed without a choice.
        if (r == cancel && (type & 0xF) != MB_ABORTRETRYIGNORE && (type & 0xF) != MB_YESNO)
            box.setEscapeButton(b);
    box.exec();
    for (const auto& [b, r] : buttons)
        if (box.clickedButton() == b) return r;
    return cancel;
}

MessageBoxRecorder::MessageBoxRecorder() {
    previous_ = SetMessageBoxHook([this](const std::string& text, unsigned type) {
        int answer = ButtonsOf(type).front().result;
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.erase(answers_.begin());
        }
        shown_.push_back({text, type, answer});
        return answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    SetMessageBoxHook(std::move(previous_));
}

std::vector<std::string> MessageBoxRecorder::texts() const {
    std::vector<std::string> out;
    for (const auto& s : shown_) out.push_back(s.text);
    return out;
}

}  // namespace ui
