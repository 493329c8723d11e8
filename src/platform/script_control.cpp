#include "platform/script_control.h"

#include <duktape.h>

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/code_page_codec.h"
#include "platform/script_heap_allocator.h"

namespace {

// Each UTF-16 code unit on its own, as one to three bytes: the engine's own
// string form, which keeps surrogates (paired or not) as they are.
std::string EncodeCesu8(std::u16string_view units) {
  std::string out;
  out.reserve(units.size() * 3);
  for (char16_t u : units) {
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

std::u16string ToUtf16(duk_context* ctx, duk_idx_t index) {
  duk_size_t length = 0;
  const char* bytes = duk_get_lstring(ctx, index, &length);
  return bytes ? DecodeCesu8ToUtf16(std::string_view(bytes, length)) : std::u16string();
}

// A string of the value at `index` that never throws.
std::u16string SafeText(duk_context* ctx, duk_idx_t index) {
  duk_dup(ctx, index);
  duk_safe_to_string(ctx, -1);
  std::u16string text = ToUtf16(ctx, -1);
  duk_pop(ctx);
  return text;
}

void* HeapAlloc(void* udata, duk_size_t size) {
  return static_cast<ScriptHeapAllocator*>(udata)->Allocate(size);
}

void* HeapRealloc(void* udata, void* ptr, duk_size_t size) {
  return static_cast<ScriptHeapAllocator*>(udata)->Reallocate(ptr, size);
}

void HeapFree(void* udata, void* ptr) {
  static_cast<ScriptHeapAllocator*>(udata)->Free(ptr);
}

// Reached only by an unprotected engine call, which this file never makes.
[[noreturn]] void FatalHandler(void* /*udata*/, const char* message) {
  std::fprintf(stderr, "script engine fatal error: %s\n", message ? message : "");
  std::abort();
}

// Everything that may allocate runs inside duk_safe_call, so that running out
// of the heap's budget is an ordinary error.
struct RunRequest {
  std::string name;
  std::vector<std::string> arguments;
};

// [] -> [result]
duk_ret_t CallByName(duk_context* ctx, void* udata) {
  const auto* request = static_cast<const RunRequest*>(udata);
  duk_get_global_lstring(ctx, request->name.data(), request->name.size());
  if (!duk_is_callable(ctx, -1))
    return duk_error(ctx, DUK_ERR_TYPE_ERROR, "%s is not a function", request->name.c_str());
  duk_require_stack(ctx, static_cast<duk_idx_t>(request->arguments.size()));
  for (const std::string& argument : request->arguments)
    duk_push_lstring(ctx, argument.data(), argument.size());
  duk_call(ctx, static_cast<duk_idx_t>(request->arguments.size()));
  return 1;
}

struct GlobalText {
  std::string name;
  std::string value;
};

// [] -> [undefined]
duk_ret_t PutGlobal(duk_context* ctx, void* udata) {
  const auto* global = static_cast<const GlobalText*>(udata);
  duk_push_lstring(ctx, global->value.data(), global->value.size());
  duk_put_global_lstring(ctx, global->name.data(), global->name.size());
  duk_push_undefined(ctx);
  return 1;
}

// Fixed library code as compiled by the engine, by its text. Filled from the
// program's own code only (AddLibraryCode), so loading it is safe. Kept by
// the UTF-16 text as given, so a known library is found without converting it.
struct CompiledLibrary {
  std::u16string text;
  std::string bytecode;
};

struct CompiledLibraries {
  std::mutex lock;
  std::vector<CompiledLibrary> known;  // a program has a handful

  const CompiledLibrary* Find(std::u16string_view text) const {
    for (const CompiledLibrary& library : known) {
      if (library.text.size() == text.size() &&
          std::memcmp(library.text.data(), text.data(), text.size() * sizeof(char16_t)) == 0)
        return &library;
    }
    return nullptr;
  }
};

CompiledLibraries& Libraries() {
  static CompiledLibraries libraries;
  return libraries;
}

struct LibraryRequest {
  const std::string* source = nullptr;
  std::string bytecode;  // in: the compiled form, when known; out: the one made
};

// [] -> [result]: runs the library as global eval code, as duk_peval does:
// compiled from the text (keeping the compiled form) or loaded from it.
duk_ret_t RunLibrary(duk_context* ctx, void* udata) {
  auto* request = static_cast<LibraryRequest*>(udata);
  if (request->bytecode.empty()) {
    duk_compile_lstring(ctx, DUK_COMPILE_EVAL, request->source->data(), request->source->size());
    duk_dup(ctx, -1);
    duk_dump_function(ctx);
    duk_size_t size = 0;
    const auto* bytes = static_cast<const char*>(duk_get_buffer(ctx, -1, &size));
    request->bytecode.assign(bytes, size);
    duk_pop(ctx);
  } else {
    void* buffer = duk_push_fixed_buffer(ctx, request->bytecode.size());
    std::memcpy(buffer, request->bytecode.data(), request->bytecode.size());
    duk_load_function(ctx);
  }
  duk_push_global_object(ctx);
  duk_call_method(ctx, 0);
  return 1;
}

struct ErrorFields {
  std::u16string name;
  std::u16string message;
  int line = 0;
};

// [error] -> [undefined]: the fields of a thrown Error. Run protected, as a
// property read may run a getter that throws.
duk_ret_t ReadErrorFields(duk_context* ctx, void* udata) {
  auto* fields = static_cast<ErrorFields*>(udata);
  duk_get_prop_string(ctx, 0, "name");
  fields->name = SafeText(ctx, -1);
  duk_get_prop_string(ctx, 0, "message");
  fields->message = SafeText(ctx, -1);
  duk_get_prop_string(ctx, 0, "lineNumber");
  fields->line = duk_is_number(ctx, -1) ? duk_get_int(ctx, -1) : 0;
  duk_push_undefined(ctx);
  return 1;
}

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z')
      x = static_cast<char16_t>(x + 32);
    if (y >= u'A' && y <= u'Z')
      y = static_cast<char16_t>(y + 32);
    if (x != y)
      return false;
  }
  return true;
}

}  // namespace

