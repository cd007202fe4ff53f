#pragma once
#include <QFont>

namespace tecladim {

// The three typefaces of the windows, by pixel size. Each names the Windows family first
// and then a metric-compatible one (Liberation for Courier New and Arial), so a line of
// 81 characters takes the same width on every system.
enum class Weight { Regular, Bold };
enum class Underline { No, Yes };

QFont BoxFont();                                                     // Courier New 21 px bold
QFont TahomaFont(int pixels, Weight weight, Underline underline = Underline::No);
QFont LinkFont();                                                    // Arial 11 px bold underlined

// Registers fonts the program brings along, if any. Call once after the application exists.
void RegisterFallbackFonts();

}  // namespace tecladim
