// The enumerations and records that the type library publishes, members in declaration order.
#include <utility>

#include "orvex/types.hpp"
#include "typelib/member_builders.hpp"

namespace orvex::typelib {
namespace {

EnumInfo MakeEnum(std::string name, std::vector<std::pair<std::string, int32_t>> members) {
  EnumInfo info{std::move(name), {}};
  for (auto& [memberName, value] : members) {
    // Each member's help string is its own name.
    info.members.push_back({memberName, value, memberName});
  }
  return info;
}

// A member of an enumeration as the type library lists it: the enumerator's own name and value.
#define ORVEX_ENUMERATOR(name) \
  { #name, name }

}  // namespace

// Type-library order: EReturnCodes, EMessageType, ELogType, ETWErrorLogResult, ETWConstants.
std::vector<EnumInfo> OrvexEnums() {
  return {
      MakeEnum("EReturnCodes",
               {ORVEX_ENUMERATOR(rcSUCCESS), ORVEX_ENUMERATOR(rcFAIL), ORVEX_ENUMERATOR(rcBOF),
                ORVEX_ENUMERATOR(rcEOF), ORVEX_ENUMERATOR(rcDLLERROR)}),
      MakeEnum("EMessageType", {ORVEX_ENUMERATOR(mtERROR), ORVEX_ENUMERATOR(mtMESSAGE),
                                ORVEX_ENUMERATOR(mtGLOSSARY)}),
      MakeEnum("ELogType",
               {ORVEX_ENUMERATOR(ltRAISEEVENT), ORVEX_ENUMERATOR(ltRAISEERROR),
                ORVEX_ENUMERATOR(ltFILE), ORVEX_ENUMERATOR(ltEVENTLOG), ORVEX_ENUMERATOR(ltMSGBOX),
                ORVEX_ENUMERATOR(ltDB), ORVEX_ENUMERATOR(ltEMAIL), ORVEX_ENUMERATOR(ltFORMATERROR),
                ORVEX_ENUMERATOR(ltMSG_ONLY), ORVEX_ENUMERATOR(ltXML)}),
      // Declared in this order, which is not the order of the values.
      MakeEnum("ETWErrorLogResult",
               {ORVEX_ENUMERATOR(etwelrABORT), ORVEX_ENUMERATOR(etwelrRETRY),
                ORVEX_ENUMERATOR(etwelrCANCEL), ORVEX_ENUMERATOR(etwelrIGNORE),
                ORVEX_ENUMERATOR(etwelrOK), ORVEX_ENUMERATOR(etwelrYES), ORVEX_ENUMERATOR(etwelrNO),
                ORVEX_ENUMERATOR(etwelrLOGTODB_FAILED), ORVEX_ENUMERATOR(etwelrLOGTOFILE_FAILED),
                ORVEX_ENUMERATOR(etwelrLOGTONT_FAILED), ORVEX_ENUMERATOR(etwelrLOGTOXML_FAILED),
                ORVEX_ENUMERATOR(etwelrSERROR), ORVEX_ENUMERATOR(etwelrNSERROR)}),
      MakeEnum("ETWConstants", {ORVEX_ENUMERATOR(etwcNSERRORS), ORVEX_ENUMERATOR(etwcSERRORS)}),
  };
}

#undef ORVEX_ENUMERATOR

// Type-library order: TDllErrorInfo, TErrorObject.
std::vector<RecordInfo> OrvexRecords() {
  return {
      {"TDllErrorInfo", {{"Number", Long()}, {"Source", String()}, {"Description", String()}}},
      {"TErrorObject",
       {{"lNumber", Long()},
        {"strDescription", String()},
        {"lHelpContext", Long()},
        {"strHelpFile", String()},
        {"lLastDllError", Long()},
        {"strSource", String()}}},
  };
}

}  // namespace orvex::typelib
