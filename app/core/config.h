// The configuration file beside the program's start folder and its keys.
#pragma once

inline constexpr const char* ConfigFileName = "mirnax.ini";
inline constexpr const char* ConfigSection = "KEVOMIRNAX";
inline constexpr const char* ConfigKeyStaidx = "Staidx0";
inline constexpr const char* ConfigKeyStatics = "Statics0";

// The world files a Search lists, relative to the current folder.
inline constexpr const char* WorldFilePattern = "STATICS\\*.SCP";
