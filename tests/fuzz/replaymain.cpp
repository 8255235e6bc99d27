// Feeds every file of the given folders (or the given files) to the fuzz target once, in
// name order. Built for every compiler, so that the corpus and the
// regressions run with the tests even where libFuzzer is not available.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo info(QString::fromLocal8Bit(argv[i]));
        if (info.isDir()) {
            for (const QFileInfo &entry : QDir(info.filePath()).entryInfoList(QDir::Files, QDir::Name))
                files << entry.absoluteFilePath();
        } else {
            files << info.absoluteFilePath();
        }
    }
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: %s folder-or-file...\n", argv[0]);
        return 2;
    }
    for (const QString &path : qAsConst(files)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 2;
        }
        const QByteArray bytes = file.readAll();
        // Relative picture paths in a document are found beside it.
        QDir::setCurrent(QFileInfo(path).absolutePath());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
    }
    std::printf("%d inputs\n", int(files.size()));
    return 0;
}
