#version 330 core

in vec4 vertex;
in vec3 normal;
in vec2 tex_coords_in;
in vec4 tangent;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;
uniform mat4 lightview;
uniform mat4 shadowprojection;
uniform mat4 bias;

out vec3 worldPosition;
out vec3 worldNormal;
out vec4 worldTangent;
out vec2 texCoords;
out vec4 shadowCoord;

void main()
{
    vec4 world = model * vertex;
    worldPosition = world.xyz;
    // Objects are only ever scaled uniformly, so the model's upper 3x3 turns normals and tangents correctly.
    mat3 turn = mat3(model);
    worldNormal = turn * normal;
    // w keeps the handedness: it decides which way the bitangent points.
    worldTangent = vec4(turn * tangent.xyz, tangent.w);
    // The importer already flipped V to match textures uploaded top row first.
    texCoords = tex_coords_in;
    shadowCoord = bias * shadowprojection * lightview * world;
    gl_Position = projection * view * world;
}
