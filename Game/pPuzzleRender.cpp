#include "Game/pPlinx.h"
#include "Game/pPuzzle.h"
#include "Image/pTexture.h"

#include <GL/gl.h>
#include <algorithm>
#include <tuple>

// Board units: a cell is 2 x 2, the well spans x -16..16 and y -16..4, the view is 40 units
// across its shorter side. Cell (row, column) is centred at (-15 + 2 column, -15 + 2 row).

namespace {

const float CELL_ALPHA = 0.8f;
const float WELL_BOTTOM = -16.0f;
const float WELL_TOP = 4.0f;
const float WELL_LEFT = -16.0f;
const float WELL_RIGHT = 16.0f;
const float GAUGE_LEFT = 17.0f;
const float GAUGE_RIGHT = 19.0f;
// Two columns of trail behind the sweeper line.
const float TRAIL_LENGTH = 4.0f;

float cellCentre(int index) {
    return -15.0f + 2.0f * static_cast<float>(index);
}

// Cell colours are 1 or 2; a stray value still reads inside the table.
void tint(int colour) {
    const pVector& c = colorList[colour & 3];
    glColor4f(c.x, c.y, c.z, CELL_ALPHA);
}

// One cell inside a GL_QUADS batch.
void cellQuad(float x, float y) {
    glTexCoord2f(0, 0);
    glVertex2f(x - 1, y - 1);
    glTexCoord2f(1, 0);
    glVertex2f(x + 1, y - 1);
    glTexCoord2f(1, 1);
    glVertex2f(x + 1, y + 1);
    glTexCoord2f(0, 1);
    glVertex2f(x - 1, y + 1);
}

// Where the cells of the second colour were drawn, to mark them once the cells are down.
struct MarkList {
    float x[pPuzzle::WIDTH * pPuzzle::HEIGHT + 16];
    float y[pPuzzle::WIDTH * pPuzzle::HEIGHT + 16];
    int count = 0;
    void note(int colour, float cx, float cy) {
        if (colour != 2)
            return;
        x[count] = cx;
        y[count] = cy;
        count++;
    }
};

// A dark diamond with a light one inside: it shows on light and dark palettes alike.
void drawMarks(const MarkList& marks) {
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    for (const auto& [size, grey, alpha] : {std::tuple{0.6f, 0.0f, 0.6f}, {0.28f, 1.0f, 0.85f}}) {
        glColor4f(grey, grey, grey, alpha);
        for (int i = 0; i < marks.count; i++) {
            glVertex2f(marks.x[i], marks.y[i] - size);
            glVertex2f(marks.x[i] + size, marks.y[i]);
            glVertex2f(marks.x[i], marks.y[i] + size);
            glVertex2f(marks.x[i] - size, marks.y[i]);
        }
    }
    glEnd();
}

void rectangle(GLenum mode, float left, float bottom, float right, float top) {
    glBegin(mode);
    glVertex2f(left, bottom);
    glVertex2f(right, bottom);
    glVertex2f(right, top);
    glVertex2f(left, top);
    glEnd();
}

// A vertical band of the trail from x0 (colour `near`) to x1 (colour `far`), the full well high.
void trailBand(float x0, const pVector& near, float x1, const pVector& far) {
    glColor3f(near.x, near.y, near.z);
    glVertex2f(x0, WELL_BOTTOM);
    glVertex2f(x0, WELL_TOP);
    glColor3f(far.x, far.y, far.z);
    glVertex2f(x1, WELL_TOP);
    glVertex2f(x1, WELL_BOTTOM);
}

// The trail in one colour: it fades from `colour` at the line to black TRAIL_LENGTH behind it,
// continuing from the well's right edge when the line is near the left edge.
void trail(float sx, const pVector& colour) {
    const pVector black(0, 0, 0);
    glBegin(GL_QUADS);
    if (sx >= WELL_LEFT + TRAIL_LENGTH) {
        trailBand(sx, colour, sx - TRAIL_LENGTH, black);
    } else {
        // The share of the trail's brightness left where it meets the left wall.
        float a = -0.25f * sx - 3.0f;
        trailBand(sx, colour, WELL_LEFT, colour * a);
        trailBand(WELL_RIGHT, colour * a, sx + 28.0f, black);
    }
    glEnd();
}

} // namespace

