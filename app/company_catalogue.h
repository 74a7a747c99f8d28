// The installation's company catalogue Company.dbf: its companies as the company chooser lists
// them, and the financial year and registration numbers of one company.
#ifndef VATRIX_APP_COMPANY_CATALOGUE_H_
#define VATRIX_APP_COMPANY_CATALOGUE_H_

#include <string>
#include <vector>

namespace vatrix {

// The catalogue's rows in the chooser's order (name, first day, last day), each as
// "0007 | 01/04/15-31/03/16 | Name": the code with four digits at least, the year's days as
// dd/MM/yy. Empty when the catalogue holds no company. A row that cannot be read (an
// impossible date) is left out and described, by its code and field, in `left_out`. Throws
// HostError.
std::vector<std::string> CatalogueChooserItems(const std::string& host_folder,
                                               std::vector<std::string>* left_out);

// The company code of a chooser item: the whole number in its first four characters (0 when
// none).
long long ChooserItemCode(const std::string& item);

// The session's text of a company code: three digits up to 999 ("007"), four above.
std::string CompanyCodeText(long long code);

// What the session keeps of one company.
struct CompanyRecord {
  std::string CompanyStNo;   // "" when none
  std::string CompanyCstNo;  // "" when none
  std::string YearFrom;      // "dd/MM/yyyy"
  std::string YearTo;
};

// Reads the catalogue row of company `code` into `record`, field by field in the order CSTNO,
// STNO, DFR, DTO, as the provider reads a row into the session. Throws HostError for a missing
// table or row, or a row without its first or last day ("Invalid use of Null"); the fields
// read before the failure keep their new values.
void ReadCompany(const std::string& host_folder, long long code, CompanyRecord* record);

}  // namespace vatrix

#endif  // VATRIX_APP_COMPANY_CATALOGUE_H_
