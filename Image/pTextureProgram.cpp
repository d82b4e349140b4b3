#include "Image/pTextureProgram.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace {

bool listed(const char* extensions, const char* name) {
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at; at = std::strstr(at + 1, name)) {
        const bool starts = at == extensions || at[-1] == ' ';
        if (starts && (at[length] == ' ' || at[length] == '\0'))
            return true;
    }
    return false;
}

} // namespace

pTextureProgram::Scope::Scope(bool wanted) {
    if (depth_++ > 0) {
        programmed_ = outerProgrammed_;
        return;
    }
    const GLuint name = wanted && glIsEnabled(GL_TEXTURE_2D) ? program() : 0;
    if (name != 0) {
        glBindProgramARB(GL_FRAGMENT_PROGRAM_ARB, name);
        glEnable(GL_FRAGMENT_PROGRAM_ARB);
    }
    programmed_ = outerProgrammed_ = name != 0;
}

pTextureProgram::Scope::~Scope() {
    if (--depth_ == 0 && programmed_) {
        glDisable(GL_FRAGMENT_PROGRAM_ARB);
        outerProgrammed_ = false;
    }
}

unsigned pTextureProgram::program() {
    if (unavailable_)
        return 0;
    // A program lives as long as its context (and those sharing with it): a new context that
    // does not know the name loads its own.
    if (name_ != 0 && glIsProgramARB(name_))
        return name_;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!extensions)
        return 0; // no context yet: nothing is drawn, and the next call asks again
    name_ = listed(extensions, "GL_ARB_fragment_program") ? load() : 0;
    unavailable_ = name_ == 0;
    return name_;
}

unsigned pTextureProgram::load() {
    // TEX where fixed function has TXP, the projective lookup.
    static const char source[] = "!!ARBfp1.0\n"
                                 "TEMP texel;\n"
                                 "TEX texel, fragment.texcoord[0], texture[0], 2D;\n"
                                 "MUL result.color, texel, fragment.color;\n"
                                 "END\n";
    GLuint name = 0;
    glGenProgramsARB(1, &name);
    glBindProgramARB(GL_FRAGMENT_PROGRAM_ARB, name);
    glProgramStringARB(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB,
                       static_cast<GLsizei>(sizeof source - 1), source);
    GLint errorAt = 0;
    glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &errorAt);
    if (errorAt != -1) {
        glDeleteProgramsARB(1, &name);
        name = 0;
    }
    return name;
}
