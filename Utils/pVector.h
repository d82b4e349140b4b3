#pragma once

#include <ostream>

// Three floats; the game mostly uses it as an RGB colour (x red, y green, z blue).
class pVector {
public:
    float x;
    float y;
    float z;

    pVector() : x(0), y(0), z(0) {}
    pVector(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    pVector(const pVector& other) : x(other.x), y(other.y), z(other.z) {}
    virtual ~pVector() {}

    pVector& operator=(const pVector& other);
    bool operator==(const pVector& other) const;
    bool operator!=(const pVector& other) const;
    pVector& operator+=(const pVector& other);
    pVector& operator-=(const pVector& other);
    pVector operator+(const pVector& other) const;
    pVector operator-(const pVector& other) const;
    pVector& operator*=(float scaleFactor);
    pVector& operator/=(float scaleFactor);
    pVector operator-() const;
    float& operator[](int i);
    const float& operator[](int i) const;

    float dot(const pVector& other) const;
    pVector cross(const pVector& other) const;
    float length() const;
    pVector& normalize();
    // m is a column-major 4x4 matrix; the vector is a point (w = 1).
    pVector matrixMultiply(float* m) const;
    pVector rotateAroundAxis(pVector axis, float angle);
};

pVector operator*(const pVector& v, const float& f);
pVector operator*(const float& f, const pVector& v);
pVector operator/(const pVector& v, const float& f);
std::ostream& operator<<(std::ostream& out, const pVector& v);
