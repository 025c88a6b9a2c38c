#version 330 core

in vec4 vertex;
in vec2 texcoords_in;

uniform mat4 view;
uniform mat4 projection;

out vec2 texCoords;

void main()
{
    texCoords = texcoords_in;
    gl_Position = projection * view * vertex;
}
