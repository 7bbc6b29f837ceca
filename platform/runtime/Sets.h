// Small sets of enumeration values, as the design's "set of" types read.
//
//   enum TComponentStateItem { csLoading, csReading, ... };
//   using TComponentState = orv::Set<TComponentStateItem>;
//   TComponentState s{csLoading, csReading};
//   if (s.Contains(csLoading)) ...; s.Include(csWriting); s -= TComponentState{csReading};
//
// The ordinals of the enumeration must lie in 0..63.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace orv {

template <class E>
class Set {
 public:
  constexpr Set() = default;
  constexpr Set(std::initializer_list<E> items) {
    for (E e : items) FBits |= Bit(e);
  }

  static constexpr Set FromBits(std::uint64_t bits) {
    Set s;
    s.FBits = bits;
    return s;
  }
  constexpr std::uint64_t Bits() const { return FBits; }

  constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr void Include(E e) { FBits |= Bit(e); }
  constexpr void Exclude(E e) { FBits &= ~Bit(e); }
  // True when every element of `other` is in this set.
  constexpr bool ContainsAll(Set other) const { return (FBits & other.FBits) == other.FBits; }
  constexpr bool Intersects(Set other) const { return (FBits & other.FBits) != 0; }

  friend constexpr Set operator+(Set a, Set b) { return FromBits(a.FBits | b.FBits); }
  friend constexpr Set operator-(Set a, Set b) { return FromBits(a.FBits & ~b.FBits); }
  friend constexpr Set operator*(Set a, Set b) { return FromBits(a.FBits & b.FBits); }
  constexpr Set& operator+=(Set b) { FBits |= b.FBits; return *this; }
  constexpr Set& operator-=(Set b) { FBits &= ~b.FBits; return *this; }
  constexpr Set& operator*=(Set b) { FBits &= b.FBits; return *this; }
  friend constexpr bool operator==(Set a, Set b) = default;

 private:
  static constexpr std::uint64_t Bit(E e) { return std::uint64_t{1} << static_cast<unsigned>(e); }
  std::uint64_t FBits = 0;
};

}  // namespace orv
