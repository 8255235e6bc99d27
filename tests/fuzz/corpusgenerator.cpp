// Writes the seed corpus (made by the editor's own writers) and the regression inputs
// (crafted from the format description) under the folder given as the only argument,
// normally tests/fuzz. Run it again when the formats change and commit what it writes.
#include "abstractgraphicsproperty.h"
#include "abstractgraphicsscene.h"
#include "craft.h"
#include "dialogs/pushgraphsettings.h"
#include "documentformat.h"
#include "fuzzsupport.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "version.h"
#include "zpalette.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <cstdio>

namespace {

QString s_root;

void put(const QString &relative, const QByteArray &bytes)
{
    const QString path = QDir(s_root).filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        FuzzSupport::fail("cannot write the corpus");
}

QByteArray saved(AbstractGraphicsScene &scene, unsigned version = DocumentFormat::CurrentVersion)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    DocumentFormat::saveDocument(out, scene, version);
    return bytes;
}

void documentCorpus()
{
    AbstractGraphicsScene every;
    int i = 0;
    for (const ItemKind &kind : ItemKind::all()) {
        GraphicsItem *item = ItemSamples::create(kind.type, QRectF(20 + 50 * (i % 10), 30 + 90 * (i / 10), 40, 70));
        ItemSamples::changeEveryProperty(item);
        every.addItem(item);
        ++i;
    }
    auto *group = new GroupItem;
    every.addItem(group);
    for (int k = 0; k < 2; ++k) {
        GraphicsItem *r = ItemSamples::create(ItemKind::Rectangle, QRectF(600 + 50 * k, 600, 40, 30));
        every.addItem(r);
        group->addToGroup(r);
    }
    put(QStringLiteral("corpus/document/every_kind.drw"), saved(every));
    put(QStringLiteral("corpus/document/every_kind_version12.drw"), saved(every, DocumentFormat::OldestVersion));

    AbstractGraphicsScene small;
    small.setType(1);
    small.addItem(ItemSamples::create(ItemKind::Line, QRectF(10, 10, 100, -40)));
    small.addItem(ItemSamples::create(ItemKind::PlainText, QRectF(10, 60, 100, 24)));
    put(QStringLiteral("corpus/document/template.tpl"), saved(small));

    QByteArray clipboard;
    {
        QDataStream out(&clipboard, QIODevice::WriteOnly);
        small.save(out, AbstractGraphicsScene::noParentFilter(small.items(Qt::AscendingOrder)));
    }
    put(QStringLiteral("corpus/document/clipboard.bin"), clipboard);

    QByteArray groupFile;
    {
        QDataStream out(&groupFile, QIODevice::WriteOnly);
        out << Version::VersionToString(DocumentFormat::CurrentVersion);
        group->saveItem(out);
    }
    put(QStringLiteral("corpus/document/group.grp"), groupFile);
}

void otherCorpora()
{
    const QString palette = QDir(s_root).filePath(QStringLiteral("corpus/palette/default.dat"));
    QDir().mkpath(QFileInfo(palette).absolutePath());
    writeDefaultPalette(palette);
    const RGB_COLOR black[] = {{0, 0, 0, 0}};
    writePalette(QDir(s_root).filePath(QStringLiteral("corpus/palette/one_entry.dat")), black, 1);

    put(QStringLiteral("corpus/pointlist/header.csv"),
        QStringLiteral("点号,变量名,限定名,设备名\r\nYX1,Ia,10kV,1号开关\r\nYX2,\"a,b\",\"多\"\"引\"\"号\",设备\n")
            .toUtf8());
    put(QStringLiteral("corpus/pointlist/gb18030.csv"),
        QByteArray("YX3,\xb5\xe7\xc1\xf7,q,d\nYX4,\"two\nlines\",q,d\n,,,\n"));

    PushGraphSettings s;
    s.mode = 1;
    s.size = QSize(1024, 768);
    s.time = 30;
    const QString ini = QDir(s_root).filePath(QStringLiteral("corpus/ini/DlgPushGraphProperty.ini"));
    QDir().mkpath(QFileInfo(ini).absolutePath());
    QFile::remove(ini);
    s.write(ini);
    put(QStringLiteral("corpus/ini/out_of_range.ini"),
        QByteArray("[General]\nmode=7\nsize=@Size(99999 -5)\ntime=-1\n"));
}

