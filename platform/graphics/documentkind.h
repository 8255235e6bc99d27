#ifndef DOCUMENTKIND_H
#define DOCUMENTKIND_H

#include <QRectF>
#include <QString>

// What the editor knows about each kind of document it makes, a graph or a template: one
// row per kind. Its number is what a scene's type() holds and what its file stores.
struct DocumentKind
{
    enum Type
    {
        Graph = 0,
        Template = 1
    };

    Type type;
    QString suffix; // of its files, without the dot
    QString untitledStem; // an untitled document is this stem, a number and the suffix
    QString filter; // for the file dialogs
    QString newTitle; // of the dialog that asks for a new document's canvas
    QRectF canvas; // a new document's canvas, before the user changes it
    QString (*folder)(); // where its files go in the project folder

    QString untitledName(int number) const;

    static const DocumentKind &of(Type type);
    // Null for a number that is no kind.
    static const DocumentKind *find(int type);
    // The kind whose files carry this suffix, in any case; null when none does.
    static const DocumentKind *findBySuffix(const QString &suffix);
};

#endif
