// The late-bound adapters of the public classes, one per class, made by the class factory.
#pragma once

#include <memory>

#include "orvex/dispatch.hpp"
#include "orvex/gerrors.hpp"
#include "orvex/gmessage.hpp"
#include "orvex/log_error.hpp"
#include "orvex/log_event.hpp"
#include "orvex/log_xaction.hpp"
#include "orvex/text_table.hpp"
#include "orvex/text_table2.hpp"
#include "orvex/text_table3.hpp"

namespace orvex::typelib {

std::shared_ptr<Dispatch> MakeLogErrorDispatch(std::shared_ptr<CLogError> native);
std::shared_ptr<Dispatch> MakeLogEventDispatch(std::shared_ptr<CLogEvent> native);
std::shared_ptr<Dispatch> MakeLogXactionDispatch(std::shared_ptr<CLogXaction> native);
std::shared_ptr<Dispatch> MakeTextTableDispatch(std::shared_ptr<CTextTable> native);
std::shared_ptr<Dispatch> MakeTextTable2Dispatch(std::shared_ptr<CTextTable2> native);
std::shared_ptr<Dispatch> MakeTextTable3Dispatch(std::shared_ptr<CTextTable3> native);
std::shared_ptr<Dispatch> MakeGErrorsDispatch(std::shared_ptr<GErrors> native);
std::shared_ptr<Dispatch> MakeGMessageDispatch(std::shared_ptr<GMessage> native);

// A text table for a late-bound object of the text-table interface that is not one of ours:
// Text and Show are invoked on it by name.
std::shared_ptr<CTextTable> TextTableOver(std::shared_ptr<Dispatch> object);

// The native text table behind a late-bound value (Nothing gives nullptr).
std::shared_ptr<CTextTable> TextTableFrom(const Variant& value);

}  // namespace orvex::typelib
