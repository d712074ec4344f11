#pragma once
// Benchmark data for the service split editor: the program's schema with
// many customers and services, a fifth of the services split between two
// customers, in a SQLite file.
#include <QString>
#include <QStringList>

// Creates (replacing) the file: db/schema.sql, the audit events, `customers`
// customers (every twentieth inactive) with four-character ShipTo codes in
// no particular order, as many services (every fiftieth inactive), and two
// active split rows for every fifth service.
bool MakeSplitBenchDatabase(const QString& file, const QString& schemaFile, int customers,
                            QString* error = nullptr);
// A service of the file that has split rows.
int SplitBenchService();

// The two lists the editor reads, one clause per line: the active customers
// in ShipTo order, and the services without (adding) or with (editing)
// split rows.
QStringList SplitBenchCustomerList();
QStringList SplitBenchServiceList(bool adding);
