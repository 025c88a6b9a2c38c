#pragma once

#include <glm/glm.hpp>

// The third-person camera: an eye orbiting the point it looks at. Angles are in degrees.
class Camera {
public:
    void changePitch(float delta);
    void updateTarget();
    glm::mat4 viewMatrix() const;

    glm::vec3 target{0.0f, 0.0f, -1.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
    glm::vec3 position{0.0f, 0.0f, 0.0f};
    float yaw = 180.0f;
    float pitch = 0.0f;
};
