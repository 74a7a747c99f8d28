// The report every data-access procedure shows when its work fails.
#ifndef VATRIX_HOSTDATA_FAILURE_REPORT_H_
#define VATRIX_HOSTDATA_FAILURE_REPORT_H_

#include <string>

#include "hostdata/host_error.h"
#include "hostdata/user_interface.h"

namespace vatrix {

// A table that cannot be opened: shows "Necessary DBF File is Open / Unavailable / Used by
// another User....." under `app_title`, asks the front end to end the program and throws
// ProgramEnding. Any other failure: shows "Error Number : n" CR LF "Error Description : d s"
// under `title` (critical icon) and returns.
void ReportDatabaseFailure(UserInterface& ui, const std::string& app_title,
                           const std::string& title, const HostError& error);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_FAILURE_REPORT_H_
