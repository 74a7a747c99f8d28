#include "app/return_builders.h"

#include "returns/form201.h"

namespace vatrix {

void RegisterReturnBuilders(MainWindow* window) { window->RegisterBuilder("201", Form201); }

}  // namespace vatrix
