#include "zcolorbar.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <cstdlib>
#include <cstring>

namespace {

const QSize CurrentSwatchSize(28, 16);
const QSize StripSwatchSize(14, 14);
const QSize StripButtonSize(20, 20);
const char IndexProperty[] = "paletteIndex";

} // namespace

ZColorBar::ZColorBar(QWidget *parent)
    : QToolBar(parent)
    , m_foregroundLabel(new QLabel(QStringLiteral("前景色"), this))
    , m_foregroundSwatch(new QLabel(this))
    , m_backgroundLabel(new QLabel(QStringLiteral("背景色"), this))
    , m_backgroundSwatch(new QLabel(this))
{
    setObjectName(QStringLiteral("ZColorBar"));
    setWindowTitle(QStringLiteral("颜色"));
    m_foregroundSwatch->setObjectName(QStringLiteral("foregroundSwatch"));
    m_backgroundSwatch->setObjectName(QStringLiteral("backgroundSwatch"));
    for (QLabel *label : {m_foregroundLabel, m_backgroundLabel})
        label->setContentsMargins(4, 0, 2, 0);
    for (QLabel *swatch : {m_foregroundSwatch, m_backgroundSwatch}) {
        swatch->setFixedSize(CurrentSwatchSize);
        swatch->setContentsMargins(0, 0, 0, 0);
    }

    addWidget(m_foregroundLabel);
    addWidget(m_foregroundSwatch);
    m_backgroundLabelAction = addWidget(m_backgroundLabel);
    m_backgroundSwatchAction = addWidget(m_backgroundSwatch);
    addSeparator();

    SetPara(QStringList(), nullptr, 1);
}

void ZColorBar::SetPara(const QStringList &labels, ZPalette *palette, int mode)
{
    m_foregroundLabel->setText(labels.value(0, QStringLiteral("前景色")));
    m_backgroundLabel->setText(labels.value(1, QStringLiteral("背景色")));
    m_mode = mode;
    m_backgroundLabelAction->setVisible(mode == 1);
    m_backgroundSwatchAction->setVisible(mode == 1);

    // A copy, because the main window frees and replaces its palette when it reloads.
    ZPalette *source = palette ? palette : createDefaultPalette();
    std::memset(&m_palette, 0, sizeof(m_palette));
    if (source) {
        m_palette.count = qBound(0, source->count, ZPaletteMaxColours);
        std::memcpy(m_palette.entries, source->entries, sizeof(RGB_COLOR) * size_t(m_palette.count));
    }
    if (source != palette)
        std::free(source);

    rebuildStrip();
    frush();
}

void ZColorBar::frush()
{
    m_foregroundSwatch->setPixmap(swatchPixmap(m_foreground, CurrentSwatchSize));
    m_foregroundSwatch->setToolTip(m_foregroundLabel->text() + QStringLiteral("：") + describe(m_foreground));
    m_backgroundSwatch->setPixmap(swatchPixmap(m_background, CurrentSwatchSize));
    m_backgroundSwatch->setToolTip(m_backgroundLabel->text() + QStringLiteral("：") + describe(m_background));
}

QColor ZColorBar::colorOf(int index) const
{
    return paletteColour(&m_palette, index);
}

bool ZColorBar::eventFilter(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<QToolButton *>(watched);
    if (!button || !button->property(IndexProperty).isValid())
        return QToolBar::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // The button itself only knows left clicks; a right press must not reach the bar.
        return static_cast<QMouseEvent *>(event)->button() == Qt::RightButton;
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::RightButton)
            return false;
        if (button->rect().contains(mouse->pos()))
            pick(button->property(IndexProperty).toInt(), Qt::RightButton);
        return true;
    }
    case QEvent::ContextMenu:
        // A right click picks the background; the main window's tool bar menu stays away.
        return true;
    default: return false;
    }
}

void ZColorBar::rebuildStrip()
{
    qDeleteAll(m_stripActions);
    m_stripActions.clear();

    auto addSwatch = [this](int index, const QString &name, const QString &toolTip) {
        auto *button = new QToolButton(this);
        button->setObjectName(name);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        // Inside a tool bar a QToolButton paints at the bar's icon size; a fixed size keeps
        // the strip compact, and the 14-pixel swatch is drawn centred.
        button->setIconSize(StripSwatchSize);
        button->setFixedSize(StripButtonSize);
        button->setIcon(QIcon(swatchPixmap(index, StripSwatchSize)));
        button->setToolTip(toolTip);
        button->setProperty(IndexProperty, index);
        button->installEventFilter(this);
        connect(button, &QToolButton::clicked, this, [this, index] { pick(index, Qt::LeftButton); });
        m_stripActions.append(addWidget(button));
    };

    addSwatch(-1, QStringLiteral("noneSwatch"), QStringLiteral("无\n右键：背景色设为无"));
    for (int i = 0; i < m_palette.count; ++i) {
        addSwatch(
            i, QStringLiteral("paletteSwatch%1").arg(i), describe(i) + QStringLiteral("\n左键：前景色　右键：背景色"));
    }
}

void ZColorBar::pick(int index, Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        // "None" is a background only: lines and texts always have a colour.
        if (index < 0)
            return;
        m_foreground = index;
    } else {
        if (m_mode != 1)
            return;
        m_background = index;
    }
    frush();
    emit colorChanged();
}

QPixmap ZColorBar::swatchPixmap(int index, const QSize &size) const
{
    QPixmap pixmap(size);
    const QColor colour = colorOf(index);
    pixmap.fill(colour.isValid() ? colour : QColor(Qt::white));
    QPainter painter(&pixmap);
    const QRect frame = pixmap.rect().adjusted(0, 0, -1, -1);
    if (!colour.isValid()) {
        // The usual "no fill" sign: a red diagonal on white.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(220, 0, 0), 1.5));
        painter.drawLine(QPointF(frame.bottomLeft()), QPointF(frame.topRight()));
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    painter.setPen(QColor(96, 96, 96));
    painter.drawRect(frame);
    return pixmap;
}

QString ZColorBar::describe(int index) const
{
    const QColor colour = colorOf(index);
    if (!colour.isValid())
        return QStringLiteral("无");
    QString text = QStringLiteral("索引 %1").arg(index);
    if (index < 0 || index >= m_palette.count)
        text += QStringLiteral("（不在调色板内）");
    return text
        + QStringLiteral("  RGB(%1, %2, %3)  %4")
              .arg(colour.red())
              .arg(colour.green())
              .arg(colour.blue())
              .arg(colour.name().toUpper());
}
