#include "ui/controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <vector>

#include "ui/pictures.h"

namespace ui {

namespace {

constexpr const char* kBaseLayerProperty = "tessarayBaseLayer";

QString FromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Buttons that treat the second press of a double click as nothing, so a double click is
// one click.
template <class Base>
class SinglePress : public Base {
public:
    using Base::Base;
    std::function<void()> onLeftUp;

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override { e->accept(); }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (onLeftUp && e->button() == Qt::LeftButton && this->isEnabled() &&
            this->rect().contains(e->position().toPoint()))
            onLeftUp();
        Base::mouseReleaseEvent(e);
    }
};

using PushButton = SinglePress<QPushButton>;
using CheckBox = SinglePress<QCheckBox>;
using RadioButton = SinglePress<QRadioButton>;

// A static text that may report clicks.
class Label : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (onClick && e->button() == Qt::LeftButton) {
            e->accept();
            onClick();
            return;
        }
        QLabel::mousePressEvent(e);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override { e->accept(); }
};

// The framed area below a tab strip.
class TabPane : public QWidget {
public:
    explicit TabPane(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(206, 210, 216), 1));
        p.setBrush(QColor(255, 255, 255));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
};

// A row of tabs that always fits its strip: spare width is shared out so the row spans the
// strip, and a strip too narrow for its labels first gives up padding, then elides. It is
// drawn here rather than by the style so the look does not depend on the desktop's theme.
class TabStrip : public QTabBar {
public:
    explicit TabStrip(QWidget* parent) : QTabBar(parent) {
        setDrawBase(false);
        setExpanding(false);
        setUsesScrollButtons(false);
        setElideMode(Qt::ElideRight);
        setMouseTracking(true);
    }

    int NaturalHeight() const {
        const int fh = fontMetrics().height();
        return fh + std::max(6, fh / 2);
    }

protected:
    QSize tabSizeHint(int index) const override {
        const std::vector<int> widths = FittedWidths();
        const int w = index >= 0 && index < static_cast<int>(widths.size()) ? widths[index] : 0;
        return QSize(w, std::max(NaturalHeight(), height()));
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }

    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QFontMetrics fm = fontMetrics();
        for (int i = 0; i < count(); ++i) {
            const bool selected = i == currentIndex();
            const QRectF box = QRectF(tabRect(i)).adjusted(0.5, 0.5, -1.5, 0);
            QPainterPath path;
            const qreal radius = 4;
            path.moveTo(box.bottomLeft());
            path.lineTo(box.left(), box.top() + radius);
            path.quadTo(box.topLeft(), QPointF(box.left() + radius, box.top()));
            path.lineTo(box.right() - radius, box.top());
            path.quadTo(box.topRight(), QPointF(box.right(), box.top() + radius));
            path.lineTo(box.bottomRight());
            QColor fill(226, 229, 234);
            if (selected)
                fill = Qt::white;
            else if (i == hover_ && isTabEnabled(i))
                fill = QColor(238, 240, 244);
            p.setPen(QPen(QColor(200, 204, 211), 1));
            p.setBrush(fill);
            p.drawPath(path);
            if (selected) {
                p.setPen(
                    QPen(QColor(kOrange.r, kOrange.g, kOrange.b), 2, Qt::SolidLine, Qt::FlatCap));
                p.drawLine(QPointF(box.left() + radius - 1, box.top() + 0.5),
                           QPointF(box.right() - radius + 1, box.top() + 0.5));
            }
            QColor ink =
                selected ? QColor(kDarkBlue.r, kDarkBlue.g, kDarkBlue.b) : QColor(60, 64, 72);
            if (!isTabEnabled(i)) ink = QColor(150, 154, 160);
            p.setPen(ink);
            const QRect textBox = tabRect(i).adjusted(kMinPad, 1, -kMinPad - 1, 0);
            p.drawText(textBox, Qt::AlignCenter,
                       fm.elidedText(tabText(i), Qt::ElideRight, textBox.width()));
        }
    }

    void mouseMoveEvent(QMouseEvent* e) override {
        SetHover(tabAt(e->position().toPoint()));
        QTabBar::mouseMoveEvent(e);
    }
    void leaveEvent(QEvent* e) override {
        SetHover(-1);
        QTabBar::leaveEvent(e);
    }

