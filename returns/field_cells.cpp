#include "returns/field_cells.h"

namespace vatrix {

CellValue CellAsRead(const Value& value) {
  if (value.kind() == Value::Kind::kNumber) return value.number();
  return value.ToDisplayText();
}

}  // namespace vatrix
