// The C interface over the dispatch layer. No exception crosses it: every failure becomes a
// return code and the thread's last error.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/error_path.hpp"
#include "orvex/dispatch.hpp"
#include "orvex/orvex_c.h"

struct orvex_object {
  std::shared_ptr<orvex::Dispatch> dispatch;
};

struct orvex_variant {
  orvex::Variant value;
};

namespace {

// The last failure of the thread; number 0 and empty texts after a success.
struct LastError {
  int32_t number = 0;
  std::string source;
  std::string description;
};
thread_local LastError lastError;

template <class Call>
int32_t Guard(Call&& call) {
  try {
    call();
    lastError = LastError{};
    return 0;
  } catch (...) {
    orvex::AutomationError error = orvex::foundation::PendingError();
    lastError = LastError{error.Number, error.Source, error.Description};
    return error.Number != 0 ? error.Number : -1;
  }
}

char* CopyString(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

orvex_variant* NewVariant(orvex::Variant value) {
  try {
    return new orvex_variant{std::move(value)};
  } catch (...) {
    return nullptr;
  }
}

[[noreturn]] void NullArgument() {
  orvex::Raise(orvex::errInvalidProcedureCall, "ORVEX.C", "A required pointer argument is NULL");
}

}  // namespace

extern "C" {

int32_t orvex_create_object(const char* prog_id, orvex_object** out) {
  return Guard([&] {
    if (prog_id == nullptr || out == nullptr) NullArgument();
    *out = new orvex_object{orvex::CreateObject(prog_id)};
  });
}

int32_t orvex_get_id_of_name(orvex_object* object, const char* name, int32_t* disp_id) {
  return Guard([&] {
    if (object == nullptr || name == nullptr || disp_id == nullptr) NullArgument();
    *disp_id = object->dispatch->GetIDOfName(name);
  });
}

int32_t orvex_invoke(orvex_object* object, int32_t disp_id, int32_t kind, orvex_variant** args,
                     int32_t arg_count, orvex_variant** result) {
  return Guard([&] {
    if (object == nullptr || (arg_count > 0 && args == nullptr) || arg_count < 0) NullArgument();
    std::vector<orvex::Variant> values;
    for (int32_t i = 0; i < arg_count; ++i)
      values.push_back(args[i] != nullptr ? args[i]->value : orvex::Variant::Missing());
    orvex::Variant answer =
        object->dispatch->Invoke(disp_id, static_cast<orvex::InvokeKind>(kind), values);
    for (int32_t i = 0; i < arg_count; ++i)
      if (args[i] != nullptr) args[i]->value = values[static_cast<size_t>(i)];
    if (result != nullptr) *result = NewVariant(std::move(answer));
  });
}

int32_t orvex_invoke_name(orvex_object* object, const char* name, int32_t kind,
                          orvex_variant** args, int32_t arg_count, orvex_variant** result) {
  int32_t disp_id = 0;
  int32_t status = orvex_get_id_of_name(object, name, &disp_id);
  if (status != 0) return status;
  return orvex_invoke(object, disp_id, kind, args, arg_count, result);
}

void orvex_release(orvex_object* object) { delete object; }

orvex_variant* orvex_variant_empty(void) { return NewVariant(orvex::Variant()); }
orvex_variant* orvex_variant_null(void) { return NewVariant(orvex::Variant::Null()); }
orvex_variant* orvex_variant_missing(void) { return NewVariant(orvex::Variant::Missing()); }
orvex_variant* orvex_variant_string(const char* utf8) {
  return NewVariant(orvex::Variant(std::string(utf8 != nullptr ? utf8 : "")));
}
orvex_variant* orvex_variant_long(int32_t value) { return NewVariant(orvex::Variant(value)); }
orvex_variant* orvex_variant_double(double value) { return NewVariant(orvex::Variant(value)); }
orvex_variant* orvex_variant_bool(int32_t value) { return NewVariant(orvex::Variant(value != 0)); }
orvex_variant* orvex_variant_object(orvex_object* object) {
  return NewVariant(object != nullptr ? orvex::Variant(object->dispatch)
                                      : orvex::Variant::Nothing());
}
orvex_variant* orvex_variant_error_record(int32_t number, const char* description,
                                          const char* source, const char* help_file,
                                          int32_t help_context) {
  orvex::TErrorObject record;
  record.lNumber = number;
  record.strDescription = description != nullptr ? description : "";
  record.strSource = source != nullptr ? source : "";
  record.strHelpFile = help_file != nullptr ? help_file : "";
  record.lHelpContext = help_context;
  return NewVariant(orvex::Variant(record));
}

void orvex_variant_free(orvex_variant* value) { delete value; }

uint16_t orvex_variant_type(const orvex_variant* value) {
  return value != nullptr ? value->value.VarType() : 0;
}

int32_t orvex_variant_to_string(const orvex_variant* value, char** out) {
  return Guard([&] {
    if (value == nullptr || out == nullptr) NullArgument();
    *out = CopyString(orvex::CStr(value->value));
  });
}

int32_t orvex_variant_to_long(const orvex_variant* value, int32_t* out) {
  return Guard([&] {
    if (value == nullptr || out == nullptr) NullArgument();
    *out = orvex::CLng(value->value);
  });
}

int32_t orvex_variant_to_double(const orvex_variant* value, double* out) {
  return Guard([&] {
    if (value == nullptr || out == nullptr) NullArgument();
    *out = orvex::CDbl(value->value);
  });
}

int32_t orvex_variant_error_fields(const orvex_variant* value, int32_t* number, char** description,
                                   char** source) {
  return Guard([&] {
    if (value == nullptr) NullArgument();
    orvex::TErrorObject record = value->value.AsErrorObject();
    if (number != nullptr) *number = record.lNumber;
    if (description != nullptr) *description = CopyString(record.strDescription);
    if (source != nullptr) *source = CopyString(record.strSource);
  });
}

int32_t orvex_variant_to_object(const orvex_variant* value, orvex_object** out) {
  return Guard([&] {
    if (value == nullptr || out == nullptr) NullArgument();
    std::shared_ptr<orvex::Dispatch> object = value->value.AsObject();
    *out = object ? new orvex_object{object} : nullptr;
  });
}

void orvex_string_free(char* text) { std::free(text); }

const char* orvex_version(void) { return ORVEX_VERSION_STRING; }

int32_t orvex_last_error_number(void) { return lastError.number; }
const char* orvex_last_error_source(void) { return lastError.source.c_str(); }
const char* orvex_last_error_description(void) { return lastError.description.c_str(); }

}  // extern "C"
