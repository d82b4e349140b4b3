#pragma once

// The fragment stage of fixed-function texturing with GL_MODULATE (the texel times the current
// colour) as a two-line ARB fragment program. Fixed function divides each texture coordinate by
// its q at every pixel; this program takes the coordinates as they come (q is always 1 in this
// game). The picture is the same, and on Mesa's software renderer a textured pixel costs about a
// fifth less. Where the driver lacks ARB_fragment_program, or the program does not load,
// drawing stays fixed-function.
class pTextureProgram {
public:
    // While a Scope lives, draws go through the program, if it was wanted and texturing was on
    // when it began: only for draws that fixed function would texture with GL_MODULATE from a
    // complete texture and nothing else (no fog, no texture generation or matrix). Scopes
    // nest; the outermost decides.
    class Scope {
    public:
        explicit Scope(bool wanted = true);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        // True when the program draws, false when fixed function does.
        bool programmed() const { return programmed_; }

    private:
        bool programmed_ = false;
    };

private:
    // The program's name in the current context, loaded on first use there; 0 without one.
    static unsigned program();
    static unsigned load();

    static inline unsigned name_ = 0;
    static inline bool unavailable_ = false;
    static inline int depth_ = 0;
    static inline bool outerProgrammed_ = false;
};
