// Late-bound calls on GErrors and CLogError with arbitrary variants: every member that touches
// neither the file system nor a database, any invoke kind, any argument count. Each argument
// goes through the dispatch layer's coercion to the member's declared type.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "orvex/automation_error.hpp"
#include "orvex/dispatch.hpp"
#include "orvex/host.hpp"
#include "orvex/variant.hpp"

namespace {

using namespace orvex;

// No message box and no event log while fuzzing: both fail as on a host without them.
class SilentHost : public Host {
 public:
  void WriteEventLog(const std::string&, int32_t) override { Raise(70, "FuzzHost"); }
  int32_t ShowMessageBox(const std::string&, int32_t, const std::string&, const std::string&,
                         int32_t) override {
    Raise(kNoInteractiveDesktop, "FuzzHost");
  }
};

Variant ArbitraryVariant(FuzzedDataProvider& input, int depth);

SafeArray ArbitraryArray(FuzzedDataProvider& input, int depth) {
  const int32_t lower = input.ConsumeIntegralInRange<int32_t>(-2, 2);
  const int32_t count = input.ConsumeIntegralInRange<int32_t>(0, 4);
  std::vector<Variant> values;
  for (int32_t i = 0; i < count; ++i) values.push_back(ArbitraryVariant(input, depth + 1));
  return SafeArray::Of(lower, std::move(values));
}

Variant ArbitraryVariant(FuzzedDataProvider& input, int depth) {
  switch (input.ConsumeIntegralInRange<int>(0, 15)) {
    case 0:
      return Variant();
    case 1:
      return Variant::Null();
    case 2:
      return Variant(input.ConsumeIntegral<int16_t>());
    case 3:
      return Variant(input.ConsumeIntegral<int32_t>());
    case 4:
      return Variant(input.ConsumeFloatingPoint<double>());
    case 5:
      return Variant(input.ConsumeFloatingPoint<float>());
    case 6:
      return Variant(input.ConsumeBool());
    case 7:
      return Variant(Date(input.ConsumeFloatingPoint<double>()));
    case 8:
      return Variant(Currency{input.ConsumeIntegral<int64_t>()});
    case 9:
      return Variant(input.ConsumeIntegral<uint8_t>());
    case 10:
      return Variant::Missing();
    case 11:
      return Variant::Error(input.ConsumeIntegral<int32_t>());
    case 12:
      return depth < 2 ? Variant(ArbitraryArray(input, depth)) : Variant();
    case 13: {
      TErrorObject error;
      error.lNumber = input.ConsumeIntegral<int32_t>();
      error.strDescription = input.ConsumeRandomLengthString(64);
      error.strSource = input.ConsumeRandomLengthString(64);
      return Variant(error);
    }
    case 14:
      return Variant::Nothing();
    default:
      return Variant(input.ConsumeRandomLengthString(64));
  }
}

struct Target {
  std::shared_ptr<Dispatch> object;
  std::vector<int32_t> members;
};

Target Make(const std::string& progID, const std::vector<std::string>& names) {
  Target target{CreateObject(progID), {}};
  for (const std::string& name : names) target.members.push_back(target.object->GetIDOfName(name));
  return target;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool hostInstalled = (SetHost(std::make_shared<SilentHost>()), true);
  (void)hostInstalled;
  static Target targets[] = {
      Make("ORVEX.GErrors", {"SetErrSource", "COMError"}),
      Make("ORVEX.CLogError",
           {"LogError", "glERROR_B", "glERROR_E", "gstrHelpFile", "glHelpContext", "gbDateStamp",
            "Clone", "pLogXML", "CloseXMLLog", "gttErrors", "gttMessages"}),
  };
  FuzzedDataProvider input(data, size);
  Target& target = targets[input.ConsumeIntegralInRange<size_t>(0, std::size(targets) - 1)];
  int32_t dispID =
      target.members[input.ConsumeIntegralInRange<size_t>(0, target.members.size() - 1)];
  if (input.ConsumeIntegralInRange<int>(0, 15) == 0) dispID = input.ConsumeIntegral<int32_t>();
  static const InvokeKind kKinds[] = {InvokeKind::Method, InvokeKind::PropertyGet,
                                      InvokeKind::PropertyPut, InvokeKind::PropertyPutRef};
  const InvokeKind kind = kKinds[input.ConsumeIntegralInRange<int>(0, 3)];
  std::vector<Variant> args;
  const int count = input.ConsumeIntegralInRange<int>(0, 8);
  for (int i = 0; i < count; ++i) args.push_back(ArbitraryVariant(input, 0));
  try {
    Variant result = target.object->Invoke(dispID, kind, args);
    (void)result.VarType();
  } catch (const AutomationError&) {
  }
  return 0;
}
