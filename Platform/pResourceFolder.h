#pragma once

#include <string>

// Where the game's files live on this system.
// resourceFolder: the shipped assets, Resources/ beside the executable, else ../share/plinx.
// userDataFolder: $XDG_DATA_HOME/plinx, else ~/.local/share/plinx (the home from $HOME, else
// from the password database); what the player's game writes. Empty, said once on standard
// output, when the user has no home: nothing is saved then.
std::string resourceFolder();
std::string userDataFolder();
// Tests point these at folders of their own; an empty path restores the default.
void setResourceFolder(const std::string& path);
void setUserDataFolder(const std::string& path);

// Full path of a plain file named `name`: the user data folder first, then the resource folder.
// Empty when neither holds it.
std::string findResource(const std::string& name);
// Full path of the copy of `name` the game came with (the resource folder's); empty when it has
// none.
std::string findShippedResource(const std::string& name);
// The user data folder's path for `name`; the folder is created if it is missing. Empty when
// there is no user data folder.
std::string writablePath(const std::string& name);
