#ifndef DBSERVERSETTINGS_H
#define DBSERVERSETTINGS_H

#include <QString>

// Which database the editor works against, as the user last confirmed it (per-user settings
// group "dbServer"). The password is not part of it: see savedPassword().
struct DbServerSettings
{
    enum Kind
    {
        Embedded = 0, // a database file in the project folder, for one engineer
        PostgreSql = 1 // a shared server, for a team
    };

    Kind kind = Embedded;
    QString host = QStringLiteral("127.0.0.1");
    int port = 5432;
    QString database = QStringLiteral("plotwright");
    QString user;
    bool rememberPassword = false;

    static DbServerSettings load();
    void save() const;

    // The embedded database: a file in the project folder.
    static QString embeddedFile();

    // A password is kept only when the user asks for it, in plain text in a file that only
    // the user may read or write (the same protection a client's password file has): hiding
    // it from the user's own account is impossible without a key that would sit beside it.
    static QString savedPassword();
    // Writes the password, or removes the file for an empty one; false when it could not,
    // with the reason in `error`.
    static bool storePassword(const QString &password, QString *error = nullptr);
    static QString passwordFile();
};

#endif
