// Values for the parameters of a prepared insert whose column types are known only at run time:
// SetParameterValue converts a client value to what the parameter's data type expects;
// DefaultValueForType gives the placeholder for a parameter that receives no value at all.
#pragma once

#include <cstdint>
#include <memory>

#include "orvex/export.h"
#include "orvex/variant.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex {

namespace data {
class Parameter;
}  // namespace data

namespace MComponent {

// Converts value to the kind that parameter.Type expects (integers by parameter.Size for
// adInteger and the unsigned 16/32-bit types, text cut to parameter.Size characters, dates read
// in the host's locale with "." taken for "/") and stores it in parameter.Value.
//
// Returns true when the value was stored, or when the rules store nothing without failing (an
// integer parameter of a size other than 1, 2 or 4; any date type, whose failures are ignored).
// Returns false when the conversion fails; the parameter then keeps its previous value. Never
// raises.
bool SetParameterValue(data::Parameter& parameter, const Variant& value);
// As above; false for a null parameter.
bool SetParameterValue(const std::shared_ptr<data::Parameter>& parameter, const Variant& value);

// The placeholder for a parameter of the data type that receives no value: the host's current
// date and time for adDate, adDBDate and adDBTime; " " for the text types (adLongVarWChar among
// them); True for adBoolean; the 16-bit integer 0 for every other type (adDBTimeStamp among
// them). Never raises.
Variant DefaultValueForType(int32_t type);

}  // namespace MComponent

}  // namespace orvex

ORVEX_PUBLIC_END
