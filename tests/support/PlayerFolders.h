#pragma once

#include "Platform/pResourceFolder.h"
#include "tests/support/TempFolder.h"

// The shipped resources and the player's folder in fresh temp folders, for as long as it lives.
struct PlayerFolders {
    TempFolder shipped, player;
    PlayerFolders() {
        setResourceFolder(shipped.path());
        setUserDataFolder(player.path());
    }
    ~PlayerFolders() {
        setResourceFolder("");
        setUserDataFolder("");
    }
};
