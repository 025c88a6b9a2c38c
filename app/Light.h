#pragma once

#include <glm/glm.hpp>

// The one light: fixed colours and a position and target that follow the player.
class Light {
public:
    virtual ~Light() = default;

    glm::vec4 diffuse{0.7f, 0.7f, 0.7f, 1.0f};
    glm::vec4 ambient{0.1f, 0.1f, 0.1f, 1.0f};
    glm::vec4 specular{0.3f, 0.3f, 0.3f, 1.0f};
    glm::vec3 position{0.0f, 200.0f, 0.0f};
    glm::vec3 target{0.0f, 0.0f, 0.0f};
    float specularFactor = 5.0f;
};
