#version 330 core

in vec4 vertex;
in vec3 normal;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;
uniform mat4 lightview;
uniform mat4 shadowprojection;
uniform mat4 bias;

out vec3 worldPosition;
out vec3 worldNormal;
out vec4 shadowCoord;

void main()
{
    vec4 world = model * vertex;
    worldPosition = world.xyz;
    // Objects are only ever scaled uniformly, so the model's upper 3x3 turns normals correctly.
    worldNormal = mat3(model) * normal;
    shadowCoord = bias * shadowprojection * lightview * world;
    gl_Position = projection * view * world;
}
