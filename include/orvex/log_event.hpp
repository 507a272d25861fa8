// CLogEvent: the logger of free-text events. One line of text goes to the destinations that a
// flag word selects, in a fixed order: an event raised to the client, a text file, a database
// table, the XML log, the application event log and a message box.
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

// Outgoing event of CLogEvent. The handler receives the logger's working copy of the text and
// may rewrite it: the later destinations of the same call (but not the XML one) write what the
// handler left.
class CLogEventEvents {
 public:
  virtual ~CLogEventEvents() = default;
  virtual void ShowEvent(std::string& strEvent) { (void)strEvent; }
};

class CLogEvent : public Object {
 public:
  CLogEvent();
  ~CLogEvent() override;  // never raises; unsaved XML records are dropped
  CLogEvent(const CLogEvent&) = delete;
  CLogEvent& operator=(const CLogEvent&) = delete;

  std::shared_ptr<CTextTable> gttEvents;  // when set, the message box shows a message by number
  std::string gstrHelpFile;
  int32_t glHelpContext = 0;
  std::string gstrLogFile;    // kept for the client; not read by the logger
  std::string gstrLogDBFile;  // kept for the client; not read by the logger
  std::string gstrTableName;  // kept for the client; not read by the logger
  bool gbDateStamp = false;   // date prefix of the file line, dDate of the row and the element

  // Logs the text to the destinations selected by elt, in the order event, file, database, XML,
  // event log, message box. Always returns false; strEvent itself is never changed.
  //
  // Failures: the event handler's and the file's are ignored; the database's, the XML log's and
  // the event log's are raised again with the source extended by "CLogEvent" and the
  // destination's name; the message box's reach the caller unchanged. A failure ends the call:
  // the destinations after it are not visited.
  bool LogEvent(std::string& strEvent, int32_t elt = 0);

  // The text log file (ASCII, appended to, opened and closed per record). Creates the file empty
  // when it does not exist; a failure to do so reaches the caller, with the path already stored.
  void pLogFile(const std::string& strFileName);
  // Opens a connection and prepares "INSERT INTO <table> (strEvent,dDate) ..." on it. A failure
  // is raised again with "pConnect" in its source; what was made before it stays.
  void pConnect(const std::string& strConnectingString, const std::string& strTableName);

  // The XML log document with the root "events".
  void pLogXML(const std::string& strFileName);
  void SaveXMLLog();
  void ClearXMLLog();
  void CloseXMLLog();

  uint32_t Advise(std::shared_ptr<CLogEventEvents> sink);
  void Unadvise(uint32_t cookie);

 private:
  struct ORVEX_LIBRARY_ONLY Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orvex

ORVEX_PUBLIC_END
