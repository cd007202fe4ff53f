#include "exam/alignment.h"

#include <algorithm>
#include <cstddef>

namespace tecladim::exam {
namespace {

// Below this many cells a block is aligned with its whole table, which is quicker than
// splitting it further and still small.
constexpr std::size_t FullTableCells = 1 << 14;

char32_t Key(char32_t c) { return c == U'\n' || c == U'\r' || c == U'\t' ? U' ' : c; }

using Cost = std::int64_t;
using Costs = std::vector<Cost>;

// Every error costs `unit_`; a blank put for a letter or a letter for a blank costs one more,
// fewer than `unit_` in all, so of the alignments with the fewest errors the one that pairs
// letters with letters wins ("a" typed for "à" is a different letter, not a letter a mais
// and a space in its place).
//
// Hirschberg's split: the cheapest path through a block crosses its middle model row at
// one column, or jumps over it with a transposition, so the block's two halves are aligned
// separately with two rows of costs each way.
class Aligner {
 public:
  Aligner(std::u32string_view model, std::u32string_view typed, UnreachedText unreached)
      : m_(typed.size()),
        freeTail_(unreached == UnreachedText::NotAnError),
        unit_(static_cast<Cost>(model.size() + typed.size()) + 1) {
    a_.reserve(model.size());
    for (char32_t c : model) a_.push_back(Key(c));
    b_.reserve(typed.size());
    for (char32_t c : typed) b_.push_back(Key(c));
    steps_.reserve(std::max(model.size(), typed.size()) + unit_);
  }

  std::vector<AlignedStep> Run() {
    Block(0, 0, a_.size(), m_);
    if (freeTail_)
      for (auto it = steps_.rbegin(); it != steps_.rend() && it->step == Step::Delete && it->typed == m_; ++it)
        it->step = Step::Unreached;
    return std::move(steps_);
  }

 private:
  Cost DeleteCost(std::size_t j) const { return freeTail_ && j == m_ ? 0 : unit_; }
  Cost SubstituteCost(std::size_t i, std::size_t j) const {
    if (a_[i] == b_[j]) return 0;
    return (a_[i] == U' ') == (b_[j] == U' ') ? unit_ : unit_ + 1;
  }
  // Model i, i+1 typed as j+1, j.
  bool Swapped(std::size_t i, std::size_t j) const {
    return a_[i] != a_[i + 1] && a_[i] == b_[j + 1] && a_[i + 1] == b_[j];
  }

  // Costs from (i0, j0) to the rows last-1 (above) and last (row), columns j0..j1.
  void Forward(std::size_t i0, std::size_t j0, std::size_t last, std::size_t j1, Costs& above, Costs& row) const {
    const std::size_t w = j1 - j0 + 1;
    Costs r2(w), r1(w), r0(w);
    for (std::size_t k = 0; k < w; ++k) r1[k] = static_cast<Cost>(k) * unit_;
    for (std::size_t i = i0 + 1; i <= last; ++i) {
      r0[0] = r1[0] + DeleteCost(j0);
      for (std::size_t k = 1; k < w; ++k) {
        const std::size_t j = j0 + k;
        Cost v = r1[k - 1] + SubstituteCost(i - 1, j - 1);
        v = std::min(v, r1[k] + DeleteCost(j));
        v = std::min(v, r0[k - 1] + unit_);
        if (k >= 2 && i - i0 >= 2 && Swapped(i - 2, j - 2)) v = std::min(v, r2[k - 2] + unit_);
        r0[k] = v;
      }
      std::swap(r2, r1);
      std::swap(r1, r0);
    }
    above = std::move(r2);
    row = std::move(r1);
  }

  // Costs from the rows first (row) and first+1 (below) to (i1, j1), columns j0..j1.
  void Backward(std::size_t first, std::size_t j0, std::size_t i1, std::size_t j1, Costs& row, Costs& below) const {
    const std::size_t w = j1 - j0 + 1;
    Costs r2(w), r1(w), r0(w);
    for (std::size_t k = 0; k < w; ++k) r1[k] = static_cast<Cost>(w - 1 - k) * unit_;
    for (std::size_t i = i1; i-- > first;) {
      r0[w - 1] = r1[w - 1] + DeleteCost(j1);
      for (std::size_t k = w - 1; k-- > 0;) {
        const std::size_t j = j0 + k;
        Cost v = r1[k + 1] + SubstituteCost(i, j);
        v = std::min(v, r1[k] + DeleteCost(j));
        v = std::min(v, r0[k + 1] + unit_);
        if (k + 2 < w && i1 - i >= 2 && Swapped(i, j)) v = std::min(v, r2[k + 2] + unit_);
        r0[k] = v;
      }
      std::swap(r2, r1);
      std::swap(r1, r0);
    }
    below = std::move(r2);
    row = std::move(r1);
  }

