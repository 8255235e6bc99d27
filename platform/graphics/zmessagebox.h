#ifndef ZMESSAGEBOX_H
#define ZMESSAGEBOX_H

#include <QString>

class QWidget;

// Message box whose flags follow the classic message-box numbering:
// 16 error, 32 question, 48 warning, 64 information (low bits: 0 OK, 1 OK/Cancel,
// 3 Yes/No/Cancel, 4 Yes/No). Returns the QMessageBox::StandardButton that was clicked.
int ZMessageBox(QWidget *parent, const QString &text, const QString &caption, unsigned flags);

#endif
