#include "objects/SharedImporter.h"

Assimp::Importer& sharedImporter()
{
    static Assimp::Importer importer;
    return importer;
}
