#include "returns/build_context.h"

namespace vatrix {

void DatabaseClosed(BuildContext& context, std::optional<RecordSet>* records) {
  records->reset();
  context.wait.ResetCurrent();
  context.wait.Rest();
}

}  // namespace vatrix