void pPuzzle::render() {
    pPlinx* game = pPlinx::instance();

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glPushMatrix();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    // A minimised window can report an empty view; keep the ratios finite.
    double w = std::max(viewport[2], 1);
    double h = std::max(viewport[3], 1);
    if (w > h)
        glOrtho(-w / h, w / h, -1, 1, -1, 1);
    else
        glOrtho(-1, 1, -h / w, h / w, -1, 1);
    glScalef(0.05f, 0.05f, 1);

    // The board grows after a game over and shrinks to half size at the black middle of a fade.
    float zoom = gameOverTime / 2.5f + 1.0f;
    if (game->transitionManager.active)
        zoom *= (1 - game->transitionManager.darkness) * 0.5f + 0.5f;
    glScalef(zoom, zoom, zoom);

    // Loaded afresh so the board lands in the same place however often it is drawn.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 0, 0);
    glPushMatrix();

    // The well, with the caller's blend function.
    glColor4f(1, 1, 1, 0.2f);
    rectangle(GL_QUADS, WELL_LEFT, WELL_BOTTOM, WELL_RIGHT, WELL_TOP);
    glColor4f(1, 1, 1, 0.3f);
    rectangle(GL_LINE_LOOP, WELL_LEFT, WELL_BOTTOM, WELL_RIGHT, WELL_TOP);

    // Without its picture (it failed to load) the cells are drawn as plain tinted squares.
    pTexture* block = game->blockTexture;
    if (block && block->getTexID() != 0) {
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(block->getTexID()));
        glEnable(GL_TEXTURE_2D);
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    MarkList marks;
    glBegin(GL_QUADS);
    // The queue beside the well: the newest piece lowest, the next to fall highest.
    float x = -20.0f;
    float y = -13.0f;
    for (int i = 0; i < 12; i++) {
        tint(queue[i / 4][i % 4]);
        cellQuad(x, y);
        marks.note(queue[i / 4][i % 4], x, y);
        if (i % 2 == 0) {
            x += 2;
        } else if (i % 4 == 1) {
            x -= 2;
            y += 2;
        } else {
            x -= 2;
            y += 4;
        }
    }

    // The falling piece; above the well it hovers just over the top row.
    x = cellCentre(pieceX);
    y = pieceY > 0 ? 5.0f - 2.0f * static_cast<float>(pieceY) : 5.0f;
    for (int i = 0; i < 4; i++) {
        tint(piece[i]);
        const float cx = x + 2.0f * static_cast<float>(i % 2);
        const float cy = y + 2.0f * static_cast<float>(i / 2);
        cellQuad(cx, cy);
        marks.note(piece[i], cx, cy);
    }

    // Settled cells packed down each column: a cell still falling into a hole already shows
    // where it will rest.
    for (int column = 0; column < WIDTH; column++) {
        y = cellCentre(0);
        for (int row = 0; row < HEIGHT; row++) {
            const pCell& cell = cells[row * WIDTH + column];
            if (cell.empty == 1)
                continue;
            tint(cell.color);
            cellQuad(cellCentre(column), y);
            marks.note(cell.color, cellCentre(column), y);
            y += 2;
        }
    }
    glEnd();
    if (blockMarks)
        drawMarks(marks);

    // Every one-colour square is framed where its cells truly are, passed by the sweeper or not.
    for (int column = 0; column < WIDTH - 1; column++) {
        for (int row = HEIGHT - 2; row >= 0; row--) {
            if (!isOneColourSquare(row, column))
                continue;
            glDisable(GL_TEXTURE_2D);
            glColor4f(1, 1, 1, 1);
            float left = cellCentre(column) - 1;
            float bottom = cellCentre(row) - 1;
            rectangle(GL_LINE_LOOP, left, bottom, left + 4, bottom + 4);
        }
    }

    // The level gauge fills a tenth per point and empties at every level.
    glDisable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 0.1f);
    rectangle(GL_QUADS, GAUGE_LEFT, WELL_BOTTOM, GAUGE_RIGHT, WELL_TOP);
    float filled = static_cast<float>(score % 10) / 10.0f;
    glColor4f(colorList[0].x, colorList[0].y, colorList[0].z, 0.5f);
    rectangle(GL_QUADS, GAUGE_LEFT, WELL_BOTTOM, GAUGE_RIGHT, 20.0f * filled + WELL_BOTTOM);
    glColor4f(1, 1, 1, 0.3f);
    rectangle(GL_LINE_LOOP, GAUGE_LEFT, WELL_BOTTOM, GAUGE_RIGHT, WELL_TOP);

    // The sweeper: the column fraction of the current pass, from the same clock the rules use.
    glPushMatrix();
    glEnable(GL_BLEND);
    long long period = std::max(sweepPeriod, 1);
    float t = static_cast<float>(sweepTime) / static_cast<float>(period);
    float passStart = static_cast<float>(16 * (sweepTime / (16 * period)));
    float sx = 2.0f * (t - passStart - 8.0f);
    const float shade = 0.5f;
    const pVector glow = pVector(1.0f, 0.55f, 0.38f) * 0.5f;
    // Darken what lies behind the line, then add the warm glow over it.
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    trail(sx, pVector(shade, shade, shade));
    glBlendFunc(GL_ONE, GL_ONE);
    trail(sx, glow);
    glColor3f(1, 1, 1);
    glBegin(GL_LINES);
    glVertex2f(sx, WELL_BOTTOM);
    glVertex2f(sx, WELL_TOP);
    glEnd();

    glPopMatrix();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
}
