#include "app/return_builders.h"

namespace vatrix {

void RegisterReturnBuilders(MainWindow* window) {
  (void)window;
}

}  // namespace vatrix
