#include "history/record_set_errors.h"

namespace tecladim::history {

std::string RecordSetErrorText(HistoryErrorKind kind, std::string_view field, std::string_view expected,
                               std::string_view actual) {
  const std::string name(field);
  switch (kind) {
    case HistoryErrorKind::FieldNotFound: return "Field '" + name + "' not found";
    case HistoryErrorKind::TypeMismatch:
      return "Type mismatch for field '" + name + "', expecting: " + std::string(expected) + " actual: " +
             std::string(actual);
    case HistoryErrorKind::ClosedDataset: return "Cannot perform this operation on a closed dataset";
    case HistoryErrorKind::OpenDataset: return "Cannot perform this operation on an open dataset";
    case HistoryErrorKind::NotEditing: return "Dataset not in edit or insert mode";
    case HistoryErrorKind::CannotOpenFile:
    case HistoryErrorKind::CannotCreateFile: break;  // worded with the file's path where it fails
  }
  return {};
}

}  // namespace tecladim::history
