#pragma once
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "exercise/key_statistics.h"

// The keys of a made-up exercise that typed each character `occurrences` times: every one
// right in the end, 185 ms to each, and on one character in three a few slips, some of them
// on Backspace. The benchmarks' files of 1,000 exercises are made of these.
namespace tecladim::bench {

inline std::vector<KeyCounts> SampleKeys(const std::map<char16_t, std::int32_t>& occurrences) {
  std::vector<KeyCounts> keys;
  int n = 0;
  for (const auto& [c, count] : occurrences) {
    KeyCounts k{c, count, 0, count * 185LL, count - 1, {}};
    if (++n % 3 == 0) {
      k.wrong = 1 + n % 4;
      k.typedInstead = {{static_cast<char16_t>(c + 1), k.wrong - k.wrong / 2}};
      if (k.wrong / 2 > 0) k.typedInstead.push_back({u'\b', k.wrong / 2});
    }
    keys.push_back(std::move(k));
  }
  return keys;
}

}  // namespace tecladim::bench
