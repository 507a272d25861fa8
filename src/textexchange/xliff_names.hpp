// The names that XLIFF documents of a table's texts use.
#pragma once

namespace orvex::textexchange::xliff {

inline constexpr const char* kNamespace12 = "urn:oasis:names:tc:xliff:document:1.2";
inline constexpr const char* kNamespace20 = "urn:oasis:names:tc:xliff:document:2.0";
// The library's own attributes on <file>, in a namespace of its own as both versions allow.
inline constexpr const char* kOrvexNamespace = "urn:orvex:text-table";
inline constexpr const char* kOrvexPrefix = "orvex";
inline constexpr const char* kSourceColumn = "source-column";
inline constexpr const char* kTargetColumn = "target-column";

}  // namespace orvex::textexchange::xliff
