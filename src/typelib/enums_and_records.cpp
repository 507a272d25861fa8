// The enumerations and records that the type library publishes, members in declaration order.
#include <utility>

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

constexpr int32_t kServerErrors = static_cast<int32_t>(0xA0000000u);
constexpr int32_t kNonServerErrors = static_cast<int32_t>(0x90000000u);

}  // namespace

// Type-library order: EReturnCodes, EMessageType, ELogType, ETWErrorLogResult, ETWConstants.
std::vector<EnumInfo> OrvexEnums() {
  return {
      MakeEnum("EReturnCodes",
               {{"rcSUCCESS", 1}, {"rcFAIL", 2}, {"rcBOF", 3}, {"rcEOF", 4}, {"rcDLLERROR", 5}}),
      MakeEnum("EMessageType", {{"mtERROR", 1}, {"mtMESSAGE", 2}, {"mtGLOSSARY", 3}}),
      MakeEnum("ELogType", {{"ltRAISEEVENT", 1},
                            {"ltRAISEERROR", 2},
                            {"ltFILE", 4},
                            {"ltEVENTLOG", 8},
                            {"ltMSGBOX", 16},
                            {"ltDB", 32},
                            {"ltEMAIL", 64},
                            {"ltFORMATERROR", 65},
                            {"ltMSG_ONLY", 128},
                            {"ltXML", 256}}),
      // Declared in this order, which is not the order of the values.
      MakeEnum("ETWErrorLogResult", {{"etwelrABORT", 3},
                                     {"etwelrRETRY", 4},
                                     {"etwelrCANCEL", 2},
                                     {"etwelrIGNORE", 5},
                                     {"etwelrOK", 1},
                                     {"etwelrYES", 6},
                                     {"etwelrNO", 7},
                                     {"etwelrLOGTODB_FAILED", 16},
                                     {"etwelrLOGTOFILE_FAILED", 32},
                                     {"etwelrLOGTONT_FAILED", 64},
                                     {"etwelrLOGTOXML_FAILED", 128},
                                     {"etwelrSERROR", kServerErrors},
                                     {"etwelrNSERROR", kNonServerErrors}}),
      MakeEnum("ETWConstants",
               {{"etwcNSERRORS", kNonServerErrors}, {"etwcSERRORS", kServerErrors}}),
  };
}

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