struct ScriptControl::Heap {
  ScriptHeapAllocator memory{kHeapLimit};  // outlives the engine's heap
  duk_context* ctx = nullptr;

  Heap() { ctx = duk_create_heap(HeapAlloc, HeapRealloc, HeapFree, &memory, FatalHandler); }
  ~Heap() {
    if (ctx)
      duk_destroy_heap(ctx);
  }
  Heap(const Heap&) = delete;
  Heap& operator=(const Heap&) = delete;
};

std::u16string ScriptValue::AsText() const {
  return (kind == Kind::kEmpty || kind == Kind::kNull) ? std::u16string() : text;
}

bool ScriptValue::AsBool() const {
  switch (kind) {
    case Kind::kBoolean:
      return boolean;
    case Kind::kNumber:
      return number != 0 && !std::isnan(number);
    case Kind::kString:
      return !text.empty();
    case Kind::kObject:
      return true;
    default:
      return false;
  }
}

double ScriptValue::AsNumber() const {
  switch (kind) {
    case Kind::kBoolean:
      return boolean ? 1 : 0;
    case Kind::kNumber:
      return std::isnan(number) ? 0 : number;
    case Kind::kString: {
      const std::string ascii = EncodeFromUtf16(text, kCodePageUtf8);
      const size_t first = ascii.find_first_not_of(" \t\r\n");
      if (first == std::string::npos)
        return 0;
      const size_t last = ascii.find_last_not_of(" \t\r\n") + 1;
      double value = 0;
      const auto [end, error] = std::from_chars(ascii.data() + first, ascii.data() + last, value);
      // A text that is not a number as a whole ("12abc") is no number at all.
      return error == std::errc() && end == ascii.data() + last ? value : 0;
    }
    default:
      return 0;
  }
}

ScriptControl::ScriptControl() : m_owner(std::this_thread::get_id()) {
  auto* heap = new Heap();
  if (heap->ctx == nullptr) {
    delete heap;
    heap = nullptr;
  }
  m_heap = heap;
}

ScriptControl::~ScriptControl() {
  delete m_heap;
}

void ScriptControl::SetLanguage(std::u16string_view language) {
  m_language.assign(language);
}

bool ScriptControl::Ready() {
  assert(std::this_thread::get_id() == m_owner && "a script engine belongs to its thread");
  ++m_calls;
  m_error = ScriptError();
  if (m_heap == nullptr) {
    m_error.number = 5;
    m_error.description = u"the script engine could not be created";
  } else if (!EqualsIgnoringAsciiCase(m_language, u"JScript") &&
             !EqualsIgnoringAsciiCase(m_language, u"JavaScript")) {
    m_error.number = 5;
    m_error.description = u"the script language is not supported";
  } else {
    return true;
  }
  m_error.source = u"run-time error";
  m_error.text = m_error.description;
  return false;
}

