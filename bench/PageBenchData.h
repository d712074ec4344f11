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
