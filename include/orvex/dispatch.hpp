// Late binding: objects created by programmatic identifier and members invoked by name or
// dispatch identifier with variants, as the ORVEX type library lays them out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "orvex/export.h"
#include "orvex/variant.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex {

enum class InvokeKind : int32_t {
  Method = 1,
  PropertyGet = 2,
  PropertyPut = 4,
  PropertyPutRef = 8
};

// Automation errors of the dispatch layer.
inline constexpr int32_t DISP_E_UNKNOWNNAME = static_cast<int32_t>(0x80020006u);
inline constexpr int32_t DISP_E_BADPARAMCOUNT = static_cast<int32_t>(0x8002000Eu);
inline constexpr int32_t DISP_E_TYPEMISMATCH = static_cast<int32_t>(0x80020005u);
inline constexpr int32_t DISP_E_MEMBERNOTFOUND = static_cast<int32_t>(0x80020003u);

class Dispatch : public Object {
 public:
  // Case-insensitive; an unknown name raises DISP_E_UNKNOWNNAME.
  virtual int32_t GetIDOfName(const std::string& name) = 0;
  // args in declaration order (a property put's new value last); omitted optional arguments are
  // Variant::Missing() or absent at the end; by-reference arguments are written back.
  virtual Variant Invoke(int32_t dispID, InvokeKind kind, std::vector<Variant>& args) = 0;
  // Connects an event sink; events reach sink->Invoke(eventID, Method, args).
  virtual uint32_t Advise(std::shared_ptr<Dispatch> sink);
  virtual void Unadvise(uint32_t cookie);
};

// Creates a class by programmatic identifier ("ORVEX.CLogError"); an unknown identifier raises
// 429, "ActiveX component can't create object".
std::shared_ptr<Dispatch> CreateObject(const std::string& progID);

// The global object of a global class ("GErrors", "GMessage", or their programmatic
// identifiers), whose methods a client calls without creating an object: one per thread, made
// on first use. Any other name raises 429.
std::shared_ptr<Dispatch> GlobalObject(const std::string& name);

}  // namespace orvex

ORVEX_PUBLIC_END
