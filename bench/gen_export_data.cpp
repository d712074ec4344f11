// Makes the benchmark database: gen_export_data FILE [ROWS]
#include "ExportBenchData.h"
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: gen_export_data FILE [ROWS]\n");
        return 2;
    }
    const int rows = args.size() > 2 ? args[2].toInt() : 1000000;
    QString error;
    if (!MakeExportBenchDatabase(args[1], rows, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%d rows written to %s\n", rows, qPrintable(args[1]));
    return 0;
}