// Takes the outcome of a protected call whose result or error is on top of the
// stack; on a failure fills the error and pops it.
bool ScriptControl::Finish(int rc) {
  if (rc == DUK_EXEC_SUCCESS)
    return true;
  duk_context* ctx = m_heap->ctx;
  m_error = ScriptError();
  m_error.text = SafeText(ctx, -1);
  m_error.description = m_error.text;
  ErrorFields fields;
  if (duk_is_error(ctx, -1)) {
    duk_dup(ctx, -1);
    if (duk_safe_call(ctx, ReadErrorFields, &fields, 1, 1) == DUK_EXEC_SUCCESS) {
      m_error.description = fields.message;
      m_error.line = fields.line;
    } else {
      fields = ErrorFields();
    }
    duk_pop(ctx);
  }
  const bool syntax = fields.name == u"SyntaxError";
  m_error.number = syntax ? 1002 : fields.name == u"ReferenceError" ? 5009 : 5;
  m_error.source = syntax ? u"compilation error" : u"run-time error";
  if (m_error.text.empty())
    m_error.text = u"script error";
  duk_pop(ctx);
  return false;
}

ScriptValue ScriptControl::TakeValue() {
  duk_context* ctx = m_heap->ctx;
  ScriptValue value;
  switch (duk_get_type(ctx, -1)) {
    case DUK_TYPE_NONE:
    case DUK_TYPE_UNDEFINED:
      value.kind = ScriptValue::Kind::kEmpty;
      break;
    case DUK_TYPE_NULL:
      value.kind = ScriptValue::Kind::kNull;
      break;
    case DUK_TYPE_BOOLEAN:
      value.kind = ScriptValue::Kind::kBoolean;
      value.boolean = duk_get_boolean(ctx, -1) != 0;
      value.text = value.boolean ? u"true" : u"false";
      break;
    case DUK_TYPE_NUMBER:
      value.kind = ScriptValue::Kind::kNumber;
      value.number = duk_get_number(ctx, -1);
      value.text = SafeText(ctx, -1);
      break;
    case DUK_TYPE_STRING:
      value.kind = ScriptValue::Kind::kString;
      value.text = ToUtf16(ctx, -1);
      break;
    default:
      value.kind = ScriptValue::Kind::kObject;
      value.text = SafeText(ctx, -1);
  }
  duk_pop(ctx);
  return value;
}

bool ScriptControl::AddCode(std::u16string_view code) {
  ScriptValue ignored;
  return Eval(code, ignored);
}

bool ScriptControl::ExecuteStatement(std::u16string_view code) {
  ScriptValue ignored;
  return Eval(code, ignored);
}

bool ScriptControl::AddLibraryCode(std::u16string_view code) {
  if (!Ready())
    return false;
  LibraryRequest request;
  CompiledLibraries& libraries = Libraries();
  {
    std::lock_guard<std::mutex> guard(libraries.lock);
    if (const CompiledLibrary* known = libraries.Find(code))
      request.bytecode = known->bytecode;
  }
  const bool compiled = request.bytecode.empty();
  std::string source;
  if (compiled) {
    source = EncodeCesu8(code);
    request.source = &source;
  }
  if (!Finish(duk_safe_call(m_heap->ctx, RunLibrary, &request, 0, 1)))
    return false;
  duk_pop(m_heap->ctx);
  if (compiled) {
    std::lock_guard<std::mutex> guard(libraries.lock);
    if (libraries.Find(code) == nullptr)
      libraries.known.push_back({std::u16string(code), std::move(request.bytecode)});
  }
  return true;
}

bool ScriptControl::Eval(std::u16string_view code, ScriptValue& result) {
  result = ScriptValue();
  if (!Ready())
    return false;
  const std::string source = EncodeCesu8(code);
  if (!Finish(duk_peval_lstring(m_heap->ctx, source.data(), source.size())))
    return false;
  result = TakeValue();
  return true;
}

bool ScriptControl::Run(std::u16string_view name, const std::vector<std::u16string>& arguments,
                        ScriptValue& result) {
  result = ScriptValue();
  if (!Ready())
    return false;
  RunRequest request;
  request.name = EncodeCesu8(name);
  for (const std::u16string& argument : arguments)
    request.arguments.push_back(EncodeCesu8(argument));
  if (!Finish(duk_safe_call(m_heap->ctx, CallByName, &request, 0, 1)))
    return false;
  result = TakeValue();
  return true;
}

bool ScriptControl::SetGlobalText(std::u16string_view name, std::u16string_view value) {
  if (!Ready())
    return false;
  GlobalText global{EncodeCesu8(name), EncodeCesu8(value)};
  if (!Finish(duk_safe_call(m_heap->ctx, PutGlobal, &global, 0, 1)))
    return false;
  duk_pop(m_heap->ctx);
  return true;
}

void ScriptControl::Reset() {
  ++m_calls;
  delete m_heap;
  m_heap = new Heap();
  if (m_heap->ctx == nullptr) {
    delete m_heap;
    m_heap = nullptr;
  }
  m_error = ScriptError();
}
