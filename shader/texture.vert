#version 330 core

in vec4 vertex;
in vec3 normal;
in vec2 tex_coords_in;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;
uniform mat4 lightview;
uniform mat4 shadowprojection;
uniform mat4 bias;

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 texCoords;
out vec4 shadowCoord;

void main()
{
    vec4 world = model * vertex;
    worldPosition = world.xyz;
    // Objects are only ever scaled uniformly, so the model's upper 3x3 turns normals correctly.
    worldNormal = mat3(model) * normal;
    // The importer already flipped V to match textures uploaded top row first.
    texCoords = tex_coords_in;
    shadowCoord = bias * shadowprojection * lightview * world;
    gl_Position = projection * view * world;
}
