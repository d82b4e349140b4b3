#pragma once

#include <string>

float randInRange(float min, float max);
std::string intToString(int value);
// atoi's reading; a number past the int range gives INT_MAX or INT_MIN.
int stringToInt(std::string text);
std::string floatToString(float value);
float stringToFloat(std::string text);
// Tab, line feed, carriage return and space.
bool isWhitespace(char c);
// Trims space, tab and line feed from both ends (not carriage return).
std::string pack(const std::string& text);
std::string toLower(const std::string& text);
std::string toUpper(const std::string& text);
std::string removeChar(const std::string& text, char c);
// The character the same key gives with Shift held, on a US layout.
char shiftChar(char c);
// Full path of a game file: the user data folder first, then the shipped resources;
// "ERROR!" when neither has it.
std::string getResourcePath(std::string name);
// Where the game writes a file of that name (the user data folder, created on demand); empty
// when the user has no home to save in.
std::string getWritablePath(std::string name);
