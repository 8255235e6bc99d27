#ifndef DLGPAINTPROPERTY_H
#define DLGPAINTPROPERTY_H

#include <QDialog>
#include <memory>

struct DrawingDefaults;

namespace Ui {
class DlgPaintProperty;
}

// Pen width and style, brush style and line ends that new items are drawn with.
// Buttonless: whatever is shown when the window closes is what value() hands back.
class DlgPaintProperty : public QDialog
{
    Q_OBJECT
public:
    explicit DlgPaintProperty(QWidget *parent);
    ~DlgPaintProperty() override;

    void setValue(const DrawingDefaults &d);
    // Writes the five edited fields; the colours are chosen elsewhere and left alone.
    void value(DrawingDefaults &d) const;

private:
    void fillComboBoxes();

    std::unique_ptr<Ui::DlgPaintProperty> ui;
};

#endif
