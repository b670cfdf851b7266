// An ordered pair: two component numbers of a harmonic, or the ends of an interval.
#pragma once

namespace Pair {

template <typename T>
class t_pair {
public:
    t_pair(T f, T s) : first(f), second(s) {}
    t_pair(const t_pair&) = default;
    t_pair& operator=(const t_pair&) = default;
    virtual ~t_pair() = default;

    bool operator==(const t_pair& o) const { return first == o.first && second == o.second; }
    bool operator!=(const t_pair& o) const { return !(*this == o); }

    T first;
    T second;
};

}  // namespace Pair
