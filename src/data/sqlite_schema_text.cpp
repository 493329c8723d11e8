#include "data/sqlite_schema_text.h"

namespace {

std::string Quoted(const std::string& text, char quote) {
  std::string result(1, quote);
  for (char c : text) {
    result += c;
    if (c == quote) {
      result += quote;
    }
  }
  result += quote;
  return result;
}

const char* TypeWord(int type) {
  switch (type) {
    case kSqliteTypeByte:
      return "Byte";
    case kSqliteTypeSmallint:
      return "Smallint";
    case kSqliteTypeInteger:
      return "Integer";
    case kSqliteTypeBigInt:
      return "BigInt";
    case kSqliteTypeDecimal:
      return "Decimal";
    case kSqliteTypeDouble:
      return "Double";
    case kSqliteTypeBit:
      return "Bit";
    case kSqliteTypeDateTime:
      return "DateTime";
    case kSqliteTypeVarChar:
      return "VarChar";
    case kSqliteTypeBlob:
      return "Blob";
    case kSqliteTypeText:
      return "Text";
    default:
      return "";
  }
}

std::string ConstraintWords(int bits) {
  std::string words;
  if (bits & kSqlitePrimaryKey) {
    words += "Primary Key";
  }
  if (bits & kSqliteAutoIncrement) {
    words += " AutoIncrement";
  }
  if (bits & kSqliteNotNull) {
    words += " Not Null";
  }
  if (bits & kSqliteUnique) {
    words += " Unique";
  }
  return words;
}

}  // namespace

std::string QuoteSqlIdentifier(const std::string& name) {
  return Quoted(name, '"');
}

std::string QuoteSqlLiteral(const std::string& text) {
  return Quoted(text, '\'');
}

std::string SqliteColumnText(const SqliteColumnDef& column) {
  std::string text = QuoteSqlIdentifier(column.name) + " " + TypeWord(column.type);
  if (column.size != 0) {
    text += "(" + std::to_string(column.size) + ")";
  }
  if (column.constraints != 0) {
    text += " " + ConstraintWords(column.constraints);
  }
  if (!column.defaultValue.empty()) {
    text += " Default " + column.defaultValue;
  }
  if (!column.check.empty()) {
    text += " Check(" + column.check + ")";
  }
  return text;
}

std::string SqliteCreateTableText(const std::string& table,
                                  const std::vector<SqliteColumnDef>& columns,
                                  const std::string& uniqueColumns, const std::string& primaryKey) {
  std::string text = "create table " + QuoteSqlIdentifier(table);
  if (!columns.empty()) {
    text += " (";
    for (size_t i = 0; i < columns.size(); ++i) {
      text += SqliteColumnText(columns[i]);
      if (i + 1 < columns.size()) {
        text += ",";
      }
    }
  }
  if (!uniqueColumns.empty()) {
    text += ",Unique(" + uniqueColumns + ")";
  }
  if (!primaryKey.empty()) {
    text += ",primary key(" + primaryKey + ")";
  }
  if (!columns.empty()) {
    text += ")";
  }
  return text;
}

std::string SqliteCreateTriggerText(const std::string& table, const std::string& trigger,
                                    const std::string& body, int event, const std::string& columns,
                                    int timing, bool temporary) {
  std::string text = temporary ? "CREATE TEMPORARY TRIGGER " : "CREATE TRIGGER ";
  text += QuoteSqlIdentifier(trigger) + " ";
  if (timing == 1) {
    text += "BEFORE ";
  } else if (timing == 2) {
    text += "AFTER ";
  }
  switch (event) {
    case 0:
      text += "INSERT ";
      break;
    case 1:
      text += "DELETE ";
      break;
    case 2:
      text += "UPDATE ";
      break;
    case 3:
      text += "UPDATE OF " + columns + " ";
      break;
    default:
      break;
  }
  text += "ON " + QuoteSqlIdentifier(table) + " BEGIN " + body + " END";
  return text;
}
