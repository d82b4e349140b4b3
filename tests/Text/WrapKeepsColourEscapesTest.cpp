// Word wrap never cuts a colour escape, wherever the width makes it break a word.
#include "Platform/pResourceFolder.h"
#include "Text/pTextManager.h"
#include "tests/support/FreshFont.h"
#include "tests/support/GLTestContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

class WrapKeepsColourEscapesTest : public GLTestContext {};

TEST_F(WrapKeepsColourEscapesTest, EveryWidthGivesWholeEscapesAndAllTheLetters) {
    setResourceFolder(PLINX_SOURCE_DIR "/Resources");
    setUserDataFolder(PLINX_SOURCE_DIR "/tests/data/no-such-folder");
    ASSERT_FALSE(loadFreshBrisk().empty());
    pTextManager* text = pTextManager::instance();
    const std::string word(12, 'H');
    // White is 0x01 "AAAA"; black's code bytes are themselves 0x01.
    for (const std::string& escape : {pTextManager::getColorChangeStringf(1, 1, 1, 1),
                                      pTextManager::getColorChangeStringub(0, 0, 0, 255)}) {
        const std::string input = word + escape + word;
        for (int width = 1; width <= 760; width++) {
            std::string wrapped = text->formatStringToWidth(input, static_cast<float>(width), 20);
            // Walk the lines as drawing does: an escape is 0x01 and four more bytes of its line.
            std::string letters;
            int escapes = 0;
            size_t lineStart = 0;
            for (size_t i = 0; i <= wrapped.size(); i++) {
                if (i == wrapped.size() || wrapped[i] == '\n') {
                    if (i > lineStart && wrapped[i - 1] == '-' && i < wrapped.size())
                        letters.pop_back(); // the hyphen of a broken word
                    lineStart = i + 1;
                } else if (wrapped[i] == '\x01' &&
                           std::min(wrapped.find('\n', i), wrapped.size()) - i >= 5) {
                    escapes += wrapped.compare(i, 5, escape) == 0;
                    i += 4;
                } else {
                    letters += wrapped[i];
                }
            }
            ASSERT_EQ(letters, word + word) << "width " << width;
            ASSERT_EQ(escapes, 1) << "width " << width;
        }
    }
    setResourceFolder("");
    setUserDataFolder("");
}
