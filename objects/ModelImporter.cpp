#include "objects/ModelImporter.h"

Assimp::Importer& sharedImporter()
{
    static Assimp::Importer importer;
    return importer;
}
