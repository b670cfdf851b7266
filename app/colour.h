// Cell colours of the tables.
#pragma once

struct rgb {
    int red = 255, green = 255, blue = 255;
    bool operator==(const rgb& o) const { return red == o.red && green == o.green && blue == o.blue; }
    bool operator!=(const rgb& o) const { return !(*this == o); }
};

namespace colours {
constexpr rgb white{255, 255, 255};
constexpr rgb trend{255, 165, 165};
constexpr rgb harmonic{165, 165, 255};
constexpr rgb partly{230, 200, 240};  // some test holds, but neither trend nor harmonic
constexpr rgb trend_test{230, 225, 190};
constexpr rgb harmonic_test{205, 220, 205};
}  // namespace colours
