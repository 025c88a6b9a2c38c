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
uniform vec3 lightposition;
uniform vec3 cameraview;
uniform vec3 cameraposition;

out vec3 tangentToLight;
out vec3 tangentToEye;
out vec2 texCoords;
out vec4 shadowCoord;

void main()
{
    vec4 world = model * vertex;
    // Objects are only ever scaled uniformly, so the model's upper 3x3 turns normals and tangents correctly.
    mat3 turn = mat3(model);
    vec3 n = normalize(turn * normal);
    vec3 t = turn * tangent.xyz;
    t = normalize(t - n * dot(n, t));
    // w keeps the handedness: it decides which way the bitangent points.
    vec3 b = cross(n, t) * (tangent.w < 0.0 ? -1.0 : 1.0);
    mat3 worldToTangent = transpose(mat3(t, b, n));

    // Turned into tangent space here, once per corner, instead of once per fragment. Left
    // unnormalised: on a flat face, where all three corners share one tangent frame, the
    // vectors are linear across the triangle, so interpolation gives each fragment its exact
    // vector to normalise. On curved parts the frame itself is interpolated, which is close
    // enough for lighting.
    tangentToLight = worldToTangent * (lightposition - world.xyz);
    vec3 toEye = cameraposition - world.xyz;
    // A vertex at the eye itself has no direction to it; the camera's viewing axis stands in.
    if (length(toEye) < 1.0e-4)
        toEye = cameraview;
    tangentToEye = worldToTangent * toEye;

    // The importer already flipped V to match textures uploaded top row first.
    texCoords = tex_coords_in;
    shadowCoord = bias * shadowprojection * lightview * world;
    gl_Position = projection * view * world;
}
