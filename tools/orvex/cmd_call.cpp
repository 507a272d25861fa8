// orvex call: creates a class by programmatic identifier and invokes members on it late-bound,
// by name, the way a scripting host would. Several calls on the same object are separated by a
// lone "--".
#include <iostream>
#include <memory>

#include "call_literals.hpp"
#include "cli_args.hpp"
#include "cli_output.hpp"
#include "commands.hpp"
#include "orvex/dispatch.hpp"
#include "orvex/modules.hpp"
#include "orvex/type_library.hpp"

namespace orvex::cli {

namespace {

constexpr const char* kCallHelp =
    R"(usage: orvex call PROGID [--get|--put|--putref] MEMBER [ARGS...] [-- MEMBER [ARGS...]]...

Creates PROGID (ORVEX.CLogError, ORVEX.CTextTable, ORVEX.GErrors ...) and invokes MEMBER by name
with the arguments, in declaration order. Further calls on the same object follow a lone "--".
Prints the result of each call, then "arg N = VALUE" for every by-reference argument that the
call changed.

  --get | --put | --putref   invoke a property read, write (new value last) or object write;
                             a member that is only a property is read by default
Arguments are text unless typed: int:5  short:5  double:1.5  bool:true  date:2026-01-31
str:TEXT (text as written)  null  missing (an omitted argument).

Examples:
  orvex call ORVEX.GErrors SetErrSource Billing Export
  orvex call ORVEX.CTextTable --put ConnectingString "Data Source=app.db" \
    -- LoadStringsRS Messages Arabic -- Text int:1
)";

struct CallStep {
  InvokeKind kind = InvokeKind::Method;
  bool kindGiven = false;
  std::string member;
  std::vector<std::string> arguments;
};

bool TakeKind(const std::string& word, CallStep& step) {
  static const std::pair<const char*, InvokeKind> kKinds[] = {
      {"--get", InvokeKind::PropertyGet},
      {"--put", InvokeKind::PropertyPut},
      {"--putref", InvokeKind::PropertyPutRef},
      {"--method", InvokeKind::Method}};
  for (const auto& [flag, kind] : kKinds)
    if (word == flag) {
      step.kind = kind;
      step.kindGiven = true;
      return true;
    }
  return false;
}

CallStep ParseStep(const std::vector<std::string>& words) {
  CallStep step;
  size_t i = 0;
  while (i < words.size() && TakeKind(words[i], step)) ++i;
  if (i == words.size()) throw UsageError("call", "missing the member name");
  if (words[i].rfind("--", 0) == 0) throw UsageError("call", "unknown option " + words[i]);
  step.member = words[i];
  step.arguments.assign(words.begin() + static_cast<long>(i) + 1, words.end());
  return step;
}

std::vector<CallStep> ParseSteps(const Argv& argv) {
  std::vector<CallStep> steps;
  std::vector<std::string> words;
  for (size_t i = 1; i <= argv.size(); ++i) {
    if (i == argv.size() || argv[i] == "--") {
      steps.push_back(ParseStep(words));
      words.clear();
    } else {
      words.push_back(argv[i]);
    }
  }
  return steps;
}

// What the type library says of the member, when the class is one of the library's.
const MemberInfo* DescribeMember(const std::string& progID, const std::string& member) {
  const CoClassInfo* coclass = FindCoClass(progID);
  if (coclass == nullptr) return nullptr;
  const InterfaceInfo* iface = FindInterface(coclass->defaultInterface);
  return iface == nullptr ? nullptr : FindMember(*iface, member);
}

InvokeKind KindFor(const CallStep& step, const MemberInfo* info) {
  if (step.kindGiven || info == nullptr) return step.kind;
  if (!info->Has(MemberKind::Method) && info->Has(MemberKind::PropertyGet))
    return InvokeKind::PropertyGet;
  return InvokeKind::Method;
}

bool IsByRef(const MemberInfo* info, InvokeKind kind, size_t index) {
  if (info == nullptr) return true;  // unknown layout: report any change
  if (index < info->params.size()) return info->params[index].byRef;
  const bool put = kind == InvokeKind::PropertyPut || kind == InvokeKind::PropertyPutRef;
  return put && info->newValue && info->newValue->byRef;
}

bool HasResult(const MemberInfo* info, InvokeKind kind, const Variant& result) {
  if (kind == InvokeKind::PropertyPut || kind == InvokeKind::PropertyPutRef) return false;
  if (info == nullptr) return !result.IsEmpty();
  return !info->type.IsNone();
}

void PrintWrittenBack(const MemberInfo* info, InvokeKind kind,
                      const std::vector<std::string>& before, const std::vector<Variant>& after) {
  for (size_t i = 0; i < after.size() && i < before.size(); ++i) {
    if (!IsByRef(info, kind, i)) continue;
    const std::string now = DescribeValue(after[i]);
    if (now != before[i]) std::cout << "arg " << i + 1 << " = " << now << '\n';
  }
}

void RunStep(Dispatch& object, const std::string& progID, const CallStep& step) {
  const MemberInfo* info = DescribeMember(progID, step.member);
  const InvokeKind kind = KindFor(step, info);
  std::vector<Variant> arguments;
  std::vector<std::string> before;
  for (const std::string& text : step.arguments) {
    try {
      arguments.push_back(ParseLiteral(text));
    } catch (const UsageError&) {
      throw;
    } catch (const AutomationError& error) {
      // Say which argument could not be read, and as what.
      throw AutomationError(error.Number, "orvex call",
                            "argument " + std::to_string(arguments.size() + 1) + " of " +
                                step.member + " ('" + text + "'): " + error.Description);
    }
    before.push_back(DescribeValue(arguments.back()));
  }
  const int32_t dispID = object.GetIDOfName(step.member);
  const Variant result = object.Invoke(dispID, kind, arguments);
  if (HasResult(info, kind, result)) std::cout << DescribeValue(result) << '\n';
  PrintWrittenBack(info, kind, before, arguments);
}

}  // namespace

int RunCall(const Argv& argv) {
  if (argv.empty() || WantsHelp(argv)) {
    std::cout << kCallHelp;
    return argv.empty() ? kExitUsage : kExitOk;
  }
  if (argv[0].rfind("--", 0) == 0) throw UsageError("call", "the first argument is the PROGID");
  const std::vector<CallStep> steps = ParseSteps(argv);
  MMain::Main();
  const std::shared_ptr<Dispatch> object = CreateObject(argv[0]);
  for (const CallStep& step : steps) RunStep(*object, argv[0], step);
  return kExitOk;
}

}  // namespace orvex::cli
