#include "dlgpaintproperty.h"
#include "ui_dlgpaintproperty.h"

#include "drawingdefaults.h"

#include <QPainter>
#include <QPixmap>

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
    , ui(new Ui::DlgPaintProperty)
{
    ui->setupUi(this);
    // The smoothing setting is not used by any item; its row stays in the form but out of sight.
    ui->label_2->hide();
    ui->spinBox_2->hide();
    fillComboBoxes();
}

DlgPaintProperty::~DlgPaintProperty() = default;

void DlgPaintProperty::setValue(const DrawingDefaults &d)
{
    ui->spinBox->setValue(d.penWidth);
    ui->comboBox_4->setCurrentIndex(d.penStyle);
    ui->comboBox->setCurrentIndex(d.brushStyle);
    ui->comboBox_2->setCurrentIndex(d.lineHead);
    ui->comboBox_3->setCurrentIndex(d.lineEnd);
}

void DlgPaintProperty::value(DrawingDefaults &d) const
{
    // The text, not value(): a width still being typed when the window is closed counts.
    d.penWidth = ui->spinBox->text().toInt(nullptr, 10);
    d.penStyle = ui->comboBox_4->currentIndex();
    d.brushStyle = ui->comboBox->currentIndex();
    d.lineHead = ui->comboBox_2->currentIndex();
    d.lineEnd = ui->comboBox_3->currentIndex();
}

// The entries carry no data: the edited value is the entry's index, which is why they are
// appended in exactly this order (pen styles follow Qt::PenStyle).
void DlgPaintProperty::fillComboBoxes()
{
    const char *context = "DlgPaintProperty";
    for (const char *text : {"无", "实线", "虚线", "点线", "点划线", "双点划线"})
        ui->comboBox_4->addItem(QCoreApplication::translate(context, text));
    for (const char *text : {"无", "实心"})
        ui->comboBox->addItem(QCoreApplication::translate(context, text));

    const QColor ink = palette().color(QPalette::Text);
    ui->comboBox_2->addItem(lineIcon(Arrow::None, ink), QCoreApplication::translate(context, "──"));
    ui->comboBox_2->addItem(lineIcon(Arrow::AtStart, ink), QCoreApplication::translate(context, "<──"));
    ui->comboBox_3->addItem(lineIcon(Arrow::None, ink), QCoreApplication::translate(context, "──"));
    ui->comboBox_3->addItem(lineIcon(Arrow::AtEnd, ink), QCoreApplication::translate(context, "──>"));
}
