#include "app/output_naming.h"

#include "hostdata/text.h"
#include "returns/return_forms.h"

namespace vatrix {

std::optional<std::string> DefaultFileName(std::string_view return_code,
                                           std::string_view return_type,
                                           std::string_view period_item) {
  const ReturnForm* form = FindReturnForm(return_code);
  if (!form) return std::nullopt;
  const std::string_view item_name =
      period_item.size() > 3 ? period_item.substr(3) : std::string_view();
  std::string name(form->file_name_prefix);
  name.append(return_type).append(" - ").append(item_name);
  if (Trim(return_type) != "Monthly") name.append(" - ").append(period_item.substr(0, 2));
  return name;
}

bool IsRefusedRoot(std::string_view folder) {
  const std::string_view trimmed = Trim(folder);
#ifdef _WIN32
  return trimmed.size() == 3 && (trimmed[0] == 'C' || trimmed[0] == 'c') && trimmed[1] == ':' &&
         trimmed[2] == '\\';
#else
  return trimmed == "/";
#endif
}

}  // namespace vatrix
