// Display lists: what the plug-in compiles (vertices, normals, colours,
// texture coordinates, materials and the primitives around them) is kept as
// a list of calls and replayed through the same entry points, so a list
// changes the current normal and material as it would in GL.
#include "gl_layer.h"

#include <cstring>
#include <map>

namespace zdgl {
namespace {

enum class Op { begin, end, vertex, normal, color, texCoord, material };

struct ListCall {
    Op op;
    GLenum first = 0;
    GLenum second = 0;
    float values[4] = {0, 0, 0, 0};
};

struct Lists {
    std::map<GLuint, std::vector<ListCall>> lists;
    GLuint next = 1;
    GLuint compiling = 0;
    std::vector<ListCall> calls;
};

Lists& lists() {
    static Lists instance;
    return instance;
}

void record(Op op, float a = 0, float b = 0, float c = 0, float d = 0, GLenum first = 0,
            GLenum second = 0) {
    ListCall call;
    call.op = op;
    call.first = first;
    call.second = second;
    call.values[0] = a, call.values[1] = b, call.values[2] = c, call.values[3] = d;
    lists().calls.push_back(call);
}

void replay(const ListCall& call) {
    const float* v = call.values;
    switch (call.op) {
    case Op::begin:
        return glBegin(call.first);
    case Op::end:
        return glEnd();
    case Op::vertex:
        return glVertex3f(v[0], v[1], v[2]);
    case Op::normal:
        return glNormal3f(v[0], v[1], v[2]);
    case Op::color:
        return glColor4fv(v);
    case Op::texCoord:
        return glTexCoord2f(v[0], v[1]);
    case Op::material:
        return glMaterialfv(call.first, call.second, v);
    }
}

} // namespace

bool compilingList() {
    return lists().compiling != 0;
}

void recordVertex(float x, float y, float z) {
    record(Op::vertex, x, y, z);
}
void recordNormal(float x, float y, float z) {
    record(Op::normal, x, y, z);
}
void recordColor(const float color[4]) {
    record(Op::color, color[0], color[1], color[2], color[3]);
}
void recordTexCoord(float s, float t) {
    record(Op::texCoord, s, t);
}
void recordBegin(GLenum mode) {
    record(Op::begin, 0, 0, 0, 0, mode);
}
void recordEnd() {
    record(Op::end);
}
void recordMaterial(GLenum face, GLenum name, const float* values) {
    const int count = name == GL_SHININESS ? 1 : 4;
    float v[4] = {0, 0, 0, 0};
    std::memcpy(v, values, count * sizeof(float));
    record(Op::material, v[0], v[1], v[2], v[3], face, name);
}

void deleteAllLists() {
    lists() = Lists();
}

} // namespace zdgl

using namespace zdgl;

extern "C" {

GLuint glGenLists(GLsizei range) {
    if (range <= 0) return 0;
    const GLuint first = lists().next;
    lists().next += GLuint(range);
    return first;
}

void glNewList(GLuint list, GLenum mode) {
    if (list == 0 || compilingList() || mode != GL_COMPILE) return;
    lists().compiling = list;
    lists().calls.clear();
}

void glEndList(void) {
    Lists& all = lists();
    if (!all.compiling) return;
    all.lists[all.compiling] = std::move(all.calls);
    all.calls.clear();
    all.compiling = 0;
}

void glCallList(GLuint list) {
    auto found = lists().lists.find(list);
    if (found == lists().lists.end()) return;
    for (const ListCall& call : found->second) replay(call);
}

} // extern "C"
