// A second editor process in miniature, started by tst_singleapplication.
// First instance: prints "primary"; with --wait-param it then prints the first parameter it
// receives and exits. Later instance: hands argv[1] over ("handed-over") or, without an
// argument, just reports "second".
#include "singleapplication.h"

#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

void printLine(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    SingleApplication app(argc, argv);

    if (app.isRunning()) {
        if (argc < 2) {
            printLine("second");
            return 0;
        }
        if (!app.setParam(QByteArray(argv[1]))) {
            std::fputs("handover failed\n", stderr);
            return 1;
        }
        printLine("handed-over");
        return 0;
    }

    printLine("primary");
    if (argc < 2 || std::strcmp(argv[1], "--wait-param") != 0)
        return 0;

    int exitCode = 2; // stays when nothing arrives in time
    QObject::connect(&app, &SingleApplication::param, &app, [&](const QByteArray &parameter) {
        printLine(parameter);
        exitCode = 0;
        app.quit();
    });
    QTimer::singleShot(10000, &app, &QCoreApplication::quit);
    app.exec();
    return exitCode;
}