private:
    static constexpr int kMinPad = 3;

    void SetHover(int index) {
        if (index == hover_) return;
        hover_ = index;
        update();
    }

    std::vector<int> FittedWidths() const {
        const QFontMetrics fm = fontMetrics();
        const int n = count();
        std::vector<double> text(static_cast<size_t>(n));
        double textSum = 0;
        for (int i = 0; i < n; ++i) {
            text[static_cast<size_t>(i)] = fm.horizontalAdvance(tabText(i));
            textSum += text[static_cast<size_t>(i)];
        }
        const double available = std::max(0, width());
        const double pad = std::max(kMinPad + 3, fm.averageCharWidth()) + 1;
        std::vector<double> w(static_cast<size_t>(n));
        if (n == 0) return {};
        if (textSum + 2 * pad * n <= available) {
            // Labels and their padding fit: share the spare width equally.
            const double spare = (available - textSum - 2 * pad * n) / n;
            for (size_t i = 0; i < w.size(); ++i) w[i] = text[i] + 2 * pad + spare;
        } else if (textSum + 2 * (kMinPad + 1) * n <= available) {
            const double each = (available - textSum) / n;
            for (size_t i = 0; i < w.size(); ++i) w[i] = text[i] + each;
        } else {
            // Too narrow even without padding: labels shrink in proportion and elide.
            const double room = std::max(0.0, available - 2.0 * (kMinPad + 1) * n);
            for (size_t i = 0; i < w.size(); ++i)
                w[i] = (textSum > 0 ? text[i] * room / textSum : 0) + 2 * (kMinPad + 1);
        }
        // Round so the widths add up to the strip exactly.
        std::vector<int> out(w.size());
        double edge = 0;
        int prev = 0;
        for (size_t i = 0; i < w.size(); ++i) {
            edge += w[i];
            const int next = static_cast<int>(std::lround(edge));
            out[i] = std::max(1, next - prev);
            prev = next;
        }
        return out;
    }

    int hover_ = -1;
};

void MakeTransparent(QWidget* w) {
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
}

QRect ToQRect(const Rect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// A closed combo is as high as its text needs; a template may give the dropped height.
QRect ComboGeometry(QComboBox* combo, const Rect& r) {
    const int natural = combo->sizeHint().height();
    const int h = r.Height() > natural * 2 || r.Height() <= 0 ? natural : r.Height();
    return QRect(r.left, r.top, r.Width(), h);
}

QComboBox* MakeCombo(QComboBox* combo, const ControlSpec& spec, bool editable) {
    combo->setEditable(editable);
    if (editable) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
    }
    combo->setMaxVisibleItems(12);
    for (const auto& s : spec.seed) combo->addItem(FromUtf8(s));
    if (!spec.seed.empty()) combo->setCurrentIndex(-1);
    if (editable) combo->setEditText(QString());
    return combo;
}

}  // namespace

// ---------------------------------------------------------------------------------------

Picture::Picture(int pictureId, bool icon, QWidget* parent)
    : QWidget(parent), id_(pictureId), icon_(icon) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

int Picture::SetPictureId(int id) {
    if (id == -1) return 0;
    const PictureKind kind = icon_ ? PictureKind::Icon : PictureKind::Bitmap;
    if (!Pictures::Exists(id, kind)) return 0;
    if (id != id_) {
        id_ = id;
        update();
    }
    return 1;
}

void Picture::setClickHandler(std::function<void()> handler) {
    onClick_ = std::move(handler);
    setAttribute(Qt::WA_TransparentForMouseEvents, !onClick_);
}

void Picture::setKeepRendered(bool keep) {
    keepRendered_ = keep;
    if (!keep) rendered_ = QImage();
}

void Picture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const PictureKind kind = icon_ ? PictureKind::Icon : PictureKind::Bitmap;
    if (!keepRendered_) {
        Pictures::Paint(p, QRectF(rect()), id_, kind);
        return;
    }
    // Drawn again only for another picture, size or device pixel ratio.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (rendered_.isNull() || renderedId_ != id_ || rendered_.size() != pixels ||
        rendered_.devicePixelRatio() != ratio) {
        rendered_ = Pictures::RenderSized(id_, kind, pixels);
        rendered_.setDevicePixelRatio(ratio);
        renderedId_ = id_;
    }
    p.drawImage(QPointF(0, 0), rendered_);
}

void Picture::mousePressEvent(QMouseEvent* e) {
    if (onClick_ && e->button() == Qt::LeftButton) {
        e->accept();
        onClick_();
        return;
    }
    QWidget::mousePressEvent(e);
}

void Picture::mouseDoubleClickEvent(QMouseEvent* e) {
    e->accept();
}

void Picture::setReleaseHandler(std::function<void()> handler) {
    onRelease_ = std::move(handler);
}

