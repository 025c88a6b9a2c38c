#pragma once

#include "objects/ModelImport.h"

// The player's 38 meshes and the level's 19, in the order the model files list them.
// Every mesh's normal map is the one made for its colour image (the index after it).
TexturePairs playerTextures();
TexturePairs levelTextures();
