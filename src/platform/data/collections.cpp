// The collections of the data-access objects: properties, parameters and fields.
#include "orvex/data.hpp"
#include "platform/automation/ascii_case.hpp"
#include "platform/data/errors.hpp"

namespace orvex::data {

using ascii::EqualsIgnoringCase;
using internal::RaiseDataError;

namespace {

[[noreturn]] void RaiseNoItem(const std::string& className, const std::string& what) {
  RaiseDataError(adErrItemNotFound, className,
                 internal::DataErrorText(adErrItemNotFound) + " (" + what + ")");
}

}  // namespace

const Property& PropertyCollection::Item(int32_t index) const {
  if (index < 0 || index >= Count()) RaiseNoItem("Properties", "index " + std::to_string(index));
  return items_[static_cast<size_t>(index)];
}

const Property& PropertyCollection::Item(const std::string& name) const {
  for (const auto& item : items_)
    if (EqualsIgnoringCase(item.Name, name)) return item;
  RaiseNoItem("Properties", "'" + name + "'");
}

void Parameters::Append(sp<Parameter> parameter) {
  if (!parameter) RaiseDataError(adErrInvalidArgument, "Parameters", "No parameter to append");
  items_.push_back(std::move(parameter));
}

sp<Parameter> Parameters::Item(int32_t index) const {
  if (index < 0 || index >= Count()) RaiseNoItem("Parameters", "index " + std::to_string(index));
  return items_[static_cast<size_t>(index)];
}

sp<Parameter> Parameters::Item(const std::string& name) const {
  for (const auto& item : items_)
    if (EqualsIgnoringCase(item->Name, name)) return item;
  RaiseNoItem("Parameters", "'" + name + "'");
}

void Parameters::Delete(int32_t index) {
  Item(index);
  items_.erase(items_.begin() + index);
}

const sp<Field>& Fields::Item(int32_t index) const {
  if (index < 0 || index >= Count()) RaiseNoItem("Fields", "index " + std::to_string(index));
  return items_[static_cast<size_t>(index)];
}

const sp<Field>& Fields::Item(const std::string& name) const {
  for (const auto& item : items_)
    if (EqualsIgnoringCase(item->Name(), name)) return item;
  RaiseNoItem("Fields", "'" + name + "'");
}

}  // namespace orvex::data