void Picture::mouseReleaseEvent(QMouseEvent* e) {
    if (onClick_ && onRelease_ && e->button() == Qt::LeftButton &&
        rect().contains(e->position().toPoint())) {
        e->accept();
        onRelease_();
        return;
    }
    QWidget::mouseReleaseEvent(e);
}

// ---------------------------------------------------------------------------------------

CanvasView::CanvasView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    image_ =
        QImage(std::max(1, width()), std::max(1, height()), QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
}

void CanvasView::CopyFrom(const QImage& image, const Rect& src, Point dst) {
    if (src.Width() <= 0 || src.Height() <= 0) return;
    {
        QPainter p(&image_);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(dst.x, dst.y), image, ToQRect(src));
    }
    update(QRect(dst.x, dst.y, src.Width(), src.Height()));
}

void CanvasView::Clear() {
    image_.fill(Qt::transparent);
    update();
}

void CanvasView::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.drawImage(e->rect(), image_, e->rect());
}

void CanvasView::resizeEvent(QResizeEvent*) {
    if (image_.size() == size()) return;
    QImage resized(std::max(1, width()), std::max(1, height()),
                   QImage::Format_ARGB32_Premultiplied);
    resized.fill(Qt::transparent);
    QPainter(&resized).drawImage(0, 0, image_);
    image_ = resized;
}

// ---------------------------------------------------------------------------------------

IconCombo::IconCombo(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(24, 16));
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

int IconCombo::AddIcon(int iconId) {
    if (!Pictures::Exists(iconId, PictureKind::Icon)) return -1;
    const QImage img = Pictures::RenderSized(iconId, PictureKind::Icon, QSize(48, 48));
    QSignalBlocker block(this);
    addItem(QIcon(QPixmap::fromImage(img)), QString(), iconId);
    setItemData(count() - 1, QStringLiteral("Sample"), Qt::AccessibleTextRole);
    return count() - 1;
}

int IconCombo::IconAt(int index) const {
    const QVariant v = itemData(index);
    return v.isValid() ? v.toInt() : 0;
}

void IconCombo::SelectByText(const std::string& text) {
    QSignalBlocker block(this);
    if (count() == 0) return;
    const int found = findData(FromUtf8(text), Qt::AccessibleTextRole, Qt::MatchFixedString);
    setCurrentIndex(found >= 0 ? found : 0);
}

// ---------------------------------------------------------------------------------------

int ControlId(const QWidget* control) {
    if (!control) return 0;
    const QString name = control->objectName();
    if (!name.startsWith(QLatin1String("id"))) return 0;
    bool ok = false;
    const int id = name.mid(2).toInt(&ok);
    return ok ? id : 0;
}

bool IsBaseLayer(const QWidget* control) {
    return control && control->property(kBaseLayerProperty).toBool();
}

