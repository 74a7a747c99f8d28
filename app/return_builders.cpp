#include "app/return_builders.h"

#include "returns/form201.h"
#include "returns/list_forms.h"

namespace vatrix {

void RegisterReturnBuilders(MainWindow* window) {
  window->RegisterBuilder("201", Form201);
  // The bill lists.
  window->RegisterBuilder("201A", Form201A);
  window->RegisterBuilder("201B", Form201B);
  window->RegisterBuilder("202A", Form202A);
  window->RegisterBuilder("202B", Form202B);
  window->RegisterBuilder("3BSALES", Form3BSales);
  window->RegisterBuilder("3BPURCHASE", Form3BPurchase);
}

}  // namespace vatrix
