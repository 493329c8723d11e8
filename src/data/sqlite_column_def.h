#pragma once
// The column definition of SqliteDatabase::CreateTable and ::AddColumn.

#include <cstdint>
#include <string>

// The type word written after the column name; any other code writes none.
enum SqliteColumnType : std::int32_t {
  kSqliteTypeByte = 1,
  kSqliteTypeSmallint = 2,
  kSqliteTypeInteger = 3,
  kSqliteTypeBigInt = 4,
  kSqliteTypeDecimal = 5,
  kSqliteTypeDouble = 6,
  kSqliteTypeBit = 7,
  kSqliteTypeDateTime = 8,
  kSqliteTypeVarChar = 10,
  kSqliteTypeBlob = 11,
  kSqliteTypeText = 12,
};

// Constraint bits; their words are always written in this order.
enum SqliteColumnConstraint : std::int32_t {
  kSqlitePrimaryKey = 1,
  kSqliteAutoIncrement = 2,
  kSqliteNotNull = 4,
  kSqliteUnique = 8,
};

struct SqliteColumnDef {
  std::string name;
  std::int32_t type = 0;         // a SqliteColumnType code
  std::int32_t size = 0;         // 0 = none
  std::int32_t constraints = 0;  // SqliteColumnConstraint bits
  std::string defaultValue;      // SQL expression; empty = none
  std::string check;             // SQL expression; empty = none
};
