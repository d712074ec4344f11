#pragma once
// Benchmark data: a service-id-like page of many rows in a SQLite file.
#include <QString>
#include <QStringList>

// Creates (replacing) the file with table tBenchService of `rows` rows.
// Returns false with a message when SQLite refuses.
bool MakeExportBenchDatabase(const QString& file, int rows, QString* error = nullptr);

// The page query over it, one clause per line, as the program writes them.
QStringList ExportBenchQuery();
