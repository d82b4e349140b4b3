#pragma once

#include "Game/pPlinx.h"
#include "Image/pTexture.h"
#include "Image/pTextureLoader.h"
#include "tests/support/GLTestContext.h"

// A board drawn in the 640 x 480 test window with the shipped cell picture, as the game draws it.
class BoardDrawing : public GLTestContext {
protected:
    pPuzzle board;
    pPlinx* game = nullptr;
    pTexture* texture = nullptr;

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        game = pPlinx::instance();
        texture = pTextureLoader::instance()->loadTexture(PLINX_SOURCE_DIR "/Resources/block.tga",
                                                          false, false);
        ASSERT_NE(texture, nullptr);
        game->blockTexture = texture;
    }
    void TearDown() override {
        if (game) {
            game->blockTexture = nullptr;
            game->transitionManager.active = false;
        }
        delete texture; // while the context is current
        GLTestContext::TearDown();
    }
    void draw() {
        glClear(GL_COLOR_BUFFER_BIT);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        board.render();
    }
};
