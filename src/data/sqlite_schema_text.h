#pragma once
// Internal: the SQL texts the schema builders of SqliteDatabase compose.
// Names are quoted as SQL identifiers ("name", inner quotes doubled) so a name
// can never end the statement early; the SQL fragments a caller passes (column
// lists, defaults, checks, select texts, trigger bodies) pass unchanged.
// All texts here are in the caller's encoding; nothing is converted.

#include <string>
#include <vector>

#include "data/sqlite_column_def.h"

std::string QuoteSqlIdentifier(const std::string& name);
// 'text' with inner apostrophes doubled.
std::string QuoteSqlLiteral(const std::string& text);

// name + " " + type word, then "(size)", " " + constraint words,
// " Default " + default, " Check(" + check + ")" as given.
std::string SqliteColumnText(const SqliteColumnDef& column);
// "create table " + name, then the columns, ",Unique(...)" and
// ",primary key(...)" inside " (" ... ")"; no parentheses without columns.
std::string SqliteCreateTableText(const std::string& table,
                                  const std::vector<SqliteColumnDef>& columns,
                                  const std::string& uniqueColumns, const std::string& primaryKey);
std::string SqliteCreateTriggerText(const std::string& table, const std::string& trigger,
                                    const std::string& body, int event, const std::string& columns,
                                    int timing, bool temporary);
