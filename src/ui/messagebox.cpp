#include "ui/messagebox.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <array>
#include <memory>
#include <optional>

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

namespace {

// A box with the system's caption, icon and buttons; the answer of each button.
std::vector<std::pair<QAbstractButton*, int>> Configure(QMessageBox& box, const std::string& text,
                                                        unsigned type) {
    box.setWindowTitle(QString::fromLatin1(kMessageBoxCaption));
    box.setText(QString::fromStdString(text));
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
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    for (const auto& d : ButtonsOf(type)) {
        auto* b = box.addButton(QString::fromLatin1(d.text), QMessageBox::ActionRole);
        buttons.emplace_back(b, d.result);
    }
    box.setDefaultButton(static_cast<QPushButton*>(buttons.front().first));
    const int cancel = CancelAnswer(type);
    for (const auto& [b, r] : buttons)
        // Boxes with no cancelling button cannot be dismissed without a choice.
        if (r == cancel && (type & 0xF) != MB_ABORTRETRYIGNORE && (type & 0xF) != MB_YESNO)
            box.setEscapeButton(b);
    return buttons;
}

int AnswerOf(const QMessageBox& box, const std::vector<std::pair<QAbstractButton*, int>>& buttons,
             unsigned type) {
    for (const auto& [b, r] : buttons)
        if (box.clickedButton() == b) return r;
    return CancelAnswer(type);
}

}  // namespace

int MessageBox(std::string_view text, unsigned type) {
    const std::string s(text);
    if (Hook()) {
        // A hook may answer at once or later; until then the box's own loop runs.
        auto answer = std::make_shared<std::optional<int>>();
        auto loop = std::make_shared<QEventLoop>();
        Hook()(s, type, [answer, weak = std::weak_ptr<QEventLoop>(loop)](int result) {
            *answer = result;
            if (auto l = weak.lock()) l->quit();
        });
        if (!*answer) loop->exec();
        return answer->value_or(CancelAnswer(type));
    }
    QMessageBox box(Host::Existing());
    const auto buttons = Configure(box, s, type);
    box.exec();
    return AnswerOf(box, buttons, type);
}

void OpenMessageBox(std::string_view text, unsigned type, std::function<void(int)> answered) {
    const std::string s(text);
    if (Hook()) return Hook()(s, type, std::move(answered));
    auto* box = new QMessageBox(Host::Existing());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    const auto buttons = Configure(*box, s, type);
    QObject::connect(box, &QDialog::finished, box, [box, buttons, type, answered] {
        if (answered) answered(AnswerOf(*box, buttons, type));
    });
    box->show();
}

MessageBoxRecorder::MessageBoxRecorder() {
    previous_ = SetMessageBoxHook(
        [this](const std::string& text, unsigned type, const std::function<void(int)>& reply) {
            int answer = ButtonsOf(type).front().result;
            if (!answers_.empty()) {
                answer = answers_.front();
                answers_.erase(answers_.begin());
            }
            shown_.push_back({text, type, answer});
            if (reply) reply(answer);
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
