#include <map>
#include <mutex>

#include "orvex/data.hpp"
#include "platform/automation/ascii_case.hpp"
#include "platform/data/errors.hpp"
#include "platform/data/postgres/postgres_provider.hpp"
#include "platform/data/provider.hpp"

namespace orvex::data::internal {

namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<Provider>> byName;  // lower-case name
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

void RegisterLocked(Registry& registry, std::shared_ptr<Provider> provider) {
  registry.byName[ascii::Lower(provider->Name())] = std::move(provider);
}

void RegisterBuiltInsOnce(Registry& registry) {
  static std::once_flag once;
  std::call_once(once, [&] {
    RegisterLocked(registry, MakeSqliteProvider());
    RegisterLocked(registry, MakePostgresProvider());
  });
}

}  // namespace

void RegisterProvider(std::shared_ptr<Provider> provider) {
  Registry& registry = TheRegistry();
  if (!provider) RaiseDataError(adErrInvalidArgument, "Connection", "No provider given");
  RegisterBuiltInsOnce(registry);
  std::lock_guard lock(registry.mutex);
  RegisterLocked(registry, std::move(provider));
}

std::shared_ptr<Provider> FindProvider(const std::string& name) {
  Registry& registry = TheRegistry();
  RegisterBuiltInsOnce(registry);
  std::lock_guard lock(registry.mutex);
  auto found = registry.byName.find(ascii::Lower(name));
  if (found == registry.byName.end())
    RaiseDataError(adErrProviderNotFound, "Connection",
                   "Provider '" + name + "' cannot be found. It may not be properly installed.");
  return found->second;
}

}  // namespace orvex::data::internal
