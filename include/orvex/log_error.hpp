// CLogError: the error logger. Classifies an error, translates component error numbers through
// text tables, composes the error source and hands the error to the destinations that a flag
// word selects, in a fixed order; returns a result word with a failure flag per failed
// destination. LogError never raises.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "orvex/connection_point.hpp"
#include "orvex/export.h"
#include "orvex/text_table.hpp"
#include "orvex/types.hpp"
#include "orvex/variant.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex {

namespace data {
class Command;
}  // namespace data

// Outgoing events of CLogError. ShowEvent is declared and never raised by CLogError.
class CLogErrorEvents {
 public:
  virtual ~CLogErrorEvents() = default;
  virtual void ShowError(const std::string& errSource, int32_t ErrNumber,
                         const std::string& ErrDescription, Date ErrDate) {
    (void)errSource, (void)ErrNumber, (void)ErrDescription, (void)ErrDate;
  }
  virtual void ShowEvent(std::string& strEvent) { (void)strEvent; }
};

class CLogError : public Object {
 public:
  CLogError();
  ~CLogError() override;  // closes the text log; unsaved XML records are dropped
  CLogError(const CLogError&) = delete;
  CLogError& operator=(const CLogError&) = delete;

  std::shared_ptr<CTextTable> gttErrors;    // texts of severe component errors
  std::shared_ptr<CTextTable> gttMessages;  // texts of non-severe component errors
  int32_t glERROR_B = 0;                    // first plain number of the component-error range
  int32_t glERROR_E = 0;                    // last plain number of that range (inclusive)
  std::string gstrHelpFile;
  int32_t glHelpContext = 0;
  bool gbDateStamp = false;
  std::shared_ptr<data::Command> madocmdInsertError;  // the database destination's insert

  // A logger with the same settings and the same (shared) text tables; no destinations.
  std::shared_ptr<CLogError> Clone();

  // Logs objErr to the destinations selected by elt; returns the ETWErrorLogResult word. A
  // failing destination replaces objErr with its failure record.
  int32_t LogError(const std::string& ModuleName, const std::string& ProcedureName,
                   TErrorObject& objErr, int32_t elt = 0, int32_t embs = 0,
                   const std::string& Title = "");

  // Opens (appending, creating, UTF-16) the text log file; failures are ignored.
  void pLogFile(const std::string& strFileName);
  // Opens the database destination on strTableName; failures are ignored. le is not used.
  void pConnect(const std::string& strConnectingString, const std::string& strTableName,
                const std::shared_ptr<CLogError>& le = nullptr);

  // The XML log document with the root "errors".
  void pLogXML(const std::string& strFileName);
  void SaveXMLLog();
  void ClearXMLLog();
  void CloseXMLLog();

  uint32_t Advise(std::shared_ptr<CLogErrorEvents> sink);
  void Unadvise(uint32_t cookie);

 private:
  struct ORVEX_LIBRARY_ONLY Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orvex

ORVEX_PUBLIC_END
