#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

// The alignment of an exam's model text with the text the candidate typed, as an examiner
// marks it: character by character, each character typed a mais, left out (a menos) or
// different one error, two neighbours swapped one error, the fewest errors possible.
// A line break and a space stand for each other (where a line ends depends on the editor).
// Memory stays linear in the texts' length: no table of model x typed cells is kept.
namespace tecladim::exam {

enum class Step : std::uint8_t {
  Match,       // the same character (a line break for a space too)
  Substitute,  // a different character in the model's place
  Insert,      // a typed character the model does not have
  Delete,      // a model character not typed
  Transpose,   // two model characters typed in the opposite order
  Unreached,   // model text after the end of the typing, when it is not an error
};

struct AlignedStep {
  Step step;
  std::uint32_t model;  // index of the model character (for Insert: the one it stands before)
  std::uint32_t typed;  // index of the typed character (for Delete, Unreached: the one after)
};

// Whether the model text left after the last typed character is an error (every character
// a menos) or simply not reached when time ran out.
enum class UnreachedText { NotAnError, Missing };

// The steps from the start of both texts to their ends, in order. Every model character is
// in exactly one step (two for Transpose), so is every typed one.
std::vector<AlignedStep> Align(std::u32string_view model, std::u32string_view typed, UnreachedText unreached);

// The errors of an alignment: every step but Match and Unreached, a Transpose once.
std::int64_t ErrorCount(const std::vector<AlignedStep>& steps);

// Whether two characters count as the same: equal, or one a line break or tab and the
// other a space.
bool SameCharacter(char32_t a, char32_t b);

}  // namespace tecladim::exam
