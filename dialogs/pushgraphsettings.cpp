#include "pushgraphsettings.h"

#include "safefile.h"

#include <QSettings>
#include <QTextCodec>
#include <QtGlobal>

namespace {

const QString ModeKey = QStringLiteral("mode");
const QString SizeKey = QStringLiteral("size");
const QString TimeKey = QStringLiteral("time");

// Other programs read this file too; they expect the locale's encoding, so both ways use it.
void useLocaleCodec(QSettings &settings)
{
    settings.setIniCodec(QTextCodec::codecForLocale());
}

// A number from the file within [minimum, maximum]; anything that is no number gives the default.
int bounded(const QVariant &value, int fallback, int minimum, int maximum)
{
    bool ok = false;
    const qlonglong v = value.toLongLong(&ok);
    return ok ? int(qBound(qlonglong(minimum), v, qlonglong(maximum))) : fallback;
}

} // namespace

PushGraphSettings PushGraphSettings::read(const QString &iniPath)
{
    QSettings settings(iniPath, QSettings::IniFormat);
    useLocaleCodec(settings);
    PushGraphSettings s;
    s.mode = bounded(settings.value(ModeKey), s.mode, 0, ModeCount - 1);
    const QSize size = settings.value(SizeKey, s.size).toSize();
    s.size = QSize(qBound(MinSide, size.width(), MaxSide), qBound(MinSide, size.height(), MaxSide));
    s.time = bounded(settings.value(TimeKey), s.time, 0, MaxTime);
    return s;
}

bool PushGraphSettings::write(const QString &iniPath, QString *why) const
{
    const auto edit = [this](QSettings &settings) {
        settings.setValue(ModeKey, mode);
        settings.setValue(SizeKey, size);
        settings.setValue(TimeKey, time);
    };
    return SafeFile::updateIni(iniPath, QTextCodec::codecForLocale(), edit, why);
}
