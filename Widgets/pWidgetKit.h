#pragma once

#include <string>

class pTexture;

// What the widgets share: the click they play, their textures and how they draw them.

// The short click every menu and widget plays when it is used: the application's menu sound at
// its effects volume. Does nothing when the sound failed to load.
void playMenuBlip();

// A widget picture from the resources, through the shared cache; null when it is missing.
pTexture* loadWidgetTexture(const std::string& name);

// A rectangle in screen coordinates with the whole texture on it, the picture's top at the top.
// A missing texture leaves the rectangle plain. Corners are truncated to whole pixels.
void drawTexturedRect(pTexture* texture, float left, float top, float right, float bottom);