std::vector<QWidget*> BuildControls(const std::vector<ControlSpec>& specs, QWidget* page, double sx,
                                    double sy,
                                    const std::function<void(const Notification&)>& notify) {
    std::vector<QWidget*> built;
    std::vector<QWidget*> panes;
    QButtonGroup* radioGroup = nullptr;
    auto emitter = [notify](int id, int code, int index = -1, QTreeWidgetItem* item = nullptr) {
        if (notify) notify(Notification{id, code, item, index});
    };

    for (const ControlSpec& spec : specs) {
        const Rect r = ScaleRect(spec.rect, sx, sy);
        const QString text = FromUtf8(spec.text);
        const int id = spec.id;
        QWidget* w = nullptr;

        if (spec.kind != Kind::Radio && (spec.flags & Flag::Group)) radioGroup = nullptr;

        switch (spec.kind) {
            case Kind::Static: {
                auto* label = new Label(text, page);
                Qt::Alignment align = Qt::AlignTop | Qt::AlignLeft;
                if (spec.flags & Flag::Center) align = Qt::AlignTop | Qt::AlignHCenter;
                if (spec.flags & Flag::Right) align = Qt::AlignTop | Qt::AlignRight;
                label->setAlignment(align);
                label->setWordWrap(!(spec.flags & Flag::NoWrap));
                label->setTextFormat(Qt::PlainText);
                if (spec.flags & Flag::Border) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                if (spec.flags & Flag::Bold) {
                    QFont f = label->font();
                    f.setBold(true);
                    label->setFont(f);
                }
                if (spec.flags & Flag::Notify)
                    label->onClick = [emitter, id] { emitter(id, STN_CLICKED); };
                else
                    MakeTransparent(label);
                w = label;
                break;
            }
            case Kind::Picture: {
                auto* pic = new Picture(spec.picture, (spec.flags & Flag::Icon) != 0, page);
                if (spec.flags & Flag::Notify) {
                    pic->setClickHandler([emitter, id] { emitter(id, STN_CLICKED); });
                    pic->setReleaseHandler([emitter, id] { emitter(id, BN_LBUTTONUP); });
                }
                if (id == 1000 || (spec.rect.w >= 370 && spec.rect.h >= 510))
                    pic->setProperty(kBaseLayerProperty, true);
                w = pic;
                break;
            }
            case Kind::Button: {
                auto* b = new PushButton(text, page);
                b->onLeftUp = [emitter, id] { emitter(id, BN_LBUTTONUP); };
                b->setAutoDefault(false);
                b->setDefault(false);
                QObject::connect(b, &QAbstractButton::clicked, b,
                                 [emitter, id] { emitter(id, BN_CLICKED); });
                w = b;
                break;
            }
            case Kind::CheckBox: {
                auto* b = new CheckBox(text, page);
                b->onLeftUp = [emitter, id] { emitter(id, BN_LBUTTONUP); };
                QObject::connect(b, &QAbstractButton::clicked, b,
                                 [emitter, id] { emitter(id, BN_CLICKED); });
                w = b;
                break;
            }
            case Kind::Radio: {
                auto* b = new RadioButton(text, page);
                b->onLeftUp = [emitter, id] { emitter(id, BN_LBUTTONUP); };
                b->setAutoExclusive(false);
                if ((spec.flags & Flag::Group) || !radioGroup) {
                    radioGroup = new QButtonGroup(page);
                    radioGroup->setExclusive(true);
                }
                radioGroup->addButton(b);
                QObject::connect(b, &QAbstractButton::clicked, b,
                                 [emitter, id] { emitter(id, BN_CLICKED); });
                w = b;
                break;
            }
            case Kind::GroupBox: {
                auto* g = new QGroupBox(text, page);
                MakeTransparent(g);
                w = g;
                break;
            }
            case Kind::Edit:
            case Kind::RichEdit: {
                if (spec.kind == Kind::RichEdit || (spec.flags & Flag::Multiline)) {
                    auto* e = new QPlainTextEdit(page);
                    e->setPlainText(text);
                    e->setReadOnly(spec.flags & Flag::ReadOnly);
                    e->setLineWrapMode(spec.kind == Kind::RichEdit ? QPlainTextEdit::NoWrap
                                                                   : QPlainTextEdit::WidgetWidth);
                    // Code that sets the text blocks the widget's signals first.
                    QObject::connect(e, &QPlainTextEdit::textChanged, e,
                                     [emitter, id] { emitter(id, EN_CHANGE); });
                    w = e;
                } else {
                    auto* e = new QLineEdit(text, page);
                    e->setReadOnly(spec.flags & Flag::ReadOnly);
                    if (spec.flags & Flag::Password) e->setEchoMode(QLineEdit::Password);
                    if (spec.flags & Flag::Center) e->setAlignment(Qt::AlignHCenter);
                    if (spec.flags & Flag::Right) e->setAlignment(Qt::AlignRight);
                    QObject::connect(e, &QLineEdit::textEdited, e,
                                     [emitter, id] { emitter(id, EN_CHANGE); });
                    w = e;
                }
                break;
            }
            case Kind::ComboDropDown:
            case Kind::ComboDropList: {
                auto* c = MakeCombo(new QComboBox(page), spec, spec.kind == Kind::ComboDropDown);
                QObject::connect(c, &QComboBox::activated, c,
                                 [emitter, id](int index) { emitter(id, CBN_SELCHANGE, index); });
                if (c->lineEdit())
                    QObject::connect(c->lineEdit(), &QLineEdit::textEdited, c,
                                     [emitter, id] { emitter(id, CBN_EDITCHANGE); });
                c->setGeometry(ComboGeometry(c, r));
                w = c;
                break;
            }
            case Kind::IconCombo: {
                auto* c = new IconCombo(page);
                QObject::connect(c, &QComboBox::activated, c,
                                 [emitter, id](int index) { emitter(id, CBN_SELCHANGE, index); });
                c->setGeometry(ComboGeometry(c, r));
                w = c;
                break;
            }
            case Kind::Tab: {
                auto* bar = new TabStrip(page);
                QObject::connect(bar, &QTabBar::currentChanged, bar,
                                 [emitter, id](int index) { emitter(id, TCN_SELCHANGE, index); });
                // A template strip that is only the row of tabs is filled by it; a taller one
                // has its pane below the row.
                const int natural = bar->NaturalHeight();
                const int h = r.Height() < 2 * natural ? std::max(natural, r.Height()) : natural;
                auto* pane = new TabPane(page);
                pane->setObjectName(QStringLiteral("id%1pane").arg(id));
                pane->setProperty(kBaseLayerProperty, true);
                pane->setGeometry(r.left, r.top + h - 1, r.Width(),
                                  std::max(0, r.Height() - h + 1));
                if (spec.flags & Flag::Hidden) pane->hide();
                panes.push_back(pane);
                bar->setGeometry(r.left, r.top, r.Width(), h);
                w = bar;
                break;
            }
            case Kind::ListBox: {
                auto* l = new QListWidget(page);
                for (const auto& s : spec.seed) l->addItem(FromUtf8(s));
                QObject::connect(l, &QListWidget::currentRowChanged, l,
                                 [emitter, id](int row) { emitter(id, LBN_SELCHANGE, row); });
                w = l;
                break;
            }
            case Kind::ListView: {
                auto* t = new QTreeWidget(page);
                t->setRootIsDecorated(false);
                t->setUniformRowHeights(true);
                t->setIconSize(QSize(16, 16));
                t->setColumnCount(0);
                t->header()->setStretchLastSection(false);
                t->setSelectionMode(QAbstractItemView::SingleSelection);
                QObject::connect(t, &QTreeWidget::itemClicked, t,
                                 [emitter, id, t](QTreeWidgetItem* item, int) {
                                     emitter(id, NM_CLICK, t->indexOfTopLevelItem(item), item);
                                 });
                QObject::connect(t, &QTreeWidget::currentItemChanged, t,
                                 [emitter, id, t](QTreeWidgetItem* item, QTreeWidgetItem*) {
                                     emitter(id, LVN_ITEMCHANGED, t->indexOfTopLevelItem(item),
                                             item);
                                 });
                w = t;
                break;
            }
            case Kind::TreeView: {
                auto* t = new QTreeWidget(page);
                t->setHeaderHidden(true);
                t->setColumnCount(1);
                t->setIconSize(QSize(16, 16));
                QObject::connect(t, &QTreeWidget::itemExpanded, t,
                                 [emitter, id](QTreeWidgetItem* item) {
                                     emitter(id, TVN_ITEMEXPANDED, -1, item);
                                 });
                QObject::connect(t, &QTreeWidget::currentItemChanged, t,
                                 [emitter, id](QTreeWidgetItem* item, QTreeWidgetItem*) {
                                     emitter(id, TVN_SELCHANGED, -1, item);
                                 });
                w = t;
                break;
            }
            case Kind::Progress: {
                auto* p = new QProgressBar(page);
                p->setTextVisible(false);
                p->setRange(0, 100);
                p->setValue(0);
                p->setOrientation((spec.flags & Flag::Vertical) ? Qt::Vertical : Qt::Horizontal);
                MakeTransparent(p);
                w = p;
                break;
            }
            case Kind::Slider: {
                auto* s = new QSlider((spec.flags & Flag::Vertical) ? Qt::Vertical : Qt::Horizontal,
                                      page);
                s->setRange(0, 100);
                w = s;
                break;
            }
            case Kind::Canvas: {
                w = new CanvasView(page);
                break;
            }
            case Kind::TextView: {
                auto* e = new QPlainTextEdit(page);
                e->setReadOnly(true);
                e->setUndoRedoEnabled(false);
                e->setLineWrapMode((spec.flags & Flag::NoWrap) ? QPlainTextEdit::NoWrap
                                                               : QPlainTextEdit::WidgetWidth);
                e->setPlainText(text);
                w = e;
                break;
            }
        }

        w->setObjectName(QStringLiteral("id%1").arg(id));
        if (!qobject_cast<QComboBox*>(w) && !qobject_cast<QTabBar*>(w)) w->setGeometry(ToQRect(r));
        if (spec.flags & Flag::Hidden) w->hide();
        if (spec.flags & Flag::Disabled) w->setEnabled(false);
        built.push_back(w);
    }

    // The first control of a template lies on top; tab order follows the template.
    for (auto it = built.rbegin(); it != built.rend(); ++it) (*it)->raise();
    for (size_t i = 1; i < built.size(); ++i) QWidget::setTabOrder(built[i - 1], built[i]);
    for (QWidget* pane : panes) pane->lower();
    for (QWidget* w : built)
        if (IsBaseLayer(w)) w->lower();
    return built;
}

}  // namespace ui