// The inputs that once hung or exhausted memory, each the smallest that showed it.
void regressions()
{
    using Craft::Value;
    const auto grid = [](int rows) {
        return Craft::document({Craft::itemRecord(
            ItemKind::Grid, QPointF(10, 10), QSizeF(200, 200), {Value{Property::Int, rows}, Value{Property::Int, 4}})});
    };
    put(QStringLiteral("regressions/document/grid_20000000_rows.drw"), grid(20000000));
    put(QStringLiteral("regressions/document/grid_2147483647_rows.drw"), grid(2147483647));
    put(QStringLiteral("regressions/document/sector_huge_angle.drw"),
        Craft::document({Craft::itemRecord(ItemKind::Sector, QPointF(10, 10), QSizeF(100, 100),
            {Value{Property::Double, 0.0}, Value{Property::Double, 1e12}})}));
    put(QStringLiteral("regressions/document/symbol_huge_dashed_pen.drw"),
        Craft::document({Craft::itemRecord(ItemKind::Breaker, QPointF(10, 10), QSizeF(4e8, 8e8),
            {Value{Property::String, QString()}, Value{Property::String, QString()}, Value{Property::Enum, 1},
                Value{Property::Enum, 0}},
            20, 2)}));
    put(QStringLiteral("regressions/document/diode_fuzzed.drw"),
        Craft::document({Craft::itemRecord(ItemKind::Diode, QPointF(10, 10), QSizeF(24, 48),
            {Value{Property::String, QString()}, Value{Property::Enum, 0x7fffffff}})}));
    put(QStringLiteral("regressions/document/text_50000_lines.drw"),
        Craft::document({Craft::itemRecord(ItemKind::PlainText, QPointF(10, 10), QSizeF(200, 100),
            {Value{Property::String, QString(QStringLiteral("x\n")).repeated(50000)}, Value{Property::Enum, 0},
                Value{Property::Color, QColor()}, Value{Property::Bool, false}})}));
    put(QStringLiteral("regressions/document/background_stdin.drw"), Craft::document({}, QStringLiteral("/dev/stdin")));
    put(QStringLiteral("regressions/document/picture_bomb.drw"), Craft::document({}, QStringLiteral("bomb.png")));
    const QByteArray rectangle = Craft::itemRecord(
        ItemKind::Rectangle, QPointF(1e-300, 0), QSizeF(1e-300, 1e-300), {Value{Property::Double, 0.0}});
    put(QStringLiteral("regressions/document/group_tiny_extent.grp"),
        Craft::groupFile(Craft::groupRecord(QPointF(0, 0), {rectangle})));
    put(QStringLiteral("regressions/document/clipboard_far_apart.bin"),
        Craft::itemList({Craft::itemRecord(
                             ItemKind::Rectangle, QPointF(-1e6, -1e6), QSizeF(10, 10), {Value{Property::Double, 0.0}}),
            Craft::itemRecord(
                ItemKind::Rectangle, QPointF(1e6, 1e6), QSizeF(10, 10), {Value{Property::Double, 0.0}})}));

    // 20 000 x 20 000 pixels in one bit each, compressed to some 50 KB: decoded as the
    // editor draws pictures it would take 1.6 GB.
    QImage bomb(20000, 20000, QImage::Format_Mono);
    bomb.fill(0);
    QImageWriter writer(QDir(s_root).filePath(QStringLiteral("regressions/document/bomb.png")), "png");
    writer.setQuality(0); // the strongest compression
    if (!writer.write(bomb))
        FuzzSupport::fail("cannot write the picture");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s tests/fuzz\n", argv[0]);
        return 2;
    }
    FuzzSupport::ensureApplication();
    s_root = QString::fromLocal8Bit(argv[1]);
    documentCorpus();
    otherCorpora();
    regressions();
    return 0;
}
