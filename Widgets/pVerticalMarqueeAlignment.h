#pragma once

// Where a vertical marquee's message sits across the width of its box.
enum pVerticalMarqueeAlignment : int {
    PMARQUEE_ALIGN_LEFT = 0,
    PMARQUEE_ALIGN_CENTER = 1,
    PMARQUEE_ALIGN_RIGHT = 2,
};
