// The session record: the main window's choices and the values every part of the program
// shares (company, financial year, return form, period texts, output settings).
#ifndef VATRIX_RETURNS_SESSION_H_
#define VATRIX_RETURNS_SESSION_H_

#include <cstdint>
#include <string>
#include <vector>

namespace vatrix {

struct Session {
  // Start-up and company.
  std::string AppTitle;      // caption of every message box that names no other
  std::string HostFolder;    // the installation folder holding Company.dbf, no trailing separator
  std::string CompanyCode;   // "007"; four digits above 999 ("1234")
  std::string YearFrom;      // first day of the financial year, "dd/MM/yyyy"
  std::string YearTo;        // last day of the financial year, "dd/MM/yyyy"
  std::string CompanyStNo;   // VAT registration number, "" when none
  std::string CompanyCstNo;  // CST registration number, "" when none
  std::string ReturnCode = "201A";        // "201", "201A", ..., "3BSALES", "3BPURCHASE"
  std::vector<std::string> SpecialChars;  // blanked out of exported text
  bool TaxSelection = false;              // tax types are chosen one by one
  bool SearchOpen = false;                // the company search dialog is open
  bool AlreadyRunning = false;            // another copy of the program was found at start
  bool StartFailed = false;               // the catalogue was missing or empty at start

  // The chosen period, as query texts: " Between #4/1/2016# and #4/30/2016# " and so on.
  std::string PeriodRange;
  std::string PeriodStart;
  std::string PeriodEnd;
  std::string DayBeforePeriod;
  std::int16_t PeriodMonth = 0;  // month of the last monthly period computed
  std::int16_t PeriodIndex = 0;  // number of the last quarter, half-year or year computed
  std::string PeriodName;        // "April", "First Quarter", "Annual"

  // The chosen accounts: " '12' , '34' ", ready for an IN (...) condition.
  std::string AccountCodes;

  // Return figures kept between runs.
  double VatCredit = 0;  // VAT credit brought forward into the period

  // What the CST lists match party fields against: state names and declaration forms.
  std::vector<std::string> StateNames;
  std::vector<std::string> DeclarationForms;

  // Output.
  std::int16_t FileFormat = 0;  // workbook save format: 56 for .xls, 6 for .csv
  std::string TaxFilter;        // " Stax.Name= 'A' OR  Stax.Name= 'B' ", "" for all tax types
  bool FileNameOk = false;      // the output name passed its check
};

}  // namespace vatrix

#endif  // VATRIX_RETURNS_SESSION_H_
