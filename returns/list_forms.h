// The builders of the six bill lists: Forms 201A (sales) and 201B (purchases), 202A
// (purchases) and 202B (sales), and the CST sales and purchase lists of bills that need a
// declaration form. Each composes its list query from the session, opens the list, picks the
// template by the row count and hands over to DBFToExcel.
#ifndef VATRIX_RETURNS_LIST_FORMS_H_
#define VATRIX_RETURNS_LIST_FORMS_H_

#include <string>
#include <vector>

#include "returns/build_context.h"

namespace vatrix {

// Each reports its own failures through the database failure report, under "Form 201A Error",
// "Form 201B Error", "Form 202A Error", "Form 202B Error", "Form 3B Sales Error" and "Form 3B
// Purchase Error"; a table that cannot be read ends the program (ProgramEnding).
void Form201A(BuildContext& context);
void Form201B(BuildContext& context);
void Form202A(BuildContext& context);
void Form202B(BuildContext& context);
void Form3BSales(BuildContext& context);
void Form3BPurchase(BuildContext& context);

// The 36 state names, and the declaration forms "CST-Form C", "CST-Form F", "CST-Form H", that
// the CST builders put into the session for matching party fields.
const std::vector<std::string>& CstStateNames();
const std::vector<std::string>& CstDeclarationForms();

}  // namespace vatrix

#endif  // VATRIX_RETURNS_LIST_FORMS_H_
