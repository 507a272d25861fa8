// The library's shared routines: error numbers and error-source chains (MErrors), host tests and
// array counts (MUtility), and the per-thread start-up data (MMain).
#pragma once

#include <cstdint>
#include <string>

#include "orvex/export.h"
#include "orvex/variant.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex {

namespace MErrors {

// className + "." + procName + ("@" + computer + " >> " + priorSource when priorSource already
// holds "@", else "::" + priorSource + "@" + computer). The computer name is queried anew.
std::string BuildErrSource(const std::string& className, const std::string& procName,
                           const std::string& priorSource);
// The host's computer name, or "" when it cannot be had.
std::string ComputerName();
// number OR 0x80040000: the automation range of component-defined errors.
int32_t COMError(int32_t number);
// number OR etwcNSERRORS: a non-severe component error.
int32_t NSError(int32_t number);
// The component's own number with the class bits removed; other numbers unchanged.
int32_t PlainErrNumber(int32_t number);
// True when all bits of the non-severe (or severe) class pattern are set.
bool IsNonSevere(int32_t number);
bool IsSevere(int32_t number);

}  // namespace MErrors

namespace MUtility {

// True on a host of the NT family (asks the Host).
bool IsNT();
// Elements of the first dimension of the array held; 0 for no array, an undimensioned or empty
// array, or one whose first element cannot be addressed. Never raises.
int32_t ElementCount(const Variant& value);
int32_t ElementCount(const SafeArray& value);

}  // namespace MUtility

namespace MMain {

// The computer name cached for this thread by Main; empty before.
extern thread_local std::string gstrComputerName;
// text with every "%" + (i + 1) replaced by CStr(values(i)), i counting from 0 whatever the
// lower bound; a replaced value holding a later placeholder is replaced again.
std::string ExpandPlaceholders(const std::string& text, const SafeArray& values);

// Start-up routine: caches ComputerName() for the calling thread. May be called again to re-read.
void Main();
// Runs Main once per thread; every class calls it before its first object in a thread.
void EnsureMain();

}  // namespace MMain

}  // namespace orvex

ORVEX_PUBLIC_END
