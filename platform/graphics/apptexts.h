#ifndef APPTEXTS_H
#define APPTEXTS_H

#include <QString>

// Texts and paths shared by the whole editor.
QString applicationTitle();
QString companyName();
QString windowTitleText(const QString &title, bool withState);
QString applicationDir();

#endif
