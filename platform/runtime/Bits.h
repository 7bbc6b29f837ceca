// TBits: a growable array of bits.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/runtime/Object.h"

class TBits : public TObject {
  ORV_CLASS(TBits, TObject)
 public:
  TBits() = default;

  Integer GetSize() const { return FSize; }
  // Growing adds clear bits; a negative size raises EBitsError.
  void SetSize(Integer value);
  // Bits[index]: reading past the end gives False; setting past the end grows the array.
  // A negative index raises EBitsError.
  bool GetBit(Integer index) const;
  void SetBit(Integer index, bool value);
  // The index of the first clear bit; Size when every bit is set.
  Integer OpenBit() const;

 private:
  std::vector<std::uint64_t> FWords;
  Integer FSize = 0;
};
