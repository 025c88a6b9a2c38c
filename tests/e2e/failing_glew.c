/* Preloaded into the game by the fault matrix: an extension loader that cannot start, as
 * GLEW reports when the driver gives it no GL version. The game calls glewInit through the
 * dynamic linker, so this definition takes the library's place. */
#include <GL/glew.h>

GLenum GLEWAPIENTRY glewInit(void)
{
    return GLEW_ERROR_NO_GL_VERSION;
}
