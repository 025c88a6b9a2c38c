#version 330 core

// The shadow framebuffer has no colour attachment; the depth is all this pass leaves behind.
out vec4 fragColor;

void main()
{
}
