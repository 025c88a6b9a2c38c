#version 330 core

in vec3 tangentToLight;
in vec3 tangentToEye;
in vec2 texCoords;
in vec4 shadowCoord;

uniform sampler2D colormap;
uniform sampler2D normalmap;
uniform sampler2DShadow shadowmap;
uniform vec4 light_ambientcomponent;
uniform vec4 light_diffusecomponent;
uniform vec4 light_specularcomponent;
uniform float specularcomponentfactor;
uniform vec4 material_ambient;
uniform vec4 material_diffuse;
uniform vec4 material_specular;

out vec4 fragColor;

// Depth offset that is always applied: covers the 24-bit rounding of the stored depth.
const float baseOffset = 2.0e-5;
// Surfaces almost parallel to the light's rays would need an unbounded offset; past this the
// shadow would detach from its caster, and such surfaces get next to no diffuse light anyway.
const float maxOffset = 0.004;

// Fraction of the light that reaches a fragment, 0 (in shadow) to 1 (lit): percentage-closer
// filtering over 3 x 3 texels around `centre`. The shadow map's sampler compares depths in
// hardware. `p` is the fragment's place in the map, `px` and `py` how it changes to the
// neighbouring pixels: derivatives are taken before any branch, where they are defined.
float shadowFactor(vec4 coord, vec3 p, vec3 px, vec3 py, vec2 centre)
{
    // Behind the light, beside the map or outside its depth range the map says nothing: lit.
    if (coord.w <= 0.0 || any(lessThan(p, vec3(0.0))) || any(greaterThan(p, vec3(1.0))))
        return 1.0;

    vec2 texel = 1.0 / vec2(textureSize(shadowmap, 0));

    // The receiver's depth gradient across the map, from how its map position and depth change
    // between neighbouring pixels; scaled to the depth change over one texel in s and in t.
    // A tilted receiver's own stored depth differs from its depth here by up to one texel's worth
    // of slope at the outer taps, plus half a texel for where the map's texel centres fall.
    // A receiver seen edge-on in the map has no usable gradient and gets the largest offset.
    float det = px.x * py.y - px.y * py.x;
    float offset = maxOffset;
    if (abs(det) > 1.0e-20) {
        vec2 slope = abs(vec2(py.y * px.z - px.y * py.z, px.x * py.z - py.x * px.z) / det) * texel;
        offset = min(baseOffset + 1.5 * (slope.x + slope.y), maxOffset);
    }

    // Four comparisons, each filtered bilinearly by the sampler across the 2 x 2 texels around
    // it, at the corners of the centre texel: together a tent over 3 x 3 texels.
    float lit = 0.0;
    for (int i = 0; i < 4; ++i) {
        vec2 corner = vec2((i & 1) == 0 ? -0.5 : 0.5, (i & 2) == 0 ? -0.5 : 0.5);
        lit += textureLod(shadowmap, vec3(centre + corner * texel, p.z - offset), 0.0);
    }
    return lit * 0.25;
}

void main()
{
    vec4 surface = texture(colormap, texCoords);

    // Both come from the vertex shader already in tangent space, the frame of the normal map.
    vec3 toLight = normalize(tangentToLight);
    vec3 toEye = normalize(tangentToEye);
    vec3 bumped = normalize(texture(normalmap, texCoords).rgb * 2.0 - 1.0);

    // The normal map may tilt a normal towards a light that the surface itself faces away from;
    // the true surface must face the light, fading in over its last 15 degrees instead of cutting off.
    float facing = clamp(4.0 * toLight.z, 0.0, 1.0);
    vec3 p = shadowCoord.xyz / shadowCoord.w;
    vec3 px = dFdx(p);
    vec3 py = dFdy(p);
    // A face turned away from the light stays dark whatever the shadow map says.
#ifdef SOFTWARE_RENDERER
    // A software renderer shades blocks of fragments together and runs both sides of a branch,
    // so the lookups of such faces still run, but all read one corner of the map, which stays
    // in the cache.
    float lit = shadowFactor(shadowCoord, p, px, py, facing > 0.0 ? p.xy : vec2(0.0));
#else
    float lit = 0.0;
    if (facing > 0.0)
        lit = shadowFactor(shadowCoord, p, px, py, p.xy);
#endif

    float diffuse = max(dot(bumped, toLight), 0.0);
    float specular = 0.0;
    if (diffuse > 0.0)
        specular = pow(max(dot(reflect(-toLight, bumped), toEye), 0.0), specularcomponentfactor);

    // The colour map tints the ambient and diffuse parts; the highlight keeps the light's colour.
    vec3 colour = surface.rgb * light_ambientcomponent.rgb * material_ambient.rgb
        + lit * facing * (diffuse * surface.rgb * light_diffusecomponent.rgb * material_diffuse.rgb
                          + specular * light_specularcomponent.rgb * material_specular.rgb);
    fragColor = vec4(colour, surface.a * material_diffuse.a);
}
