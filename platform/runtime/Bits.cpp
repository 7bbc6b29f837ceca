#include "platform/runtime/Bits.h"

#include <bit>
#include <cstdint>

#include "platform/runtime/Exceptions.h"

namespace {
[[noreturn]] void BitsError() { throw EBitsError("Bits index out of range"); }
}  // namespace

void TBits::SetSize(Integer value) {
  if (value < 0) BitsError();
  if (value == FSize) return;
  FWords.resize((static_cast<std::size_t>(value) + 63) / 64, 0);
  // Clear the bits past the new end, so that growing again yields clear bits.
  if (value % 64) FWords.back() &= (std::uint64_t{1} << (value % 64)) - 1;
  FSize = value;
}

bool TBits::GetBit(Integer index) const {
  if (index < 0) BitsError();
  if (index >= FSize) return false;
  return (FWords[index / 64] >> (index % 64)) & 1;
}

void TBits::SetBit(Integer index, bool value) {
  if (index < 0 || index == INT32_MAX) BitsError();
  if (index >= FSize) SetSize(index + 1);
  const std::uint64_t mask = std::uint64_t{1} << (index % 64);
  if (value)
    FWords[index / 64] |= mask;
  else
    FWords[index / 64] &= ~mask;
}

Integer TBits::OpenBit() const {
  for (std::size_t w = 0; w < FWords.size(); ++w)
    if (FWords[w] != ~std::uint64_t{0}) {
      const Integer index = static_cast<Integer>(w * 64 + std::countr_one(FWords[w]));
      return index < FSize ? index : FSize;
    }
  return FSize;
}
