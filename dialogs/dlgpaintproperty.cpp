#include "dlgpaintproperty.h"

#include "drawingdefaults.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSpinBox>

namespace {

enum class Arrow
{
    None,
    AtStart,
    AtEnd
};

// A 16 × 16 picture of a horizontal line, with an arrow head at one end if asked for,
// so that the line-end choices read at a glance beside their text.
QIcon lineIcon(Arrow arrow, const QColor &color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 1.5, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(1, 8), QPointF(15, 8));
    if (arrow != Arrow::None) {
        const qreal tip = arrow == Arrow::AtStart ? 1 : 15;
        const qreal back = arrow == Arrow::AtStart ? 7 : 9;
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPolygon(QPolygonF({QPointF(tip, 8), QPointF(back, 4), QPointF(back, 12)}));
    }
    return QIcon(pixmap);
}

} // namespace

DlgPaintProperty::DlgPaintProperty(QWidget *parent)
    : QDialog(parent)
{
    setupUi();
    retranslateUi();
    // The smoothing setting is not used by any item; its row stays in the form but out of sight.
    label_2->hide();
    spinBox_2->hide();
    fillComboBoxes();
}

void DlgPaintProperty::setValue(const DrawingDefaults &d)
{
    spinBox->setValue(d.penWidth);
    comboBox_4->setCurrentIndex(d.penStyle);
    comboBox->setCurrentIndex(d.brushStyle);
    comboBox_2->setCurrentIndex(d.lineHead);
    comboBox_3->setCurrentIndex(d.lineEnd);
}

void DlgPaintProperty::value(DrawingDefaults &d) const
{
    // The text, not value(): a width still being typed when the window is closed counts.
    d.penWidth = spinBox->text().toInt(nullptr, 10);
    d.penStyle = comboBox_4->currentIndex();
    d.brushStyle = comboBox->currentIndex();
    d.lineHead = comboBox_2->currentIndex();
    d.lineEnd = comboBox_3->currentIndex();
}

void DlgPaintProperty::setupUi()
{
    setObjectName(QStringLiteral("DlgPaintProperty"));
    resize(270, 90);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto *grid = new QGridLayout(this);
    grid->setSpacing(6);
    grid->setContentsMargins(11, 11, 11, 11);

    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    spinBox = new QSpinBox(this);
    spinBox->setObjectName(QStringLiteral("spinBox"));
    spinBox->setRange(0, 10);
    spinBox->setValue(1);
    label_2 = new QLabel(this);
    label_2->setObjectName(QStringLiteral("label_2"));
    spinBox_2 = new QSpinBox(this);
    spinBox_2->setObjectName(QStringLiteral("spinBox_2"));
    spinBox_2->setRange(0, 9);

    label_3 = new QLabel(this);
    label_3->setObjectName(QStringLiteral("label_3"));
    comboBox_4 = new QComboBox(this);
    comboBox_4->setObjectName(QStringLiteral("comboBox_4"));
    label_6 = new QLabel(this);
    label_6->setObjectName(QStringLiteral("label_6"));
    comboBox = new QComboBox(this);
    comboBox->setObjectName(QStringLiteral("comboBox"));

    label_4 = new QLabel(this);
    label_4->setObjectName(QStringLiteral("label_4"));
    comboBox_2 = new QComboBox(this);
    comboBox_2->setObjectName(QStringLiteral("comboBox_2"));
    comboBox_2->setIconSize(QSize(16, 16));
    label_5 = new QLabel(this);
    label_5->setObjectName(QStringLiteral("label_5"));
    comboBox_3 = new QComboBox(this);
    comboBox_3->setObjectName(QStringLiteral("comboBox_3"));

    grid->addWidget(label, 0, 0);
    grid->addWidget(spinBox, 0, 1);
    grid->addWidget(label_2, 0, 2);
    grid->addWidget(spinBox_2, 0, 3);
    grid->addWidget(label_3, 1, 0);
    grid->addWidget(comboBox_4, 1, 1);
    grid->addWidget(label_6, 1, 2);
    grid->addWidget(comboBox, 1, 3);
    grid->addWidget(label_4, 2, 0);
    grid->addWidget(comboBox_2, 2, 1);
    grid->addWidget(label_5, 2, 2);
    grid->addWidget(comboBox_3, 2, 3);
}

void DlgPaintProperty::retranslateUi()
{
    const char *context = "DlgPaintProperty";
    setWindowTitle(QCoreApplication::translate(context, "绘图属性设置"));
    label->setText(QCoreApplication::translate(context, "画笔宽度"));
    label_2->setText(QCoreApplication::translate(context, "圆滑"));
    label_3->setText(QCoreApplication::translate(context, "画笔风格"));
    label_6->setText(QCoreApplication::translate(context, "画刷风格"));
    label_4->setText(QCoreApplication::translate(context, "直线起点"));
    label_5->setText(QCoreApplication::translate(context, "直线终点"));
}

// The entries carry no data: the edited value is the entry's index, which is why they are
// appended in exactly this order (pen styles follow Qt::PenStyle).
void DlgPaintProperty::fillComboBoxes()
{
    const char *context = "DlgPaintProperty";
    for (const char *text : {"无", "实线", "虚线", "点线", "点划线", "双点划线"})
        comboBox_4->addItem(QCoreApplication::translate(context, text));
    for (const char *text : {"无", "实心"})
        comboBox->addItem(QCoreApplication::translate(context, text));

    const QColor ink = palette().color(QPalette::Text);
    comboBox_2->addItem(lineIcon(Arrow::None, ink), QCoreApplication::translate(context, "──"));
    comboBox_2->addItem(lineIcon(Arrow::AtStart, ink), QCoreApplication::translate(context, "<──"));
    comboBox_3->addItem(lineIcon(Arrow::None, ink), QCoreApplication::translate(context, "──"));
    comboBox_3->addItem(lineIcon(Arrow::AtEnd, ink), QCoreApplication::translate(context, "──>"));
}
