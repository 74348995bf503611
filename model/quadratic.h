#pragma once

#include <string>

namespace tervane {

// A law a + b*u + c*u^2. For materials u is the alloy composition; for the laws of a layer it is the
// relative depth in the layer. Members are declared b, a, c; the constructor, the text form and the
// stored form all go a, b, c.
class Quadratic {
  public:
    double b = 0.0;
    double a = 0.0;
    double c = 0.0;

    Quadratic() = default;
    Quadratic(double a_, double b_, double c_) : b(b_), a(a_), c(c_) {}
    virtual ~Quadratic() = default;
    Quadratic(const Quadratic&) = default;
    Quadratic& operator=(const Quadratic&) = default;

    // Evaluated as (c*u + b)*u + a; the nesting is part of the model's results.
    double value(double u) const { return (c * u + b) * u + a; }

    // "%2.2f+%2.2fx+%2.2fx^2" filled with a, b, c.
    std::string toText() const;

    bool operator==(const Quadratic& other) const { return a == other.a && b == other.b && c == other.c; }
};

} // namespace tervane
