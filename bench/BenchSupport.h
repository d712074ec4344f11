#pragma once
// What the benchmarks share: memory readings, medians, and the audit-trail
// data file of a given size, made once and kept in the temporary folder.
#include <QString>
#include <vector>

class TDatabase;

// Resident and peak resident memory of this process, in MB.
void BenchMemory(double& rss, double& peak);
double BenchMedian(std::vector<double> values);
// The anchor of the data-path benchmarks: the statement stepped with the
// engine's own API on a connection of its own, every column of every row
// read as the engine holds it; up to the row whose first column is
// `untilId` when that is given, else to the end. Seconds, and the rows
// stepped.
double EngineStepSeconds(const QString& file, const QByteArray& sql, qint64& rows, qint64 untilId = -1);
// The audit-trail file with `rows` rows (made when missing); empty on failure.
QString AuditBenchFile(int rows);
// The demo database with `rows` more services (page 1051) and `rows` more
// customers (page 1016), made when missing; empty on failure.
QString ServicePagesBenchFile(int rows);
// Connects the component to the file, named dbKVdata, without a prompt.
void ConnectBenchDatabase(TDatabase& db, const QString& file);
// Points the settings folder at `folder` (for this process and the ones it
// starts) and writes the settings that connect the program to `dbFile`
// without asking, passwords asked from operators started without an id.
void UseBenchSettings(const QString& folder, const QString& dbFile);
