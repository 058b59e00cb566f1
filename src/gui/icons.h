// The window's two icons, GIF images compiled into the program.
#pragma once

extern const unsigned char kIconLarge[]; // 32 x 32
extern const unsigned char kIconSmall[]; // 16 x 16
