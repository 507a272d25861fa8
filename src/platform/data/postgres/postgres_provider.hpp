// The PostgreSQL provider, registered as "PostgreSQL".
#pragma once

#include <memory>

#include "platform/data/provider.hpp"

namespace orvex::data::internal {

std::shared_ptr<Provider> MakePostgresProvider();

}  // namespace orvex::data::internal
