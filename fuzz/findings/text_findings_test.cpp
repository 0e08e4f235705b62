// What the text-layout fuzz target found, pinned down: the scissor box of a
// print is the text's length times its size times four per tab, which for a
// long tabbed text at a large size no longer fits an int.
#include "gl_fixture.h"

#include "text/text.h"

#include <GL/gl.h>

#include <string>

using TextLimits = GlTest;

TEST_F(TextLimits, aLongTabbedTextAtALargeSizeStillGetsAWholeScissorBox) {
    // 601 characters, 600 of them tabs, at 2080 pixels: 601 x 2080 x 2400 is
    // three billion pixels of box width.
    const std::string text = std::string(600, '\t') + "x";
    while (glGetError() != GL_NO_ERROR) {
    }
    textSetSize(2080);
    textPrint(10, 20, "%s", text.c_str());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLint box[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[0], 10);
    EXPECT_EQ(box[1], 20);
    EXPECT_GT(box[2], 0);
    EXPECT_EQ(box[3], 2080);
}
