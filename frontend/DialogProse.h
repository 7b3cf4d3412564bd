#pragma once

#include <string>

// A text laid out for a console in 80 columns (help texts) as a message box
// wants it: the box wraps by itself and its font is not fixed, so each
// paragraph becomes one line, and each option one line, "option: what it
// does", in place of the padded column. Blank lines between paragraphs stay.
std::string DialogProse(const std::string& consoleText);
