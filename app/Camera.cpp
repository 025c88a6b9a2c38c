#include "app/Camera.h"

#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr float pi = 3.1415927410125732f;
constexpr double degreesPerUnit = 40.0;

} // namespace

void Camera::changePitch(float delta)
{
    pitch = static_cast<float>(pitch + delta * degreesPerUnit);
    if (pitch < -360.0f)
        pitch += 360.0f;
    if (pitch > 360.0f)
        pitch -= 360.0f;
}

void Camera::updateTarget()
{
    // Each angle is a float before the trigonometry, which runs in double and is rounded
    // back to float before the addition.
    float a = yaw / 180.0f * pi;
    float b = pitch / 180.0f * pi;
    glm::vec3 offset(static_cast<float>(std::sin(static_cast<double>(a))),
                     static_cast<float>(std::tan(static_cast<double>(b))),
                     static_cast<float>(std::cos(static_cast<double>(a))));
    target = position + offset;
}

glm::mat4 Camera::viewMatrix() const
{
    return glm::lookAt(position, target, up);
}
