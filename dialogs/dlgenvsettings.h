#ifndef DLGENVSETTINGS_H
#define DLGENVSETTINGS_H

#include <QDialog>
#include <QRectF>

class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

// Canvas size of a graph or template: width and height in whole pixels.
class DlgEnvSettings : public QDialog
{
    Q_OBJECT
public:
    DlgEnvSettings(const QRectF &sceneRect, QWidget *parent);

    // The chosen canvas, always at the origin.
    QRectF rect() const;

private:
    void setupUi();
    void retranslateUi();

    QGroupBox *groupBox;
    QLabel *label;
    QSpinBox *spinBox_Width;
    QLabel *label_3;
    QLabel *label_2;
    QSpinBox *spinBox_Height;
    QLabel *label_4;
    QPushButton *pushButton_OK;
    QPushButton *pushButton_Cancel;
};

#endif
