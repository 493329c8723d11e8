#pragma once
// The fixed functions through which SQLite calls back into program routines:
// SQL functions and aggregates, the row routine of SqliteDatabase::Exec, the
// progress handler and the busy handler. Each adapter routes SQLite's call to
// the routine kept in its record (or passed as its argument) and gives the
// routine the caller's user value. Nothing is converted on this road: routines
// see SQLite's own context and value pointers and UTF-8 texts.
//
// The adapters hold no state of their own and serve every connection and
// thread.

#include <cstdint>

struct sqlite3_context;
struct sqlite3_value;

// Program routines as SQLite wrappers accept them.
using SqliteRowRoutine = int (*)(std::intptr_t userValue, int columnCount, char** values,
                                 char** names);
using SqliteScalarRoutine = void (*)(sqlite3_context* context, int argumentCount,
                                     sqlite3_value** arguments);
using SqliteFinalRoutine = void (*)(sqlite3_context* context);
using SqliteDestroyRoutine = void (*)(std::intptr_t userValue);
using SqliteProgressRoutine = int (*)();
// Answers nonzero to make SQLite try again; `priorCalls` counts the earlier
// calls for the same lock.
using SqliteBusyRoutine = int (*)(int priorCalls);
using SqliteBackupProgressRoutine = void (*)(int remainingPages, int totalPages);

// Made by SqliteDatabase::Exec for one run when a row routine is given.
struct SqliteRowCallbackRecord {
  SqliteRowRoutine routine = nullptr;
  std::intptr_t userValue = 0;
};

// Made by CreateFunction / CreateAggregate, handed to SQLite as the function's
// user data (a routine reads it with sqlite3_user_data) and freed by
// FunctionDestroyAdapter when SQLite drops the function.
struct SqliteFunctionRecord {
  SqliteScalarRoutine scalarRoutine = nullptr;
  SqliteScalarRoutine stepRoutine = nullptr;
  SqliteFinalRoutine finalRoutine = nullptr;
  SqliteDestroyRoutine destroyRoutine = nullptr;
  std::intptr_t userValue = 0;
};

void ScalarFunctionAdapter(sqlite3_context* context, int argumentCount, sqlite3_value** arguments);
void AggregateStepAdapter(sqlite3_context* context, int argumentCount, sqlite3_value** arguments);
void AggregateFinalAdapter(sqlite3_context* context);
// Calls the record's destroy routine (when set) with its user value, then frees
// the record.
void FunctionDestroyAdapter(void* record);
int ExecRowAdapter(void* record, int columnCount, char** values, char** names);
// `routine` is the SqliteProgressRoutine itself; none answers 0.
int ProgressAdapter(void* routine);
// `routine` is the SqliteBusyRoutine itself; none answers 0 (give up).
int BusyAdapter(void* routine, int priorCalls);

// Function pointers travel through SQLite's void* user data.
void* RoutineToUserData(SqliteProgressRoutine routine);
void* RoutineToUserData(SqliteBusyRoutine routine);
