// CLogXaction: the logger of business transactions. A record (a one-dimensional array of
// variants, fields from index 1) goes to the destinations that a flag word selects, in a fixed
// order: an event raised to the client, an error raised to the caller, the XML log, a text file,
// a database table whose columns are discovered from the table itself, the application event
// log and a message box.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "orvex/connection_point.hpp"
#include "orvex/export.h"
#include "orvex/text_table.hpp"
#include "orvex/variant.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex {

namespace data {
class Command;
}  // namespace data

// Outgoing event of CLogXaction. The handler receives the client's own array: a change to its
// elements reaches the database row of the same call (the record line and the other
// destinations were built before the event).
class CLogXactionEvents {
 public:
  virtual ~CLogXactionEvents() = default;
  virtual void ShowEvent(SafeArray& Data) { (void)Data; }
};

// The error that LogXaction raises for elt == ltRAISEERROR: the record handed to the caller as
// an error. The number is vbObjectError + 2 (0x80040002, the component-defined range, 2 being
// the flag's value), the description kXactionRaisedDescription, the help file and context the
// logger's gstrHelpFile and glHelpContext, and the source
// BuildErrSource("CLogXaction", "LogXaction", <record line>), so the record line reaches the
// caller inside the source.
inline constexpr int32_t kXactionRaisedError = static_cast<int32_t>(0x80040002u);
inline constexpr const char* kXactionRaisedDescription = "Transaction raised to the caller";

// The plain number (no class bits) of the database destination's own two failures: a table
// whose column query gives no columns (in pConnect), and an element that cannot be converted to
// its column's type (in LogXaction).
inline constexpr int32_t kXactionDataError = 20000;

class CLogXaction : public Object {
 public:
  CLogXaction();
  ~CLogXaction() override;  // never raises; unsaved XML records are dropped
  CLogXaction(const CLogXaction&) = delete;
  CLogXaction& operator=(const CLogXaction&) = delete;

  std::shared_ptr<CTextTable> gttEvents;  // when set, the message box shows a message by number
  std::string gstrHelpFile;
  int32_t glHelpContext = 0;
  std::string gstrLogFile;    // kept for the client; not read by the logger
  std::string gstrLogDBFile;  // kept for the client; not read by the logger
  std::string gstrTableName;  // kept for the client; not read by the logger
  bool gbDateStamp = false;   // date prefix of the record line, date attribute of the element

  // Logs the record Data(1..UBound) to the destinations selected by elt. Always returns false.
  //
  // The field texts (CStr of each element; "" for a missing one) and the record line (the
  // texts joined with ":", date-stamped when gbDateStamp) are built once, before any
  // destination. Any failure ends the call and is raised again with the source extended by
  // "LogXaction" (after the destination's own extension), except the event handler's and the
  // file's failures, which are ignored. Null elements, arrays without a Data(1) and upper bounds
  // above 32767 fail before any destination.
  bool LogXaction(SafeArray& Data, int32_t elt = 0);

  // The text log file (ASCII, appended to, opened and closed per record). Creates the file empty
  // when it does not exist; a failure to do so reaches the caller, with the path already stored.
  void pLogFile(const std::string& strFileName);
  // Discovers the columns of strTableName with "SELECT TOP 1 * FROM <table>" on a connection of
  // its own and prepares "INSERT INTO <table> ( c1,...,cn )  VALUES ( ?,...,? )" with one
  // parameter per column. Every insert later opens its own connection with strConnectingString
  // and runs in its own transaction. SourceCount is accepted and not used. A failure is raised
  // again with "prsGetUsingCommand" and "pConnect" in its source.
  void pConnect(const std::string& strConnectingString, const std::string& strTableName,
                int16_t& SourceCount);

  // The insert that pConnect prepared, for inspection (its text and parameters); nullptr before
  // the first pConnect. Not part of the automation interface.
  std::shared_ptr<const data::Command> InsertCommand() const;

  // The XML log document with the root "transactions".
  void pLogXML(const std::string& strFileName);
  void SaveXMLLog();
  void CloseXMLLog();
  void ClearXMLLog();

  uint32_t Advise(std::shared_ptr<CLogXactionEvents> sink);
  void Unadvise(uint32_t cookie);

 private:
  struct ORVEX_LIBRARY_ONLY Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orvex

ORVEX_PUBLIC_END
