#include <gtest/gtest.h>

#include "history/record_set_errors.h"

namespace tecladim::history {
namespace {

TEST(RecordSetErrors, RecordSetErrorText) {
  EXPECT_EQ(RecordSetErrorText(HistoryErrorKind::FieldNotFound, "licao"), "Field 'licao' not found");
  EXPECT_EQ(RecordSetErrorText(HistoryErrorKind::TypeMismatch, "erros", "Integer", "String"),
            "Type mismatch for field 'erros', expecting: Integer actual: String");
  EXPECT_EQ(RecordSetErrorText(HistoryErrorKind::TypeMismatch, "data", "DateTime", "LargeInt"),
            "Type mismatch for field 'data', expecting: DateTime actual: LargeInt");
  EXPECT_EQ(RecordSetErrorText(HistoryErrorKind::ClosedDataset), "Cannot perform this operation on a closed dataset");
  EXPECT_EQ(RecordSetErrorText(HistoryErrorKind::OpenDataset), "Cannot perform this operation on an open dataset");
  EXPECT_EQ(RecordSetErrorText(HistoryErrorKind::NotEditing), "Dataset not in edit or insert mode");
  EXPECT_EQ(RecordSetErrorText(HistoryErrorKind::NotEditing, "licao"), "Dataset not in edit or insert mode");
}

}  // namespace
}  // namespace tecladim::history
