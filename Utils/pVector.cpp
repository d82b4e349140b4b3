#include "Utils/pVector.h"

#include "Utils/pAssert.h"

#include <cmath>

static const char* const kSource = "Utils/pVector";

pVector& pVector::operator=(const pVector& other) {
    if (this != &other) {
        x = other.x;
        y = other.y;
        z = other.z;
    }
    return *this;
}

bool pVector::operator==(const pVector& other) const {
    return x == other.x && y == other.y && z == other.z;
}

bool pVector::operator!=(const pVector& other) const { return !(*this == other); }

pVector& pVector::operator+=(const pVector& other) {
    x += other.x;
    y += other.y;
    z += other.z;
    return *this;
}

pVector& pVector::operator-=(const pVector& other) {
    x -= other.x;
    y -= other.y;
    z -= other.z;
    return *this;
}

pVector pVector::operator+(const pVector& other) const {
    pVector result(*this);
    result += other;
    return result;
}

pVector pVector::operator-(const pVector& other) const {
    pVector result(*this);
    result -= other;
    return result;
}

pVector& pVector::operator*=(float scaleFactor) {
    x *= scaleFactor;
    y *= scaleFactor;
    z *= scaleFactor;
    return *this;
}

pVector& pVector::operator/=(float scaleFactor) {
    P_ASSERT_TEXT(kSource, scaleFactor != 0, "scaleFactor !=0");
    x /= scaleFactor;
    y /= scaleFactor;
    z /= scaleFactor;
    return *this;
}

pVector pVector::operator-() const {
    pVector result(*this);
    result *= -1.0f;
    return result;
}

float& pVector::operator[](int i) {
    P_ASSERT_TEXT(kSource, i >= 0 && i < 3, "i>=0 && i < 3");
    return i == 0 ? x : (i == 1 ? y : z);
}

const float& pVector::operator[](int i) const {
    P_ASSERT_TEXT(kSource, i >= 0 && i < 3, "i>=0 && i < 3");
    return i == 0 ? x : (i == 1 ? y : z);
}

float pVector::dot(const pVector& o) const { return x * o.x + y * o.y + z * o.z; }

pVector pVector::cross(const pVector& o) const {
    return pVector(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
}

float pVector::length() const {
    float sum = x * x + y * y + z * z;
    return static_cast<float>(std::sqrt(static_cast<double>(sum)));
}

pVector& pVector::normalize() {
    float len = length();
    P_ASSERT_TEXT(kSource, len != 0, "len!=0");
    x /= len;
    y /= len;
    z /= len;
    return *this;
}

pVector pVector::matrixMultiply(float* m) const {
    pVector r;
    for (int i = 0; i < 3; i++) {
        float value = 0;
        value += m[i] * x;
        value += m[4 + i] * y;
        value += m[8 + i] * z;
        value += m[12 + i];
        r[i] = value;
    }
    return r;
}

pVector pVector::rotateAroundAxis(pVector axis, float angle) {
    float s = static_cast<float>(std::sin(static_cast<double>(angle)));
    float k = static_cast<float>(std::cos(static_cast<double>(angle)));
    float t = 1 - k;
    float ax = axis.x, ay = axis.y, az = axis.z;
    float m[16] = {t * ax * ax + k,      t * ax * ay + s * az, t * ax * az - s * ay, 0,
                   t * ax * ay - s * az, t * ay * ay + k,      t * ay * az + s * ax, 0,
                   t * ax * az + s * ay, t * ay * az - s * ax, t * az * az + k,      0,
                   0,                    0,                    0,                    1};
    *this = matrixMultiply(m);
    return *this;
}

pVector operator*(const pVector& v, const float& f) {
    pVector result(v);
    result *= f;
    return result;
}

pVector operator*(const float& f, const pVector& v) { return v * f; }

pVector operator/(const pVector& v, const float& f) {
    pVector result(v);
    result /= f;
    return result;
}

std::ostream& operator<<(std::ostream& out, const pVector& v) {
    out << v.x << ", " << v.y << ", " << v.z;
    return out;
}
