#include "scene/scene.h"
#include "shell/gl_setup.h"
#include "text/text.h"

#include <GL/gl.h>
#include <GL/glu.h>

// The display-mode call a GLUT program would make configures only GLUT
// windows, of which there are none, so it is left out with GLUT itself.
void initGLState() {
    static const GLfloat ambient[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glEnable(GL_DEPTH_TEST);
    glLineWidth(1.0f);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);

    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 4.0 / 3.0, 0.1f, 100.0);

    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0.0f, 0.0f, -50.0f);
    glRotatef(20.0f, 1.0f, 0.0f, 0.0f);

    textLoadFont(pluginFontPath());
    compileSceneLists();
}

void setViewport(int width, int height) { glViewport(0, 0, width, height); }
