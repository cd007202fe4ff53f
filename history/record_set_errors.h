#pragma once
#include <string>
#include <string_view>

#include "history/history_file.h"

// The one place that words the record set's own errors; the set puts its name and ": "
// before them ("cds1: Field 'licao' not found"). The file errors are worded by
// history_file.cpp, the reader's by PacketErrorText.
namespace tecladim::history {

// `field` names the field of FieldNotFound and TypeMismatch; `expected` and `actual` are
// the type names of TypeMismatch. Every other kind ignores them.
std::string RecordSetErrorText(HistoryErrorKind kind, std::string_view field = {}, std::string_view expected = {},
                               std::string_view actual = {});

}  // namespace tecladim::history
