#include "data/sqlite_callback_adapters.h"

#include <sqlite3.h>

namespace {

SqliteFunctionRecord* RecordOf(sqlite3_context* context) {
  return static_cast<SqliteFunctionRecord*>(sqlite3_user_data(context));
}

}  // namespace

void ScalarFunctionAdapter(sqlite3_context* context, int argumentCount, sqlite3_value** arguments) {
  SqliteFunctionRecord* record = RecordOf(context);
  if (record != nullptr && record->scalarRoutine != nullptr) {
    record->scalarRoutine(context, argumentCount, arguments);
  }
}

void AggregateStepAdapter(sqlite3_context* context, int argumentCount, sqlite3_value** arguments) {
  SqliteFunctionRecord* record = RecordOf(context);
  if (record != nullptr && record->stepRoutine != nullptr) {
    record->stepRoutine(context, argumentCount, arguments);
  }
}

void AggregateFinalAdapter(sqlite3_context* context) {
  SqliteFunctionRecord* record = RecordOf(context);
  if (record != nullptr && record->finalRoutine != nullptr) {
    record->finalRoutine(context);
  }
}

void FunctionDestroyAdapter(void* record) {
  auto* function = static_cast<SqliteFunctionRecord*>(record);
  if (function == nullptr) {
    return;
  }
  if (function->destroyRoutine != nullptr) {
    function->destroyRoutine(function->userValue);
  }
  delete function;
}

int ExecRowAdapter(void* record, int columnCount, char** values, char** names) {
  auto* row = static_cast<SqliteRowCallbackRecord*>(record);
  if (row == nullptr || row->routine == nullptr) {
    return 0;
  }
  return row->routine(row->userValue, columnCount, values, names);
}

int ProgressAdapter(void* routine) {
  if (routine == nullptr) {
    return 0;
  }
  return reinterpret_cast<SqliteProgressRoutine>(reinterpret_cast<std::intptr_t>(routine))();
}

int BusyAdapter(void* routine, int priorCalls) {
  if (routine == nullptr) {
    return 0;
  }
  return reinterpret_cast<SqliteBusyRoutine>(reinterpret_cast<std::intptr_t>(routine))(priorCalls);
}

void* RoutineToUserData(SqliteProgressRoutine routine) {
  return reinterpret_cast<void*>(reinterpret_cast<std::intptr_t>(routine));
}

void* RoutineToUserData(SqliteBusyRoutine routine) {
  return reinterpret_cast<void*>(reinterpret_cast<std::intptr_t>(routine));
}
