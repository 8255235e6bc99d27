#ifndef DLGPAINTPROPERTY_H
#define DLGPAINTPROPERTY_H

#include <QDialog>

class QComboBox;
class QLabel;
class QSpinBox;
struct DrawingDefaults;

// Pen width and style, brush style and line ends that new items are drawn with.
// Buttonless: whatever is shown when the window closes is what value() hands back.
class DlgPaintProperty : public QDialog
{
    Q_OBJECT
public:
    explicit DlgPaintProperty(QWidget *parent);

    void setValue(const DrawingDefaults &d);
    // Writes the five edited fields; the colours are chosen elsewhere and left alone.
    void value(DrawingDefaults &d) const;

private:
    void setupUi();
    void retranslateUi();
    void fillComboBoxes();

    QLabel *label;
    QSpinBox *spinBox;
    QLabel *label_2;
    QSpinBox *spinBox_2;
    QLabel *label_3;
    QComboBox *comboBox_4;
    QLabel *label_6;
    QComboBox *comboBox;
    QLabel *label_4;
    QComboBox *comboBox_2;
    QLabel *label_5;
    QComboBox *comboBox_3;
};

#endif
