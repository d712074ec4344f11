#pragma once
// Benchmark data for the main window's pages: the program's schema with a
// large audit trail (page 1008), in a SQLite file.
#include <QString>

// Creates (replacing) the file: db/schema.sql, the audit events and `rows`
// audit-trail rows spread over a few years, tables and operators.
bool MakeAuditBenchDatabase(const QString& file, const QString& schemaFile, int rows, QString* error = nullptr);

// Creates (replacing) the file: the schema file's statements, then `fill`.
bool MakeSchemaBenchDatabase(const QString& file, const QString& schemaFile, const QString& fill,
                             QString* error = nullptr);

// Creates (replacing) the file: db/schema.sql, db/demo.sql, then `rows`
// more services (page 1051: active, their ServiceID beginning "02", each a
// copy of a demo service under a number of its own) and `rows` more
// customers (page 1016). Operator 1 of the demo may edit both pages.
bool MakeReloadBenchDatabase(const QString& file, const QString& schemaFile, const QString& demoFile, int rows,
                             QString* error = nullptr);
