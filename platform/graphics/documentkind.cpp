#include "documentkind.h"

#include "abstractgraphicsutility.h"

#include <array>

namespace {

// Indexed by DocumentKind::Type.
const std::array<DocumentKind, 2> &kinds()
{
    static const std::array<DocumentKind, 2> table = {{
        {DocumentKind::Graph, QStringLiteral("drw"), QStringLiteral("画面"), QStringLiteral("画面文件(*.drw)"),
            QStringLiteral("新建画面"), QRectF(0, 0, 1920, 1080), &AbstractGraphicsUtility::graphDir},
        {DocumentKind::Template, QStringLiteral("tpl"), QStringLiteral("模板"), QStringLiteral("模板文件(*.tpl)"),
            QStringLiteral("新建模板"), QRectF(0, 0, 400, 300), &AbstractGraphicsUtility::templateDir},
    }};
    return table;
}

} // namespace

QString DocumentKind::untitledName(int number) const
{
    return untitledStem + QString::number(number) + QLatin1Char('.') + suffix;
}

const DocumentKind &DocumentKind::of(Type type)
{
    return kinds()[std::size_t(type)];
}

const DocumentKind *DocumentKind::find(int type)
{
    return type >= 0 && std::size_t(type) < kinds().size() ? &kinds()[std::size_t(type)] : nullptr;
}

const DocumentKind *DocumentKind::findBySuffix(const QString &suffix)
{
    for (const DocumentKind &kind : kinds()) {
        if (suffix.compare(kind.suffix, Qt::CaseInsensitive) == 0)
            return &kind;
    }
    return nullptr;
}
