#include "Image/pTextureProgram.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>

pTextureProgram::Scope::Scope(bool wanted) {
    if (depth_++ > 0) {
        programmed_ = outerProgrammed_;
        return;
    }
    const GLuint name = wanted && glIsEnabled(GL_TEXTURE_2D) ? program() : 0;
    if (name != 0)
        glUseProgram(name);
    programmed_ = outerProgrammed_ = name != 0;
}

pTextureProgram::Scope::~Scope() {
    if (--depth_ == 0 && programmed_) {
        glUseProgram(0);
        outerProgrammed_ = false;
    }
}

unsigned pTextureProgram::program() {
    if (unavailable_)
        return 0;
    // A program lives as long as its context (and those sharing with it): a new context that
    // does not know the name builds its own.
    if (name_ != 0 && glIsProgram(name_))
        return name_;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (!version)
        return 0; // no context yet: nothing is drawn, and the next call asks again
    name_ = std::atoi(version) >= 2 ? build() : 0;
    unavailable_ = name_ == 0;
    return name_;
}

unsigned pTextureProgram::build() {
    static const char* const source =
        "uniform sampler2D picture;\n"
        "void main() { gl_FragColor = texture2D(picture, gl_TexCoord[0].st) * gl_Color; }\n";
    const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
    if (shader == 0)
        return 0;
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint done = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &done);
    GLuint program = done ? glCreateProgram() : 0;
    if (program != 0) {
        glAttachShader(program, shader);
        glLinkProgram(program);
        glGetProgramiv(program, GL_LINK_STATUS, &done);
        if (!done) {
            glDeleteProgram(program);
            program = 0;
        }
    }
    glDeleteShader(shader); // kept by the program while attached
    // `picture` reads texture unit 0, the only one the game uses: uniforms start at zero.
    return program;
}
