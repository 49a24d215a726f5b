// The designed colours of the pages' buttons and lamps, and the helpers that apply them.
#pragma once

#include <QColor>
#include <QSize>
#include <vector>

class Lamp;
class QPushButton;

namespace ide {

inline const QColor run_green(0x8D, 0xE9, 0x92);
// A command button (Compile, the run buttons, Refresh) while its command runs.
inline const QColor running_red(0xFA, 0x67, 0x76);
inline const QColor command_grey(0xE0, 0xE0, 0xE0);
inline const QColor lamp_off(0xC0, 0xC0, 0xC0);
inline const QColor lamp_on(0xFF, 0xB0, 0x62);

void colourButton(QPushButton& button, const QColor& colour, QSize size = {});
void setLampColours(Lamp& lamp, const QColor& on, const QColor& off);
// One font for a row of buttons, shrunk until every text fits the designed width.
void fitTexts(const std::vector<QPushButton*>& buttons);

} // namespace ide