  void Block(std::size_t i0, std::size_t j0, std::size_t i1, std::size_t j1) {
    const std::size_t h = i1 - i0, w = j1 - j0;
    if (h <= 2 || (h + 1) * (w + 1) <= FullTableCells) {
      FullTable(i0, j0, i1, j1);
      return;
    }
    const std::size_t mid = i0 + h / 2;
    Costs fAbove, f, b, bBelow;
    Forward(i0, j0, mid, j1, fAbove, f);
    Backward(mid, j0, i1, j1, b, bBelow);
    std::size_t bestK = 0;
    bool jump = false;
    Cost best = f[0] + b[0];
    for (std::size_t k = 1; k <= w; ++k)
      if (f[k] + b[k] < best) best = f[k] + b[k], bestK = k;
    for (std::size_t k = 0; k + 2 <= w; ++k)
      if (Swapped(mid - 1, j0 + k) && fAbove[k] + unit_ + bBelow[k + 2] < best)
        best = fAbove[k] + unit_ + bBelow[k + 2], bestK = k, jump = true;
    if (!jump) {
      Block(i0, j0, mid, j0 + bestK);
      Block(mid, j0 + bestK, i1, j1);
      return;
    }
    Block(i0, j0, mid - 1, j0 + bestK);
    steps_.push_back({Step::Transpose, static_cast<std::uint32_t>(mid - 1), static_cast<std::uint32_t>(j0 + bestK)});
    Block(mid + 1, j0 + bestK + 2, i1, j1);
  }

  // A small block aligned with its whole table and traced back.
  void FullTable(std::size_t i0, std::size_t j0, std::size_t i1, std::size_t j1) {
    const std::size_t h = i1 - i0, w = j1 - j0, cols = w + 1;
    Costs d((h + 1) * cols);
    auto at = [&](std::size_t r, std::size_t k) -> Cost& { return d[r * cols + k]; };
    for (std::size_t k = 0; k <= w; ++k) at(0, k) = static_cast<Cost>(k) * unit_;
    for (std::size_t r = 1; r <= h; ++r) {
      at(r, 0) = at(r - 1, 0) + DeleteCost(j0);
      for (std::size_t k = 1; k <= w; ++k) {
        const std::size_t i = i0 + r, j = j0 + k;
        Cost v = at(r - 1, k - 1) + SubstituteCost(i - 1, j - 1);
        v = std::min(v, at(r - 1, k) + DeleteCost(j));
        v = std::min(v, at(r, k - 1) + unit_);
        if (r >= 2 && k >= 2 && Swapped(i - 2, j - 2)) v = std::min(v, at(r - 2, k - 2) + unit_);
        at(r, k) = v;
      }
    }
    std::vector<AlignedStep> back;
    std::size_t r = h, k = w;
    while (r > 0 || k > 0) {
      const std::size_t i = i0 + r, j = j0 + k;
      const Cost v = at(r, k);
      const auto mi = static_cast<std::uint32_t>(i), tj = static_cast<std::uint32_t>(j);
      if (r > 0 && k > 0 && SubstituteCost(i - 1, j - 1) == 0 && at(r - 1, k - 1) == v) {
        back.push_back({Step::Match, mi - 1, tj - 1});
        --r, --k;
      } else if (r >= 2 && k >= 2 && Swapped(i - 2, j - 2) && at(r - 2, k - 2) + unit_ == v) {
        back.push_back({Step::Transpose, mi - 2, tj - 2});
        r -= 2, k -= 2;
      } else if (r > 0 && k > 0 && SubstituteCost(i - 1, j - 1) != 0 &&
                 at(r - 1, k - 1) + SubstituteCost(i - 1, j - 1) == v) {
        back.push_back({Step::Substitute, mi - 1, tj - 1});
        --r, --k;
      } else if (r > 0 && at(r - 1, k) + DeleteCost(j) == v) {
        back.push_back({Step::Delete, mi - 1, tj});
        --r;
      } else {
        back.push_back({Step::Insert, mi, tj - 1});
        --k;
      }
    }
    steps_.insert(steps_.end(), back.rbegin(), back.rend());
  }

  std::vector<char32_t> a_, b_;
  std::size_t m_;
  bool freeTail_;
  Cost unit_;
  std::vector<AlignedStep> steps_;
};

}  // namespace

std::vector<AlignedStep> Align(std::u32string_view model, std::u32string_view typed, UnreachedText unreached) {
  return Aligner(model, typed, unreached).Run();
}

std::int64_t ErrorCount(const std::vector<AlignedStep>& steps) {
  return std::count_if(steps.begin(), steps.end(),
                       [](const AlignedStep& s) { return s.step != Step::Match && s.step != Step::Unreached; });
}

bool SameCharacter(char32_t a, char32_t b) { return Key(a) == Key(b); }

}  // namespace tecladim::exam
