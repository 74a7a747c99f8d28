// The return builders Proceed can call, by return code.
#ifndef VATRIX_APP_RETURN_BUILDERS_H_
#define VATRIX_APP_RETURN_BUILDERS_H_

#include "app/main_window.h"

namespace vatrix {

// Registers every return builder of this build with `window`.
void RegisterReturnBuilders(MainWindow* window);

}  // namespace vatrix

#endif  // VATRIX_APP_RETURN_BUILDERS_H_
