#ifndef DLGDETAIL_H
#define DLGDETAIL_H

#include <QDialog>
#include <QMap>
#include <QString>
#include <memory>

namespace Ui {
class DlgDetail;
}

// Confirmation of a variable replacement: every old name beside its new one, sorted by the
// old name, the names that change marked red.
class DlgDetail : public QDialog
{
    Q_OBJECT
public:
    DlgDetail(QMap<QString, QString> preview, QWidget *parent);
    ~DlgDetail() override;

    // The number of rows whose new name differs from the old one.
    int changedCount() const { return m_changed; }

private:
    QMap<QString, QString> m_preview;
    int m_changed = 0;
    std::unique_ptr<Ui::DlgDetail> ui;
};

#endif
