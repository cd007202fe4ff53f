#pragma once
#include <cstdint>
#include <limits>
#include <optional>

#include "history/datetime.h"

// The order in which the history shows its records: ascending `data`, a record without one
// first, ties by record number (the order they were added in). The trainer's grid and the
// class report's pages and exports all follow it.
namespace tecladim::history {

// A record's `data` as a sort key: a blank sorts before every date.
constexpr std::int64_t DataOrderKey(const std::optional<Stamp>& data) {
  return data ? data->ms : std::numeric_limits<std::int64_t>::min();
}

constexpr bool ComesBefore(const std::optional<Stamp>& dataA, std::uint32_t numberA, const std::optional<Stamp>& dataB,
                           std::uint32_t numberB) {
  const std::int64_t a = DataOrderKey(dataA);
  const std::int64_t b = DataOrderKey(dataB);
  return a != b ? a < b : numberA < numberB;
}

}  // namespace tecladim::history
