/* ORVEX C interface: drive the library late-bound from any language with a foreign-function
 * interface. Objects are created by programmatic identifier ("ORVEX.CLogError"), members found by
 * name and invoked with variants; every call returns 0 on success or the failure's automation
 * error number, whose text orvex_last_error_* give (per thread). */
#ifndef ORVEX_ORVEX_C_H_
#define ORVEX_ORVEX_C_H_

#include <stdint.h>
#include "orvex/export.h"

ORVEX_PUBLIC_BEGIN

#include "orvex/version.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct orvex_object orvex_object;
typedef struct orvex_variant orvex_variant;

/* Invoke kinds. */
enum { ORVEX_METHOD = 1, ORVEX_PROPERTY_GET = 2, ORVEX_PROPERTY_PUT = 4, ORVEX_PROPERTY_PUTREF = 8 };

/* Objects. */
int32_t orvex_create_object(const char* prog_id, orvex_object** out);
int32_t orvex_get_id_of_name(orvex_object* object, const char* name, int32_t* disp_id);
/* args: in declaration order (a property put's new value last); by-reference arguments are
 * written back into args. result may be NULL; otherwise *result receives a new variant. */
int32_t orvex_invoke(orvex_object* object, int32_t disp_id, int32_t kind, orvex_variant** args,
                     int32_t arg_count, orvex_variant** result);
/* The same, by member name. */
int32_t orvex_invoke_name(orvex_object* object, const char* name, int32_t kind,
                          orvex_variant** args, int32_t arg_count, orvex_variant** result);
void orvex_release(orvex_object* object);

/* Variants. Each constructor returns a new variant that orvex_variant_free releases. */
orvex_variant* orvex_variant_empty(void);
orvex_variant* orvex_variant_null(void);
orvex_variant* orvex_variant_missing(void);
orvex_variant* orvex_variant_string(const char* utf8);
orvex_variant* orvex_variant_long(int32_t value);
orvex_variant* orvex_variant_double(double value);
orvex_variant* orvex_variant_bool(int32_t value);
orvex_variant* orvex_variant_object(orvex_object* object); /* object may be NULL: Nothing */
orvex_variant* orvex_variant_error_record(int32_t number, const char* description,
                                          const char* source, const char* help_file,
                                          int32_t help_context);
void orvex_variant_free(orvex_variant* value);
uint16_t orvex_variant_type(const orvex_variant* value);
/* Conversions with the automation runtime's rules; 0 or the error number. The text is a new
 * string that orvex_string_free releases. */
int32_t orvex_variant_to_string(const orvex_variant* value, char** out);
int32_t orvex_variant_to_long(const orvex_variant* value, int32_t* out);
int32_t orvex_variant_to_double(const orvex_variant* value, double* out);
/* The fields of an error record variant (strings are new, released with orvex_string_free). */
int32_t orvex_variant_error_fields(const orvex_variant* value, int32_t* number,
                                   char** description, char** source);
/* The object held (a new reference released with orvex_release); NULL for Nothing. */
int32_t orvex_variant_to_object(const orvex_variant* value, orvex_object** out);
void orvex_string_free(char* text);

/* The version of the loaded library, "MAJOR.MINOR.PATCH" (static storage; not freed). Compare
 * with ORVEX_VERSION_STRING, the version of the headers compiled against. */
const char* orvex_version(void);

/* The last failure of this thread. */
int32_t orvex_last_error_number(void);
const char* orvex_last_error_source(void);
const char* orvex_last_error_description(void);

#ifdef __cplusplus
}
#endif

ORVEX_PUBLIC_END

#endif /* ORVEX_ORVEX_C_H_ */
